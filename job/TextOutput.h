#pragma once
// Where an unattended run prints its lines: the console, or a test's record of them.

#include <string>

class CTextOutput {
public:
    virtual ~CTextOutput() = default;
    // Prints `text` (native text, lines separated by LF) and ends the line.
    virtual void Print(const std::string& text) = 0;
    // A message that ends the run: on the standard error where there is one, so that a
    // script that keeps the output in a file still sees why on its screen.
    virtual void PrintClosing(const std::string& text) { Print(text); }
    // The progress count, shown in place of the one before it. Where nobody watches (a file,
    // a pipe) it is not shown at all.
    virtual void ShowProgress(const std::string& text) { (void)text; }
    // The count shown last is the final one: it stays, and what follows goes below it.
    virtual void EndProgress() {}
};
