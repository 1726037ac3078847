// The entry point of quillsheet.com, the program's console twin. Typed as "quillsheet" at a
// prompt (PATHEXT finds .com before .exe) it runs the same application object in the
// console it was started in: the prompt waits for it, its output comes in order, and its exit
// status is the shell's. Started with nothing to export (no argument, or one file to open),
// it starts quillsheet.exe beside it, whose windows need no console, and returns at once.
#include "app/CommandLine.h"
#include "app/ConvertApp.h"
#include "app/ExitStatus.h"
#include "app/OpenedFile.h"
#include "framework/ResourceString.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

CConvertApp theApp;

namespace {

constexpr wchar_t kWindowedProgram[] = L"quillsheet.exe";

std::wstring OwnFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            const std::wstring full(path.data(), n);
            return full.substr(0, full.find_last_of(L'\\') + 1);
        }
        path.resize(path.size() * 2);
    }
}

// Starts the windowed program with the file to open, if any; 0 once it started.
int StartWindowed(const std::wstring& openedFile) {
    const std::wstring program = OwnFolder() + kWindowedProgram;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!openedFile.empty()) commandLine += L" \"" + openedFile + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::string name;
        ToCodePage932(program, name);
        const std::string message = ResStringWith(IDS_CMD_WINDOWED_NOT_STARTED, name) + "\n";
        std::fputs(message.c_str(), stderr);
        return kExitNothing;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return kExitWhole;
}

}  // namespace

int main() {
    const std::vector<std::wstring> arguments = ProcessArguments();
    std::wstring openedFile;
    if (arguments.empty() || OpenedFile(arguments, openedFile)) return StartWindowed(openedFile);
    return theApp.Run();
}
