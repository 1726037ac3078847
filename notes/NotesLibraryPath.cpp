#include "notes/NotesLibraryPath.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace notes {
namespace {

// The registry view that matches this program's width: a 32-bit program on 64-bit Windows
// reads where a 32-bit client writes, a 64-bit program where a 64-bit client writes.
constexpr REGSAM kOwnView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// The longest path the ANSI loader takes, terminator included.
constexpr DWORD kPathCapacity = MAX_PATH;

// The value "Path" of `subkey` ("" when missing); a REG_EXPAND_SZ value comes expanded.
std::string ReadPathValue(HKEY key, const char* subkey) {
    char value[kPathCapacity] = {};
    DWORD size = sizeof value;
    const LONG result = RegGetValueA(key, subkey, kNotesClientPathValue, RRF_RT_REG_SZ | RRF_ZEROONFAILURE,
                                     nullptr, value, &size);
    if (result != ERROR_SUCCESS) return std::string();
    std::string path(value);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// Version names compare by their numbers: "10.0" is newer than "9.0.1".
bool NewerVersion(const std::string& a, const std::string& b) {
    const char* pa = a.c_str();
    const char* pb = b.c_str();
    while (*pa != '\0' || *pb != '\0') {
        char* endA = nullptr;
        char* endB = nullptr;
        const unsigned long na = std::strtoul(pa, &endA, 10);
        const unsigned long nb = std::strtoul(pb, &endB, 10);
        if (na != nb) return na > nb;
        if (endA == pa || endB == pb) return std::strcmp(pa, pb) > 0;
        pa = *endA == '.' ? endA + 1 : endA;
        pb = *endB == '.' ? endB + 1 : endB;
    }
    return false;
}

void AddFolder(std::vector<std::string>& folders, const std::string& folder) {
    if (folder.empty()) return;
    for (const std::string& known : folders) {
        if (_stricmp(known.c_str(), folder.c_str()) == 0) return;
    }
    folders.push_back(folder);
}

void AddFoldersOf(HKEY root, std::vector<std::string>& folders) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kNotesClientKey, 0, KEY_READ | kOwnView, &key) != ERROR_SUCCESS) return;
    AddFolder(folders, ReadPathValue(key, nullptr));
    std::vector<std::string> versions;
    char name[256] = {};  // the longest key name the registry allows, and its terminator
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        versions.emplace_back(name, length);
    }
    std::sort(versions.begin(), versions.end(), NewerVersion);
    for (const std::string& version : versions) AddFolder(folders, ReadPathValue(key, version.c_str()));
    RegCloseKey(key);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string VariableValue(const char* name) {
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(needed, '\0');
    const DWORD length = needed == 0 ? 0 : GetEnvironmentVariableA(name, &value[0], needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// Appends a folder to a search list; empty entries are never made (one could stand for the
// current directory).
void AddSearchFolder(std::string& list, const std::string& folder) {
    if (folder.empty()) return;
    if (!list.empty()) list += ";";
    list += folder;
}

std::string FolderFrom(const char* folder, UINT length) {
    return length == 0 || length >= kPathCapacity ? std::string() : std::string(folder, length);
}

// The folders LoadLibrary searches for a bare name, in its order, without the current
// directory: the program's own folder, the system folder, the Windows folder, then PATH.
// The loader itself cannot be trusted to leave the current directory out (an empty DLL
// directory does not under every Windows layer), so the name is looked up here and the
// library loaded by its full path.
std::string SearchList() {
    char folder[kPathCapacity] = {};
    const std::string program = FolderFrom(folder, GetModuleFileNameA(nullptr, folder, sizeof folder));
    const size_t slash = program.find_last_of('\\');
    std::string list;
    if (slash != std::string::npos) AddSearchFolder(list, program.substr(0, slash));
    AddSearchFolder(list, FolderFrom(folder, GetSystemDirectoryA(folder, sizeof folder)));
    AddSearchFolder(list, FolderFrom(folder, GetWindowsDirectoryA(folder, sizeof folder)));
    const std::string path = VariableValue("PATH");
    for (size_t begin = 0, end = 0; end != std::string::npos; begin = end + 1) {
        end = path.find(';', begin);
        AddSearchFolder(list, path.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    }
    return list;
}

HMODULE LoadByFullPath(const std::string& path) {
    // With the full path, the library's own dependencies come from its folder too.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Notes documents that API programs run with the Notes program folder on PATH; the
// library itself starts further Notes programs and libraries found through it.
void PutInFrontOfPath(const std::string& folder) {
    const std::string path = VariableValue("PATH");
    const std::string updated = path.empty() ? folder : folder + ";" + path;
    SetEnvironmentVariableA("PATH", updated.c_str());
}

}  // namespace

std::vector<std::string> NotesProgramFolders() {
    std::vector<std::string> folders;
    AddFoldersOf(HKEY_LOCAL_MACHINE, folders);
    AddFoldersOf(HKEY_CURRENT_USER, folders);
    return folders;
}

HMODULE LoadNotesLibrary(const char* libraryName) {
    // An empty DLL directory takes the current directory out of every later search of this
    // process, the library's own dependencies included; PATH stays in it.
    SetDllDirectoryA("");
    char found[kPathCapacity] = {};
    const DWORD length =
        SearchPathA(SearchList().c_str(), libraryName, nullptr, sizeof found, found, nullptr);
    if (length > 0 && length < sizeof found) {
        HMODULE module = LoadByFullPath(found);
        if (module != nullptr) return module;
    }
    for (const std::string& folder : NotesProgramFolders()) {
        const std::string path = folder + "\\" + libraryName;
        if (path.size() >= kPathCapacity || !FileExists(path)) continue;
        PutInFrontOfPath(folder);
        HMODULE module = LoadByFullPath(path);
        if (module != nullptr) return module;
    }
    return nullptr;
}

}  // namespace notes
