#include "app/ConversionJob.h"

#include "app/ConvertApp.h"
#include "app/DatabaseLocator.h"
#include "app/ExportStage.h"
#include "app/ShellOpen.h"
#include "app/SourceDlg.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "wizard/MainSheet.h"

#include <cstring>

namespace {

void OpenWithShell(CSourceDlg* dialog, const std::string& path) {
    if (dialog != nullptr) {
        dialog->OpenWithShell(path);
    } else {
        ShellOpen(nullptr, path);
    }
}

}  // namespace

void RunConversionJob(CSourceDlg* dialog, const std::string& serverName, const std::string& path) {
    char notesPath[notes::MAXPATH];
    if (!LocateDatabase(serverName, path, notesPath)) return;

    CMainSheet sheet(nullptr);
    sheet.m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    std::memcpy(sheet.m_dbPath, notesPath, sizeof sheet.m_dbPath);
    if (sheet.DoModal() != ID_WIZFINISH) return;

    CConvertApp* app = GetConvertApp();
    const std::string logPath = app != nullptr ? app->m_szLogPath : "LOG.TXT";
    const ExportOutcome outcome = RunExportStage(
        ExportChoices{sheet.m_dbPath, sheet.m_formName, sheet.m_fieldNames, sheet.m_exportPath}, logPath);
    // A stopped job has shown its Notes error: no shell call, no completion message.
    if (outcome.stopped) return;

    OpenWithShell(dialog, logPath);
    OpenWithShell(dialog, sheet.m_exportPath);
    if (outcome.totals.refusedLines == 0) {
        AppMessageBox(IDS_EXPORT_FINISHED);
    } else {
        // The file error box came once and went: a file that lost lines is not called finished.
        AppMessageBox(IncompleteExportText(outcome.totals.refusedLines));
    }
}
