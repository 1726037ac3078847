#include "cli/RunSummary.h"

#include <utility>

namespace {
constexpr char kSummaryTag[] = "Summary:";
}

std::string RunSummaryText(int exitStatus, const ExportTotals& totals) {
    // The order and the names are what scripts read: new counts go at the end.
    const std::pair<const char*, size_t> counts[] = {
        {"written", totals.written},
        {"other-form", totals.otherForm},
        {"not-readable", totals.unreadable},
        {"lines-not-written", totals.refusedLines},
        {"lost-characters", totals.lostCharacters},
        {"cells-with-lost-characters", totals.lossyCells},
        {"conflicts", totals.conflicts},
        {"cut-values", totals.cutValues},
        {"signature-failures", totals.signatureFailures},
        {"unjoined-values", totals.unjoinedValues},
        {"attachments-written", totals.attachmentsWritten},
        {"attachments-not-written", totals.attachmentsNotWritten},
    };
    std::string text = std::string(kSummaryTag) + " status=" + std::to_string(exitStatus);
    for (const auto& count : counts)
        text += std::string(" ") + count.first + "=" + std::to_string(count.second);
    return text;
}
