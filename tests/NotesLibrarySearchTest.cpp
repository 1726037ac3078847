// Where the Notes library is found: by name, through the program folder a Notes client
// records in the registry, or not at all; a library planted in the current directory is
// never loaded. The cases that register a client hold a named mutex, since the registry is
// shared by every test process of the prefix.
#include "notes/NotesApi.h"
#include "notes/NotesLibraryPath.h"
#include "support/AppProcess.h"
#include "support/Driver.h"
#include "support/ExpectedTexts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

constexpr REGSAM kOwnView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, n);
}

std::string PathVariable() {
    char value[32768] = {};
    const DWORD n = GetEnvironmentVariableA("PATH", value, sizeof value);
    return n < sizeof value ? std::string(value, n) : std::string();
}

bool SamePath(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

// Owns SOFTWARE\Lotus under one root for a test: nothing registered at the start, and
// nothing left at the end.
class NotesClientRegistration {
public:
    NotesClientRegistration() : m_lock(CreateMutexA(nullptr, FALSE, "QuillsheetTestNotesClientKey")) {
        if (m_lock != nullptr) WaitForSingleObject(m_lock, 10 * 60 * 1000);
        Clear();
    }
    ~NotesClientRegistration() {
        Clear();
        if (m_lock != nullptr) {
            ReleaseMutex(m_lock);
            CloseHandle(m_lock);
        }
    }
    NotesClientRegistration(const NotesClientRegistration&) = delete;
    NotesClientRegistration& operator=(const NotesClientRegistration&) = delete;

    // Writes the value "Path" as a client's installer does: REG_SZ, under `subkey` of
    // SOFTWARE\Lotus\Notes ("" for the key itself).
    static void Register(HKEY root, const std::string& subkey, const std::string& folder) {
        std::string name = notes::kNotesClientKey;
        if (!subkey.empty()) name += "\\" + subkey;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, name.c_str(), 0, nullptr, 0, KEY_WRITE | kOwnView,
                                                 nullptr, &key, nullptr));
        RegSetValueExA(key, notes::kNotesClientPathValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(folder.c_str()), static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }

private:
    static void Clear() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            HKEY software = nullptr;
            if (RegOpenKeyExA(root, "SOFTWARE", 0, KEY_ALL_ACCESS | kOwnView, &software) != ERROR_SUCCESS)
                continue;
            RegDeleteTreeA(software, "Lotus");
            RegCloseKey(software);
        }
    }
    HANDLE m_lock;
};

// The current directory for a test, restored afterwards.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder) {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof previous, previous);
        m_previous = previous;
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(m_previous.c_str()); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string m_previous;
};

TEST(NotesLibrarySearch, FoundByNameBesideTheProgram) {
    NotesClientRegistration registration;
    HMODULE module = notes::LoadNotesLibrary("nnotes.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_TRUE(SamePath(ProgramFolder() + "\\nnotes.dll", ModulePath(module))) << ModulePath(module);
    FreeLibrary(module);
}

// Where a client is registered, whether a different library of the same name lies in the
// current directory, and whether the client's library is to be loaded.
enum class Client { None, MachinePath, MachineVersionKey, UserPath };
struct SearchCase {
    const char* name;
    Client client;
    bool planted;
};

class NotesLibrarySearchCases : public ::testing::TestWithParam<SearchCase> {};

TEST_P(NotesLibrarySearchCases, LoadsTheRegisteredClientsLibraryAndNeverThePlantedOne) {
    const SearchCase& c = GetParam();
    // A name found neither beside the test program nor in the system folders or on PATH,
    // so that only the registry or the current directory could supply it.
    const std::string library = std::string("qs-search-") + c.name + ".dll";
    NotesClientRegistration registration;
    TempDir dir;
    const std::string client = dir.File("Notes");
    const std::string work = dir.File("Documents");
    CreateDirectoryA(client.c_str(), nullptr);
    CreateDirectoryA(work.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA((ProgramFolder() + "\\nnotes.dll").c_str(), (client + "\\" + library).c_str(), FALSE));
    if (c.planted) {
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\qs_planted_library.dll").c_str(),
                              (work + "\\" + library).c_str(), FALSE));
    }
    switch (c.client) {
        case Client::None:
            break;
        case Client::MachinePath:
            NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "", client);
            break;
        case Client::MachineVersionKey:
            // A stale folder in the key itself, the client's own under its version.
            NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "", dir.File("Removed"));
            NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "9.0", client);
            break;
        case Client::UserPath:
            NotesClientRegistration::Register(HKEY_CURRENT_USER, "", client + "\\");
            break;
    }
    const std::string pathBefore = PathVariable();
    HMODULE module = nullptr;
    {
        CurrentDirectory current(work);
        module = notes::LoadNotesLibrary(library.c_str());
    }
    if (c.client == Client::None) {
        EXPECT_EQ(nullptr, module) << ModulePath(module);
        EXPECT_EQ(pathBefore, PathVariable());
    } else {
        ASSERT_NE(nullptr, module);
        EXPECT_TRUE(SamePath(client + "\\" + library, ModulePath(module))) << ModulePath(module);
        EXPECT_EQ(nullptr, GetProcAddress(module, "PlantedLibraryMarker"));
        EXPECT_NE(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(notes::ORD_NotesInitExtended)));
        EXPECT_EQ(client + ";" + pathBefore, PathVariable());
        SetEnvironmentVariableA("PATH", pathBefore.c_str());
    }
    if (module != nullptr) FreeLibrary(module);
}

