#pragma once
// One unattended export once its database, form and fields are chosen: the CSV file written
// under its partial name and put in the target's place only for a run that went through, the
// run's files claimed against a second run, the attachments' folder made, the log and the
// file each held open for the run.

#include "job/ExportStage.h"
#include "job/ExportTotals.h"
#include "job/TextOutput.h"
#include "job/UnattendedRun.h"

#include <string>

// Exports to `choices.exportPath`, logging at `logPath` (kept after what it holds with
// `choices.continueLog`). What ends it before the export stage is printed on `early`, the
// rest on `output`. Returns the exit status; `totals` holds the export's counts.
int ExportToTarget(const UnattendedRun& run, ExportChoices choices, const std::string& logPath,
                   CTextOutput& early, CTextOutput& output, ExportTotals& totals);

// Tells the message of a failed check (`messageId`, 0 when it passed) to `messages`; true
// when there was one, `exitStatus` then saying whose fault it is: the command line's own
// text, or the machine it met.
bool Refused(CMessageSink& messages, unsigned messageId, int& exitStatus);
