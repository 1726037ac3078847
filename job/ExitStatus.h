#pragma once
// The exit status of an unattended run, for a batch file or the Task Scheduler to act on.

#include "job/ExportStage.h"

enum ExitStatus : int {
    kExitWhole = 0,        // every document written, nothing lost
    kExitWarnings = 1,     // written, but not everything as the database holds it
    kExitIncomplete = 2,   // the CSV file lacks lines, or the export stopped part-way
    kExitNothing = 3,      // nothing exported: no Notes, database, form or field; a file that cannot be made
    kExitBadArgument = 4,  // nothing exported: the command line itself is wrong (a switch, a value, a path)
};

// The status of a run that reached the export stage.
ExitStatus ExitStatusOf(const ExportOutcome& outcome);

// The status of a run whose input a check refused with the message `messageId`: a fault of
// the command line's own text (fixed in the batch file) or of the machine it met (a folder or
// a read-only file where the file is to go, which tomorrow may be gone).
ExitStatus StatusOfRefusal(unsigned messageId);
