#pragma once
// An export run's progress on the console: documents done of all, rewritten at most a few
// times a second, so that a run of a million documents spends its time on the documents.

#include "job/TextOutput.h"
#include "export/ExportProgress.h"

#include <windows.h>

#include <functional>

class CConsoleProgress : public CExportProgress {
public:
    // Milliseconds from some fixed moment, as GetTickCount gives them.
    using Clock = std::function<DWORD()>;

    explicit CConsoleProgress(CTextOutput& output, Clock clock = GetTickCount);

    void Advance(unsigned long done, unsigned long total) override;
    void Finish() override;

private:
    void Show();

    CTextOutput& m_output;
    Clock m_clock;
    unsigned long m_done = 0;
    unsigned long m_total = 0;
    DWORD m_lastShown = 0;
    bool m_shown = false;    // a line has been printed
    bool m_current = false;  // the last line printed holds the current count
};
