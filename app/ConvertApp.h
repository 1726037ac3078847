#pragma once
// The application object: brings up the Notes API, works out the log and documents
// folders, runs the source dialog as the only main window and terminates Notes at the end.

#include "cli/Console.h"
#include "framework/WinApp.h"
#include "job/ExportTotals.h"

#include <cstdint>

class CConvertApp : public CWinApp {
public:
    CConvertApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    char m_szLogPath[MAX_PATH];
    char m_szDocumentsPath[MAX_PATH];
    int32_t m_bNotesInitialized;

private:
    // Where a run started with switches prints; unused by the windows.
    CConsole m_console;
    bool m_summaryDue = false;  // an unattended run's last line is still to be printed
    ExportTotals m_totals;      // its export's counts
};

// The application object, or nullptr in a process without one.
CConvertApp* GetConvertApp();

// The user's documents folder; empty when unknown.
const char* GetDocumentsPath();
