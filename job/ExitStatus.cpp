#include "job/ExitStatus.h"

ExitStatus ExitStatusOf(const ExportOutcome& outcome) {
    if (outcome.stopped && !outcome.fileCreated) return kExitNothing;
    if (outcome.stopped && !outcome.totals.finished) return kExitIncomplete;
    if (outcome.totals.refusedLines != 0) return kExitIncomplete;
    // A run that went through its table and then failed to close the database wrote a whole
    // file, but the log holds a Notes error that someone should read.
    if (outcome.stopped || outcome.totals.HasWarnings()) return kExitWarnings;
    return kExitWhole;
}
