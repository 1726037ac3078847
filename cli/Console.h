#pragma once
// Where an unattended run prints: the standard output it was handed (a redirection in a
// batch file), else the console of the process that started it. A run with neither (the
// Task Scheduler) prints nothing.

#include "cli/TextOutput.h"

#include <windows.h>

#include <string>

class CConsole : public CTextOutput {
public:
    // Finds the output once; later calls keep what the first found.
    void Attach();
    void Print(const std::string& text) override;

private:
    bool m_attached = false;
    HANDLE m_output = nullptr;
    bool m_isConsole = false;  // a console window takes UTF-16, a file or pipe the native bytes
};
