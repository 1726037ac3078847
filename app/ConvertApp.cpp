#include "app/ConvertApp.h"

#include "cli/CommandLineJob.h"
#include "cli/CommandLineLog.h"
#include "cli/ConsoleStop.h"
#include "cli/OpenedFile.h"
#include "cli/RunSummary.h"
#include "cli/UnattendedJob.h"
#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "job/ExitStatus.h"
#include "notes/NotesBinding.h"
#include "res/resource.h"
#include "wizard/SourceDlg.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr char kLogFileName[] = "LOG.TXT";
}

BOOL CConvertApp::InitInstance() {
    EnableDialogControls();

    // Any argument makes the run unattended, except the one file the program was opened
    // with; without one the source dialog comes as always.
    const std::vector<std::wstring> arguments = ProcessArguments();
    std::wstring openedFile;
    const bool opened = OpenedFile(arguments, openedFile);
    const bool unattended = !arguments.empty() && !opened;
    CommandLineOptions options;
    if (unattended) {
        // Nobody may be there to answer a box of Windows' own (a drive not ready, a crash):
        // the run fails with its status instead of waiting for ever.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
        m_console.Attach();
        InstallConsoleStop();
        // Every run ends with its summary line; the usage asked for is no run.
        m_summaryDue = true;
        if (!ReadCommandLine(arguments, m_console, options, m_nExitCode)) {
            m_summaryDue = !options.usage;
            return FALSE;
        }
    }

    if (notes::NotesInitialize(options.iniGiven ? options.ini : std::string()) != 0) {
        m_bNotesInitialized = 0;
        if (unattended) {
            const std::string message = ResString(IDS_NOTES_INIT_FAILED);
            m_console.PrintClosing(message);
            LogEarlyEnd(options, message);
            m_nExitCode = kExitNothing;
        } else {
            AppMessageBox(IDS_NOTES_INIT_FAILED);
        }
        return FALSE;
    }
    m_bNotesInitialized = 1;

    char temp[MAX_PATH];
    std::memset(temp, 0, sizeof temp);
    const DWORD tempLength = GetTempPathA(sizeof temp, temp);
    // A temporary folder too long to hold the name leaves the log in the current directory,
    // as when there is no temporary folder at all.
    WizardPlaces places;
    char logPath[MAX_PATH];
    const bool haveTemp = tempLength != 0 && tempLength < sizeof temp &&
                          std::strlen(temp) + sizeof kLogFileName <= sizeof logPath;
    std::snprintf(logPath, sizeof logPath, "%s%s", haveTemp ? temp : "", kLogFileName);
    places.logPath = logPath;

    char documentsPath[MAX_PATH];
    std::memset(documentsPath, 0, sizeof documentsPath);
    PIDLIST_ABSOLUTE documents = nullptr;
    if (SHGetSpecialFolderLocation(GetDesktopWindow(), CSIDL_PERSONAL, &documents) == S_OK &&
        documents != nullptr) {
        SHGetPathFromIDListA(documents, documentsPath);
        ILFree(documents);
    }
    places.documentsFolder = documentsPath;

    if (unattended) {
        m_nExitCode = RunUnattendedJob(options, m_console, m_totals);
        return FALSE;
    }

    CSourceDlg dialog(std::move(places));
    if (opened) {
        std::string path;
        if (ToCodePage932(openedFile, path)) {
            dialog.m_openedDatabase = path;
        } else {
            AppMessageBox(ResStringWith(IDS_CMD_NOT_CP932, path));
        }
    }
    dialog.DoModal();
    m_hMainWnd = nullptr;
    return FALSE;
}

int CConvertApp::ExitInstance() {
    if (m_bNotesInitialized != 0) notes::NotesTerminate();
    if (m_summaryDue) m_console.Print(RunSummaryText(m_nExitCode, m_totals));
    // A console event waiting for the run to close what it opened may let Windows end it now.
    ConsoleRunEnded();
    return CWinApp::ExitInstance();
}
