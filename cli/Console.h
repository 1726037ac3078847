#pragma once
// Where an unattended run prints: the standard output and error it was handed (a
// redirection in a batch file), else the console of the process that started it. A run with
// neither (the Task Scheduler) prints nothing.

#include "job/TextOutput.h"

#include <windows.h>

#include <functional>
#include <string>

class CConsole : public CTextOutput {
public:
    // The code page of the process's console, 0 when it has none.
    using CodePageOf = std::function<UINT()>;

    // Finds the outputs once; later calls keep what the first found.
    void Attach(const CodePageOf& consolePage = GetConsoleOutputCP);
    void Print(const std::string& text) override;
    void PrintClosing(const std::string& text) override;
    // On a console window the count is rewritten on the last line, below the lines printed
    // meanwhile; elsewhere it is dropped.
    void ShowProgress(const std::string& text) override;
    void EndProgress() override;

private:
    struct Stream {
        HANDLE handle = nullptr;
        bool isConsole = false;  // a console window takes UTF-16, a file or pipe bytes
    };
    void WriteLine(const Stream& stream, const std::string& text);
    void Write(const Stream& stream, const std::string& text) const;
    void WriteWide(const std::wstring& text) const;

    bool m_attached = false;
    Stream m_output;
    Stream m_error;
    // The code page of what goes to a file or a pipe: the console's, where it was changed
    // (chcp 65001), so that the program reading it at that console reads Japanese right.
    UINT m_redirectedCodePage = CP_ACP;
    std::string m_progress;  // the count on the console's last line; empty: none
};

// What rewrites a console's last line, on which `shown` stands, with `text` (native text):
// the text from the line's start, and blanks over what the earlier text left beyond it.
// A double-byte character takes two columns of the console, as it takes two bytes.
std::wstring InPlaceLine(const std::string& text, const std::string& shown);
