#include "cli/ConsoleProgress.h"

#include "framework/ResourceString.h"
#include "res/resource.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {
constexpr DWORD kShowIntervalMs = 500;
constexpr size_t kNumbersRoom = 48;
}  // namespace

CConsoleProgress::CConsoleProgress(CTextOutput& output, Clock clock)
    : m_output(output), m_clock(std::move(clock)) {}

void CConsoleProgress::Advance(unsigned long done, unsigned long total) {
    m_done = done;
    m_total = total;
    m_current = false;
    if (!m_shown || m_clock() - m_lastShown >= kShowIntervalMs) Show();
}

void CConsoleProgress::Finish() {
    if (!m_current) Show();
    m_output.EndProgress();
}

void CConsoleProgress::Show() {
    const std::string format = ResString(IDS_CMD_PROGRESS);
    std::vector<char> text(format.size() + kNumbersRoom, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), m_done, m_total);
    m_output.ShowProgress(text.data());
    m_lastShown = m_clock();
    m_shown = true;
    m_current = true;
}
