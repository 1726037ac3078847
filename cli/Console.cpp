#include "cli/Console.h"

#include "framework/CodePageText.h"

#include "log/ExclusiveFile.h"

#include <vector>

namespace {

constexpr char kConsoleOutput[] = "CONOUT$";

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

std::wstring InPlaceLine(const std::string& text, const std::string& shown) {
    std::wstring line = L"\r" + Widened(CP_ACP, text);
    if (shown.size() > text.size()) line.append(shown.size() - text.size(), L' ');
    return line;
}

void CConsole::Attach(const CodePageOf& consolePage) {
    if (m_attached) return;
    m_attached = true;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!Usable(output) && !Usable(error) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        output = CreateFileA(kConsoleOutput, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        error = output;
    }
    if (Usable(output)) m_output = {output, IsConsole(output)};
    // Where there is no standard error of its own, its lines go with the rest.
    m_error = Usable(error) ? Stream{error, IsConsole(error)} : m_output;
    // A program without a console of its own reads 0 here, and keeps the native bytes.
    const UINT page = consolePage();
    if (page != 0 && page != GetACP()) m_redirectedCodePage = page;
}

void CConsole::Print(const std::string& text) { WriteLine(m_output, text); }

void CConsole::PrintClosing(const std::string& text) { WriteLine(m_error, text); }

void CConsole::ShowProgress(const std::string& text) {
    if (m_output.handle == nullptr || !m_output.isConsole) return;
    WriteWide(InPlaceLine(text, m_progress));
    m_progress = text;
}

void CConsole::EndProgress() {
    if (m_progress.empty()) return;
    Write(m_output, "\n");
    m_progress.clear();
}

void CConsole::WriteLine(const Stream& stream, const std::string& text) {
    if (stream.handle == nullptr) return;
    if (m_progress.empty()) {
        Write(stream, text + "\n");
        return;
    }
    // The line takes the count's place, and the count comes back below it.
    WriteWide(InPlaceLine("", m_progress) + L"\r");
    Write(stream, text + "\n");
    WriteWide(InPlaceLine(m_progress, ""));
}

void CConsole::WriteWide(const std::wstring& text) const {
    DWORD written = 0;
    WriteConsoleW(m_output.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void CConsole::Write(const Stream& stream, const std::string& text) const {
    // CR LF, as a Windows console and a text file read by Notepad expect.
    const std::string bytes = ToTextMode(text);
    DWORD written = 0;
    if (stream.isConsole) {
        // Whatever code page the console window was set to, the Japanese text shows.
        const std::wstring wide = Widened(CP_ACP, bytes);
        WriteConsoleW(stream.handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string converted =
        m_redirectedCodePage == CP_ACP ? bytes : Narrowed(m_redirectedCodePage, Widened(CP_ACP, bytes));
    WriteFile(stream.handle, converted.data(), static_cast<DWORD>(converted.size()), &written, nullptr);
}
