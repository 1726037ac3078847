#include "app/ConversionJob.h"

#include "app/ConvertApp.h"
#include "app/ShellOpen.h"
#include "app/SourceDlg.h"
#include "export/CsvFile.h"
#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "log/SysLog.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"
#include "wizard/MainSheet.h"
#include "wizard/WizardPage.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

using notes::MAXPATH;

namespace {

constexpr size_t kNotesPathSize = MAXPATH;  // 255 bytes and a NUL
constexpr char kNetPathSeparator[] = "!!";  // what a network path puts between server and file

// Translates native text into LMBCS into a buffer of kNotesPathSize bytes. False when the
// LMBCS text does not fit: a cut path would open another database than the one named.
bool TranslateToNotes(const std::string& text, char (&out)[kNotesPathSize]) {
    std::vector<char> wide(text.size() * 3 + 1, '\0');
    const size_t length = notes::TranslateInto(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, text.c_str(), text.size(),
                                               wide.data(), wide.size());
    if (length >= kNotesPathSize || text.size() > 0xFFFF) return false;
    std::memcpy(out, wide.data(), length + 1);
    return true;
}

void OpenWithShell(CSourceDlg* dialog, const std::string& path) {
    if (dialog != nullptr) {
        dialog->OpenWithShell(path);
    } else {
        ShellOpen(nullptr, path);
    }
}

// Stage 1: the Notes path of the database, tested by opening and closing it once.
bool LocateDatabase(const std::string& serverName, const std::string& path,
                    char (&notesPath)[kNotesPathSize]) {
    char serverBuffer[kNotesPathSize];
    char pathBuffer[kNotesPathSize];
    std::memset(serverBuffer, 0, sizeof serverBuffer);
    std::memset(pathBuffer, 0, sizeof pathBuffer);
    std::memset(notesPath, 0, kNotesPathSize);
    const bool fits = (serverName.empty() || TranslateToNotes(serverName, serverBuffer)) &&
                      TranslateToNotes(path, pathBuffer) &&
                      (serverBuffer[0] == '\0' ||
                       std::strlen(serverBuffer) + std::strlen(kNetPathSeparator) + std::strlen(pathBuffer) <
                           kNotesPathSize);
    if (!fits) {
        AppMessageBox(IDS_NOTES_PATH_TOO_LONG);
        return false;
    }
    notes::Api().OSPathNetConstruct(nullptr, serverBuffer, pathBuffer, notesPath);
    notesPath[kNotesPathSize - 1] = '\0';

    CNsfDatabase test;
    try {
        test.Open(notesPath);
        test.Close();
    } catch (const CNsfError& error) {
        error.ReportError();
        CloseQuietly(test);
        return false;
    }
    return true;
}

// Keeps the chosen fields, in the chosen order; a name chosen twice comes twice.
// The entries are grouped by name first: a form of 40,000 fields, all chosen, would
// otherwise take 1.6 billion name comparisons.
void NarrowFields(CNsfDatabase& db, const std::vector<std::string>& chosen) {
    std::map<std::string, std::vector<size_t>> byName;  // entries of each name, in list order
    for (size_t i = 0; i < db.m_fields.size(); ++i) byName[db.m_fields[i].name].push_back(i);
    FieldList narrowed;
    for (const std::string& name : chosen) {
        const auto it = byName.find(name);
        if (it == byName.end()) continue;
        for (size_t i : it->second) narrowed.push_back(db.m_fields[i]);
    }
    db.m_fields = std::move(narrowed);
}

// The warning of an export whose file did not take every line, with how many it did not.
std::string IncompleteExportText(size_t refusedLines) {
    const std::string format = ResString(IDS_EXPORT_INCOMPLETE);
    std::vector<char> text(format.size() + 32, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), static_cast<unsigned long>(refusedLines));
    return text.data();
}

// A Notes error stopped the export: the log says so after the Notes text, with what had been
// written by then, so that a partial CSV file is never taken for a whole one. A run that had
// finished wrote its count already, and its file is whole.
void LogStoppedExport(const CNsfError& error, const ExportTotals& totals, bool fileCreated) {
    g_sysLog.Write(LEVEL_ERROR, "Notes error: " + error.m_message);
    if (totals.finished) return;
    g_sysLog.Write(LEVEL_INFO, ExportTotalsText(totals));
    g_sysLog.Write(LEVEL_WARNING, fileCreated ? "Export stopped: the CSV file is incomplete"
                                              : "Export stopped: no CSV file was written");
}

}  // namespace

void RunConversionJob(CSourceDlg* dialog, const std::string& serverName, const std::string& path) {
    char notesPath[kNotesPathSize];
    if (!LocateDatabase(serverName, path, notesPath)) return;

    CMainSheet sheet(nullptr);
    sheet.m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    std::memcpy(sheet.m_dbPath, notesPath, sizeof sheet.m_dbPath);
    if (sheet.DoModal() != ID_WIZFINISH) return;

    CConvertApp* app = GetConvertApp();
    const char* logPath = app != nullptr ? app->m_szLogPath : "LOG.TXT";
    g_sysLog.Create(logPath);
    g_sysLog.WriteBanner();

    CNsfDatabase db;
    ExportTotals totals;
    bool fileCreated = false;
    try {
        g_sysLog.Write(LEVEL_COMMAND, "Open Notes DataBase");
        g_sysLog.Write(LEVEL_DEBUG, std::string("DB Path=") + sheet.m_dbPath);
        db.Open(sheet.m_dbPath);
        g_sysLog.Write(LEVEL_RESULT, "Open Command is success.");

        g_exportFile.Create(sheet.m_exportPath);
        fileCreated = true;
        db.ListFields(sheet.m_formName);
        NarrowFields(db, sheet.m_fieldNames);

        g_sysLog.Write(LEVEL_COMMAND, "Write All Document By Form");
        g_sysLog.Write(LEVEL_DEBUG, "Form Name=" + sheet.m_formName);
        db.WriteAllDocumentByForm(sheet.m_formName, totals);
        g_sysLog.Write(LEVEL_RESULT, "Write All Document By Form is success.");

        g_sysLog.Write(LEVEL_COMMAND, "Close Notes DataBase");
        db.Close();
        g_sysLog.Write(LEVEL_RESULT, "Close Notes DataBase is success.");
    } catch (const CNsfError& error) {
        // The job stops here: no shell call, no completion message.
        LogStoppedExport(error, totals, fileCreated);
        error.ReportError();
        CloseQuietly(db);
        return;
    }

    if (totals.refusedLines != 0) {
        g_sysLog.Write(LEVEL_WARNING,
                       "Export file incomplete: Lines not written = " + std::to_string(totals.refusedLines));
    }
    OpenWithShell(dialog, logPath);
    OpenWithShell(dialog, sheet.m_exportPath);
    if (totals.refusedLines == 0) {
        AppMessageBox(IDS_EXPORT_FINISHED);
    } else {
        // The file error box came once and went: a file that lost lines is not called finished.
        AppMessageBox(IncompleteExportText(totals.refusedLines));
    }
}
