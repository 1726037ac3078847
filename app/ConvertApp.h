#pragma once
// The application object: brings up the Notes API, works out the wizard's log and the
// documents folder and hands them to the source dialog, runs that dialog as the only main
// window and terminates Notes at the end.

#include "cli/Console.h"
#include "framework/WinApp.h"
#include "job/ExportTotals.h"

#include <cstdint>

class CConvertApp : public CWinApp {
public:
    CConvertApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    int32_t m_bNotesInitialized;

private:
    // Where a run started with switches prints; unused by the windows.
    CConsole m_console;
    bool m_summaryDue = false;  // an unattended run's last line is still to be printed
    ExportTotals m_totals;      // its export's counts
};
