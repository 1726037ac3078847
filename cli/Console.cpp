#include "cli/Console.h"

#include "log/ExclusiveFile.h"

#include <vector>

namespace {

constexpr char kConsoleOutput[] = "CONOUT$";

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void CConsole::Attach() {
    if (m_attached) return;
    m_attached = true;
    HANDLE handed = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!Usable(handed) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        handed = CreateFileA(kConsoleOutput, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (!Usable(handed)) return;
    m_output = handed;
    DWORD mode = 0;
    m_isConsole = GetConsoleMode(m_output, &mode) != FALSE;
}

void CConsole::Print(const std::string& text) {
    if (m_output == nullptr) return;
    // CR LF, as a Windows console and a text file read by Notepad expect.
    const std::string line = ToTextMode(text + "\n");
    DWORD written = 0;
    if (m_isConsole) {
        // Whatever code page the console window was set to, the Japanese text shows.
        const int length =
            MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), wide.data(), length);
        WriteConsoleW(m_output, wide.data(), static_cast<DWORD>(length), &written, nullptr);
        return;
    }
    WriteFile(m_output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
