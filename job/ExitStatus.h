#pragma once
// The exit status of an unattended run, for a batch file or the Task Scheduler to act on.

#include "job/ExportStage.h"

enum ExitStatus : int {
    kExitWhole = 0,       // every document written, nothing lost
    kExitWarnings = 1,    // written, but not everything as the database holds it
    kExitIncomplete = 2,  // the CSV file lacks lines, or the export stopped part-way
    kExitNothing = 3,     // nothing exported: refused switches or paths, no Notes, no database or form
};

// The status of a run that reached the export stage.
ExitStatus ExitStatusOf(const ExportOutcome& outcome);
