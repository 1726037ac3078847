#pragma once
// Where an unattended run prints: the standard output it was handed (a redirection in a
// batch file), else the console of the process that started it. A run with neither (the
// Task Scheduler) prints nothing.

#include <windows.h>

#include <string>

class CConsole {
public:
    // Finds the output once; later calls keep what the first found.
    void Attach();
    // Prints `text` (native text, lines separated by LF) and ends the line.
    void Print(const std::string& text);

private:
    bool m_attached = false;
    HANDLE m_output = nullptr;
    bool m_isConsole = false;  // a console window takes UTF-16, a file or pipe the native bytes
};

extern CConsole g_console;
