#include "job/ExportTotals.h"

namespace {

std::string LineText(const ExportTotals& totals, TotalsLine line) {
    std::string text;
    for (const ExportCount& count : ExportCounts()) {
        if (count.line != line) continue;
        if (!text.empty()) text += ", ";
        text += std::string(count.logText) + " = " + std::to_string(totals.*count.member);
    }
    return text;
}

}  // namespace

const std::vector<ExportCount>& ExportCounts() {
    static const std::vector<ExportCount> counts = {
#define QS_COUNT_ENTRY(member, key, column, line, text, warns) \
    {key, column, line, text, warns, &ExportTotals::member},
        QS_EXPORT_COUNTS(QS_COUNT_ENTRY)
#undef QS_COUNT_ENTRY
    };
    return counts;
}

bool ExportTotals::HasWarnings() const {
    for (const ExportCount& count : ExportCounts()) {
        if (count.warns && this->*count.member != 0) return true;
    }
    return false;
}

ExportTotals& ExportTotals::operator+=(const ExportTotals& other) {
    for (const ExportCount& count : ExportCounts()) this->*count.member += other.*count.member;
    return *this;
}

std::string ExportTotalsText(const ExportTotals& totals) { return LineText(totals, TotalsLine::kDocuments); }

std::string AttachmentTotalsText(const ExportTotals& totals) {
    return LineText(totals, TotalsLine::kAttachments);
}
