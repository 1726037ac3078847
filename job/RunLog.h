#pragma once
// The log of an unattended export: where it goes when nobody named it, and what a run that
// ends before its export stage writes there, so that a scheduled task that failed leaves a
// current log that says why instead of last night's.

#include "job/TextOutput.h"

#include <string>

// The log named after the file at `path`: its `extension` (letter case ignored) replaced
// by ".log", or ".log" added to a name without it ("out.csv" -> "out.log",
// "sales.nsf" -> "sales.log").
std::string LogPathNamedAfter(const std::string& path, const char* extension);

// Prints as `output` does and keeps what it printed, for the log of a run that ends early.
class CLoggedOutput : public CTextOutput {
public:
    explicit CLoggedOutput(CTextOutput& output) : m_output(output) {}

    void Print(const std::string& text) override;
    void PrintClosing(const std::string& text) override;
    void ShowProgress(const std::string& text) override { m_output.ShowProgress(text); }
    void EndProgress() override { m_output.EndProgress(); }

    const std::string& Printed() const { return m_printed; }

private:
    void Keep(const std::string& text);
    CTextOutput& m_output;
    std::string m_printed;
};

// Writes `printed` (what the run printed, lines separated by LF) as errors into the log at
// `path`, after the export stage's opening lines, emptying the log first unless `keep`. A log
// that cannot be created leaves no log and says nothing more: the run has printed its cause.
void LogEndInto(const std::string& path, const std::string& commandLine, const std::string& printed,
                bool keep);
