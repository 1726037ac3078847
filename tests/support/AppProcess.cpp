#include "support/AppProcess.h"
#include "support/Text.h"

#include "support/Emulation.h"
#include "support/StartAgain.h"

#include <cstring>
#include <vector>

std::string ProgramFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\'));
}

namespace {

// The current environment with `extra` ("NAME=value" entries) added, as CreateProcess wants it;
// an entry "NAME=" removes the variable.
std::vector<char> EnvironmentWith(const std::vector<std::string>& extra) {
    std::vector<char> block;
    char* current = GetEnvironmentStringsA();
    for (const char* p = current; *p != '\0'; p += std::strlen(p) + 1) {
        bool replaced = false;
        for (const std::string& e : extra) {
            const size_t nameLength = e.find('=') + 1;
            replaced = replaced || _strnicmp(p, e.c_str(), nameLength) == 0;
        }
        if (!replaced) block.insert(block.end(), p, p + std::strlen(p) + 1);
    }
    FreeEnvironmentStringsA(current);
    for (const std::string& e : extra) {
        if (e.back() != '=') block.insert(block.end(), e.c_str(), e.c_str() + e.size() + 1);
    }
    block.push_back('\0');
    return block;
}

using text::Widen;

constexpr char kRecordedClass[] = "Software\\Classes\\QuillsheetTest.Recorded";

// Starts still to fail, injected by the tests of the test support.
int g_startsToFail = 0;

}  // namespace

AppProcess::AppProcess(const std::string& workDir, const std::string& notesIni, const std::string& openRecord,
                       const std::string& tempDir, const std::string& program) {
    Launch(workDir, notesIni, openRecord, tempDir, program, L"", nullptr);
}

AppProcess::AppProcess(const std::string& workDir, const std::string& notesIni, const std::string& openRecord,
                       const std::wstring& arguments, const std::string& outputPath,
                       const std::string& program) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return;
    Launch(workDir, notesIni, openRecord, "", program, arguments, output);
    CloseHandle(output);
}

void AppProcess::Launch(const std::string& workDir, const std::string& notesIni,
                        const std::string& openRecord, const std::string& tempDir, const std::string& program,
                        const std::wstring& arguments, HANDLE output) {
    const std::string exe = program.empty() ? ProgramFolder() + "\\quillsheet.exe" : program;
    std::vector<char> environment = EnvironmentWith(
        {"QUILLSHEET_NOTES_INI=" + notesIni, "QUILLSHEET_OPEN_RECORD=" + openRecord,
         "TMP=" + (tempDir.empty() ? workDir : tempDir), "TEMP=" + (tempDir.empty() ? workDir : tempDir)});
    const std::wstring wideExe = Widen(exe);
    std::wstring commandLine = L"\"" + wideExe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    // The program starts suspended and runs in a job of its own, which every process it
    // starts joins: the job's count of live processes tells when they have all ended.
    m_job = CreateJobObjectA(nullptr, nullptr);
    const std::wstring wideWorkDir = Widen(workDir);
    const auto start = [&] {
        if (g_startsToFail > 0) {
            --g_startsToFail;
            // A start that Wine failed: the program never ran, and nothing says it is missing.
            SetLastError(ERROR_INVALID_ADDRESS);
            return false;
        }
        return CreateProcessW(wideExe.c_str(), commandLine.data(), nullptr, nullptr,
                              output != nullptr ? TRUE : FALSE, CREATE_SUSPENDED, environment.data(),
                              wideWorkDir.c_str(), &startup, &m_process) != FALSE;
    };
    if (!startagain::Start(start, exe)) {
        m_process = PROCESS_INFORMATION{};
        return;
    }
    if (m_job == nullptr || !AssignProcessToJobObject(m_job, m_process.hProcess)) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        m_process = PROCESS_INFORMATION{};
        return;
    }
    ResumeThread(m_process.hThread);
}

void AppProcess::FailNextStarts(int count) { g_startsToFail = count; }

AppProcess::~AppProcess() {
    if (m_job != nullptr) {
        // Whatever the test left running ends with the job.
        TerminateJobObject(m_job, 1);
        CloseHandle(m_job);
    }
    if (m_process.hProcess == nullptr) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool AppProcess::WaitForExit(DWORD timeoutMs) {
    return m_process.hProcess != nullptr &&
           WaitForSingleObject(m_process.hProcess, emu::ScaledMs(timeoutMs)) == WAIT_OBJECT_0;
}

bool AppProcess::WaitForStartedProcesses(DWORD timeoutMs) {
    timeoutMs = emu::ScaledMs(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        if (m_job == nullptr || !QueryInformationJobObject(m_job, JobObjectBasicAccountingInformation, &info,
                                                           sizeof info, nullptr)) {
            return false;
        }
        if (info.ActiveProcesses == 0) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

std::vector<DWORD> AppProcess::JobProcesses() const {
    // Room for more processes than a test starts; the list says how many it holds.
    constexpr DWORD kRoom = 64;
    std::vector<char> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + kRoom * sizeof(ULONG_PTR));
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    std::vector<DWORD> ids;
    if (m_job == nullptr || !QueryInformationJobObject(m_job, JobObjectBasicProcessIdList, list,
                                                       static_cast<DWORD>(buffer.size()), nullptr)) {
        return ids;
    }
    for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i)
        ids.push_back(static_cast<DWORD>(list->ProcessIdList[i]));
    return ids;
}

DWORD AppProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

ShellOpenRecorderAssociation::ShellOpenRecorderAssociation()
    : m_lock(CreateMutexA(nullptr, FALSE, "QuillsheetTestShellAssociation")) {
    // Bounded: a test that never releases it (killed) is abandoned, which frees the mutex.
    if (m_lock != nullptr) WaitForSingleObject(m_lock, 10 * 60 * 1000);
    const std::string command = "\"" + ProgramFolder() + "\\qs_open_recorder.exe\" \"%1\"";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kRecordedClass) + "\\shell\\open\\command").c_str(),
                        0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    for (const char* extension : {"Software\\Classes\\.txt", "Software\\Classes\\.csv"}) {
        Saved saved{extension, false, {}};
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, extension, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            continue;
        }
        char value[512] = {};
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS) {
            saved.existed = true;
            saved.value = value;
        }
        const char* recorded = "QuillsheetTest.Recorded";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(recorded),
                       static_cast<DWORD>(std::strlen(recorded) + 1));
        RegCloseKey(key);
        m_saved.push_back(saved);
    }
}

ShellOpenRecorderAssociation::~ShellOpenRecorderAssociation() {
    for (const Saved& saved : m_saved) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, saved.key.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS)
            continue;
        if (saved.existed) {
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved.value.c_str()),
                           static_cast<DWORD>(saved.value.size() + 1));
        } else {
            RegDeleteValueA(key, nullptr);
        }
        RegCloseKey(key);
    }
    if (m_lock != nullptr) {
        ReleaseMutex(m_lock);
        CloseHandle(m_lock);
    }
}
