#pragma once
// The export itself, the last stage of a job: the log from its banner, the database opened,
// the CSV file written and the database closed. The wizard's job and the unattended run
// both end in it, so that the same choices give the same log and the same file.

#include "notes/NsfDatabase.h"

#include <string>
#include <vector>

// What the user chose, by the wizard or on the command line.
struct ExportChoices {
    std::string dbPath;  // LMBCS, as the Notes API opens it
    std::string formName;
    std::vector<std::string> fieldNames;  // the CSV column order
    std::string exportPath;
};

// How the stage ended.
struct ExportOutcome {
    ExportTotals totals;
    bool stopped = false;      // a Notes error ended it; its text has been shown
    bool fileCreated = false;  // the CSV file had been created (or its creation tried) by then
};

// Runs the stage with the log at `logPath`. A non-empty `commandLine` is recorded in the
// log after the banner.
ExportOutcome RunExportStage(const ExportChoices& choices, const std::string& logPath,
                             const std::string& commandLine = "");

// The warning of an export whose file did not take every line, with how many it did not.
std::string IncompleteExportText(size_t refusedLines);
