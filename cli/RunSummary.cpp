#include "cli/RunSummary.h"

namespace {
constexpr char kSummaryTag[] = "Summary:";
}

std::string RunSummaryText(int exitStatus, const ExportTotals& totals) {
    std::string text = std::string(kSummaryTag) + " status=" + std::to_string(exitStatus);
    for (const ExportCount& count : ExportCounts())
        text += std::string(" ") + count.key + "=" + std::to_string(totals.*count.member);
    return text;
}
