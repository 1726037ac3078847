#include "app/CommandLineJob.h"

#include "app/Console.h"
#include "app/ConsoleProgress.h"
#include "app/DatabaseLocator.h"
#include "app/ExitStatus.h"
#include "app/ExportStage.h"
#include "app/PathCheck.h"
#include "export/ExportProgress.h"
#include "export/FormMatch.h"
#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "log/SysLog.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"
#include "wizard/WizardPage.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

// The source dialog's checks of what names the database.
bool CheckSource(const CommandLineOptions& options, std::string& path) {
    path = options.db;
    if (options.serverGiven) {
        if (options.server.empty()) {
            AppMessageBox(IDS_ENTER_SERVER_NAME);
            return false;
        }
        if (path.empty()) {
            AppMessageBox(IDS_ENTER_DB_PATH);
            return false;
        }
        return true;
    }
    TrimLeadingSpaces(path);
    if (path.empty()) {
        AppMessageBox(IDS_ENTER_DB_PATH);
        return false;
    }
    return CheckPath(path);
}

// The destination page's checks, for the CSV file and the log alike.
bool CheckDestination(const std::string& given, UINT emptyMessageId, std::string& path) {
    path = given;
    TrimLeadingSpaces(path);
    if (path.empty()) {
        AppMessageBox(emptyMessageId);
        return false;
    }
    return CheckPath(path);
}

// The form the form page shows under `name`: its whole title, or one of its synonyms as the
// export's filter matches them. Empty when no form answers.
std::string FindForm(const std::vector<std::string>& forms, const std::string& name) {
    for (const std::string& form : forms) {
        if (form == name) return form;
    }
    for (const std::string& form : forms) {
        if (FormMatch(form).Names(name)) return form;
    }
    return {};
}

// The field page's list: every field of the form, in the order its list view sorts them.
std::vector<std::string> FieldPageOrder(const FieldList& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& field : fields) names.push_back(field.name);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

// The form and the fields of the export, as the form and field pages would have taken them.
// False when the database cannot be read or either is not there; the reason has been shown.
bool ChooseFormAndFields(const char* dbPath, const CommandLineOptions& options, ExportChoices& choices) {
    CNsfDatabase db;
    try {
        db.Open(dbPath);
        db.ListForms();
        choices.formName = FindForm(db.m_forms, options.form);
        if (choices.formName.empty()) {
            CloseQuietly(db);
            AppMessageBox(ResStringWith(IDS_CMD_FORM_NOT_FOUND, options.form));
            return false;
        }
        db.ListFields(choices.formName);
        db.Close();
    } catch (const CNsfError& error) {
        error.ReportError();
        CloseQuietly(db);
        return false;
    }
    const std::vector<std::string> listed = FieldPageOrder(db.m_fields);
    if (options.fields.empty()) {
        choices.fieldNames = listed;
        return true;
    }
    for (const std::string& name : options.fields) {
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
            AppMessageBox(ResStringWith(IDS_CMD_FIELD_NOT_FOUND, name));
            return false;
        }
    }
    choices.fieldNames = options.fields;
    return true;
}

void PrintWarnings(int levelId, const std::string& text) {
    if (levelId == LEVEL_WARNING) g_console.Print(text);
}

}  // namespace

bool PrepareUnattendedRun(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                          int& exitStatus) {
    g_console.Attach();
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        g_console.Print(request.text);
        return IDOK;
    });
    SetExportProgressMaker([] { return std::make_unique<CConsoleProgress>(g_console); });
    g_sysLog.m_echo = PrintWarnings;

    std::string message;
    if (!ParseCommandLine(arguments, options, message)) {
        g_console.Print(message);
        exitStatus = kExitNothing;
        return false;
    }
    if (options.usage) {
        g_console.Print(ResString(IDS_CMD_USAGE));
        exitStatus = kExitWhole;
        return false;
    }
    return true;
}

int RunCommandLineJob(const CommandLineOptions& options, const std::string& defaultLogPath) {
    std::string sourcePath;
    if (!CheckSource(options, sourcePath)) return kExitNothing;
    if (options.form.empty()) {
        AppMessageBox(IDS_CHOOSE_FORM);
        return kExitNothing;
    }
    if (options.fieldsGiven &&
        std::find(options.fields.begin(), options.fields.end(), std::string()) != options.fields.end()) {
        AppMessageBox(IDS_CHOOSE_FIELDS);
        return kExitNothing;
    }
    ExportChoices choices;
    if (!CheckDestination(options.csv, IDS_CHOOSE_DESTINATION, choices.exportPath)) return kExitNothing;
    std::string logPath = defaultLogPath;
    if (options.logGiven && !CheckDestination(options.log, IDS_CMD_CHOOSE_LOG, logPath)) return kExitNothing;

    char notesPath[notes::MAXPATH];
    if (!LocateDatabase(options.serverGiven ? options.server : std::string(), sourcePath, notesPath)) {
        return kExitNothing;
    }
    choices.dbPath = notesPath;
    if (!ChooseFormAndFields(notesPath, options, choices)) return kExitNothing;

    const ExportOutcome outcome = RunExportStage(choices, logPath, options.text);
    if (outcome.fileCreated) g_console.Print(ExportTotalsText(outcome.totals));
    if (outcome.totals.refusedLines != 0) {
        AppMessageBox(IncompleteExportText(outcome.totals.refusedLines));
    } else if (!outcome.stopped) {
        AppMessageBox(IDS_EXPORT_FINISHED);
    }
    return ExitStatusOf(outcome);
}
