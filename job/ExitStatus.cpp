#include "job/ExitStatus.h"

#include "res/resource.h"

ExitStatus ExitStatusOf(const ExportOutcome& outcome) {
    if (outcome.stopped && !outcome.fileCreated) return kExitNothing;
    if (outcome.stopped && !outcome.totals.finished) return kExitIncomplete;
    if (outcome.totals.refusedLines != 0) return kExitIncomplete;
    // A run that went through its table and then failed to close the database wrote a whole
    // file, but the log holds a Notes error that someone should read.
    if (outcome.stopped || outcome.totals.HasWarnings()) return kExitWarnings;
    return kExitWhole;
}

ExitStatus StatusOfRefusal(unsigned messageId) {
    switch (messageId) {
        case IDS_ENTER_SERVER_NAME:
        case IDS_ENTER_DB_PATH:
        case IDS_CHOOSE_FORM:
        case IDS_CHOOSE_FIELDS:
        case IDS_CHOOSE_DESTINATION:
        case IDS_CMD_CHOOSE_LOG:
        case IDS_PATH_NETWORK:
        case IDS_PATH_NOT_ABSOLUTE:
        case IDS_PATH_BAD_CHARS:
        case IDS_PATH_TOO_LONG:
        case IDS_CMD_NO_VALUE:
        case IDS_CMD_CHOOSE_OUT:
        case IDS_CMD_NOT_WITH_OUT:
        case IDS_CMD_ATTACHMENTS_RELATIVE:
            return kExitBadArgument;
        default:
            return kExitNothing;
    }
}
