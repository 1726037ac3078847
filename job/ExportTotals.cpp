#include "job/ExportTotals.h"

std::string ExportTotalsText(const ExportTotals& totals) {
    return "Documents written = " + std::to_string(totals.written) +
           ", Other form = " + std::to_string(totals.otherForm) +
           ", Not readable = " + std::to_string(totals.unreadable) +
           ", Lines not written to the file = " + std::to_string(totals.refusedLines);
}

std::string AttachmentTotalsText(const ExportTotals& totals) {
    return "Attachments written = " + std::to_string(totals.attachmentsWritten) +
           ", Attachments not written = " + std::to_string(totals.attachmentsNotWritten);
}
