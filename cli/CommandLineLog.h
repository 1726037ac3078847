#pragma once
// The log of an unattended run from its first moment: where it goes, and what a run that ends
// before the export stage writes there, so that a scheduled task that failed leaves a current
// log that says why instead of last night's.

#include "cli/CommandLine.h"
#include "cli/TextOutput.h"

#include <string>

// The log's path as typed: /log's value, else the CSV file's path named .log instead of .csv
// (".log" added to a name without .csv). Empty when there is no CSV path to name it after:
// none, or one that names no file (a folder, a path the rules refuse).
std::string CommandLineLogPath(const CommandLineOptions& options);

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

// Writes the log of a run that ended before the export stage: the stage's opening lines, then
// `printed` (what the run printed, lines separated by LF) as errors. A log path that cannot be
// worked out or created leaves no log and says nothing more: the run has printed its cause.
void LogEarlyEnd(const CommandLineOptions& options, const std::string& printed);

// Writes `printed` into the log at `path` the same way, after the opening lines, emptying
// the log first unless `keep`.
void LogEndInto(const std::string& path, const std::string& commandLine, const std::string& printed,
                bool keep);
