#pragma once
// An export run's progress on the console: documents done of all, at most a few lines a
// second, so that a run of a million documents does not bury its warnings.

#include "app/Console.h"
#include "export/ExportProgress.h"

class CConsoleProgress : public CExportProgress {
public:
    explicit CConsoleProgress(CConsole& console);

    void Advance(unsigned long done, unsigned long total) override;
    void Finish() override;

private:
    void Show();

    CConsole& m_console;
    unsigned long m_done = 0;
    unsigned long m_total = 0;
    DWORD m_lastShown = 0;
    bool m_shown = false;    // a line has been printed
    bool m_current = false;  // the last line printed holds the current count
};
