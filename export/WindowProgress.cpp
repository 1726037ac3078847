#include "export/WindowProgress.h"

#include "framework/ResourceString.h"
#include "res/resource.h"

namespace {
constexpr unsigned long kWholePercent = 100;
}

CWindowProgress::CWindowProgress() : m_dialog(0) {
    m_dialog.Create(nullptr);
    m_dialog.SetMessage(ResString(IDS_EXPORT_WRITING));
    m_dialog.SetProgress(0);
}

void CWindowProgress::Advance(unsigned long done, unsigned long total) {
    // A table that counts fewer notes than its scan yields shows no percent rather than
    // dividing by zero or passing the bar's end.
    if (total == 0) return;
    const unsigned long percent = done * kWholePercent / total;
    if (percent <= kWholePercent) m_dialog.SetProgress(static_cast<int>(percent));
}

void CWindowProgress::Finish() { m_dialog.SetProgress(static_cast<int>(kWholePercent)); }
