#include "cli/WindowedStart.h"

#include "cli/CommandLine.h"
#include "framework/ResourceString.h"
#include "job/ExitStatus.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <vector>

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

}  // namespace

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
