#include "wizard/ConversionJob.h"

#include "export/WindowProgress.h"
#include "framework/MessageBox.h"
#include "job/DatabaseLocator.h"
#include "job/ExportStage.h"
#include "wizard/MainSheet.h"
#include "wizard/ShellOpen.h"
#include "wizard/SourceDlg.h"

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

void RunConversionJob(CSourceDlg* dialog, const WizardPlaces& places, const std::string& serverName,
                      const std::string& path) {
    char notesPath[notes::MAXPATH];
    if (!LocateDatabase(MessageBoxes(), serverName, path, notesPath)) return;

    CMainSheet sheet(places.documentsFolder);
    sheet.m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    std::memcpy(sheet.m_dbPath, notesPath, sizeof sheet.m_dbPath);
    if (sheet.DoModal() != ID_WIZFINISH) return;

    const std::string& logPath = places.logPath;
    // The wizard's log and file are the program's own, so that the files it leaves stay
    // where and as they always were.
    CExportContext context(g_sysLog, g_exportFile, MessageBoxes(),
                           [] { return std::make_unique<CWindowProgress>(); });
    ExportChoices choices;
    choices.dbPath = sheet.m_dbPath;
    choices.formName = sheet.m_formName;
    choices.fieldNames = sheet.m_fieldNames;
    choices.exportPath = sheet.m_exportPath;
    const ExportOutcome outcome = RunExportStage(context, choices, logPath);
    // A stopped job has shown its Notes error: no shell call, no completion message.
    if (outcome.stopped) return;

    OpenWithShell(dialog, logPath);
    OpenWithShell(dialog, sheet.m_exportPath);
    // The file error box came once and went: a file that lost lines is not called finished.
    AppMessageBox(CompletionText(outcome));
}
