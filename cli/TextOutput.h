#pragma once
// Where an unattended run prints its lines: the console, or a test's record of them.

#include <string>

class CTextOutput {
public:
    virtual ~CTextOutput() = default;
    // Prints `text` (native text, lines separated by LF) and ends the line.
    virtual void Print(const std::string& text) = 0;
};