const SearchCase kSearchCases[] = {
    {"neither", Client::None, false},
    {"planted_only", Client::None, true},
    {"machine_path", Client::MachinePath, false},
    {"machine_version_key", Client::MachineVersionKey, false},
    {"user_path", Client::UserPath, false},
    {"machine_path_and_planted", Client::MachinePath, true},
};

INSTANTIATE_TEST_SUITE_P(Registry, NotesLibrarySearchCases, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<SearchCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(NotesLibrarySearch, NewestVersionKeyComesFirst) {
    NotesClientRegistration registration;
    NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "9.0.1", "C:\\Notes9");
    NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "10.0", "C:\\Notes10");
    NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "", "C:\\Notes");
    NotesClientRegistration::Register(HKEY_CURRENT_USER, "", "C:\\notes\\");
    NotesClientRegistration::Register(HKEY_CURRENT_USER, "12.0", "C:\\User\\Notes");
    EXPECT_EQ((std::vector<std::string>{"C:\\Notes", "C:\\Notes10", "C:\\Notes9", "C:\\User\\Notes"}),
              notes::NotesProgramFolders());
}

// The program itself, copied to a folder without a Notes library and started with a
// documents folder as its current directory that holds a planted nnotes.dll.
class NotesLibrarySearchProgram : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"Program", "Notes", "Documents"})
            CreateDirectoryA(dir.File(folder).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\quillsheet.exe").c_str(),
                              dir.File("Program\\quillsheet.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\nnotes.dll").c_str(),
                              dir.File("Notes\\nnotes.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\qs_planted_library.dll").c_str(),
                              dir.File("Documents\\nnotes.dll").c_str(), FALSE));
        // The client's notes.ini, where a client keeps it: in its program folder.
        WriteFileBytes(dir.File("Notes\\notes.ini"),
                       "[Notes]\r\nDirectory=" + dir.File("Documents") + "\r\n");
    }

    void Start() {
        app = std::make_unique<AppProcess>(dir.File("Documents"), "", dir.File("opened.txt"), "",
                                           dir.File("Program\\quillsheet.exe"));
        ASSERT_TRUE(app->started());
    }

    NotesClientRegistration registration;
    TempDir dir;
    std::unique_ptr<AppProcess> app;
};

TEST_F(NotesLibrarySearchProgram, StartedFromElsewhereBindsToTheRegisteredClient) {
    NotesClientRegistration::Register(HKEY_LOCAL_MACHINE, "", dir.File("Notes"));
    Start();
    HWND source = drv::WaitForDialog(app->pid(), "Quillsheet");
    ASSERT_NE(nullptr, source) << "the source dialog, which comes only after the Notes API started";
    EXPECT_EQ(nullptr, drv::WaitForMessageBox(app->pid(), 0));
    drv::ClickDlgItem(source, IDCANCEL);
    EXPECT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
}

TEST_F(NotesLibrarySearchProgram, WithoutClientShowsTheInitialiseMessage) {
    Start();
    HWND box = drv::WaitForMessageBox(app->pid());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kTextInitFailed, drv::MessageBoxText(box));
    drv::DismissMessageBox(box);
    EXPECT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
}

}  // namespace
