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

// The source dialog's checks of what names the database: 0, or the message of the first
// one it fails.
unsigned CheckSource(const CommandLineOptions& options, std::string& path) {
    path = options.db;
    if (options.serverGiven) {
        if (options.server.empty()) return IDS_ENTER_SERVER_NAME;
        if (path.empty()) return IDS_ENTER_DB_PATH;
        return 0;
    }
    TrimLeadingSpaces(path);
    if (path.empty()) return IDS_ENTER_DB_PATH;
    return PathFault(path);
}

// The destination page's checks, for the CSV file and the log alike.
unsigned CheckDestination(const std::string& given, UINT emptyMessageId, std::string& path) {
    path = given;
    TrimLeadingSpaces(path);
    if (path.empty()) return emptyMessageId;
    return PathFault(path);
}

// Shows why an input was refused; the run ends with the status that says whose fault it is.
int Refused(unsigned messageId) {
    AppMessageBox(messageId);
    return StatusOfRefusal(messageId);
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

// True when two item names differ at most in the case of their ASCII letters, as Notes compares
// them: the second byte of a double-byte character is compared as it is.
bool SameItemName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsNativeLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The field of the form that `name` names, as the form spells it: Notes finds an item
// whatever the letter case of its name, so a batch file need not match it. Empty when none.
std::string FindField(const std::vector<std::string>& fields, const std::string& name) {
    for (const std::string& field : fields) {
        if (field == name) return field;
    }
    for (const std::string& field : fields) {
        if (SameItemName(field, name)) return field;
    }
    return {};
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
    choices.fieldNames.clear();
    for (const std::string& name : options.fields) {
        const std::string field = FindField(listed, name);
        if (field.empty()) {
            AppMessageBox(ResStringWith(IDS_CMD_FIELD_NOT_FOUND, name));
            return false;
        }
        choices.fieldNames.push_back(field);
    }
    return true;
}

// The notes.ini of /ini, before Notes reads it: a path by the rules of every path typed
// (read-only is fine: it is only read), and a file that is there.
bool CheckIni(const std::string& path, int& exitStatus) {
    const unsigned fault = PathFault(path);
    if (fault != 0 && fault != IDS_PATH_READONLY && fault != IDS_PATH_FOLDER) {
        exitStatus = Refused(fault);
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        AppMessageBox(ResStringWith(IDS_CMD_INI_NOT_FOUND, path));
        exitStatus = kExitNothing;
        return false;
    }
    return true;
}

void PrintWarnings(int levelId, const std::string& text) {
    if (levelId == LEVEL_WARNING) g_console.Print(text);
}

}  // namespace

bool PrepareUnattendedRun(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                          int& exitStatus) {
    // Nobody may be there to answer a box of Windows' own (a drive not ready, a crash): the
    // run fails with its status instead of waiting for ever.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
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
        exitStatus = kExitBadArgument;
        return false;
    }
    if (options.usage) {
        g_console.Print(ResString(IDS_CMD_USAGE));
        exitStatus = kExitWhole;
        return false;
    }
    if (options.iniGiven && !CheckIni(options.ini, exitStatus)) return false;
    return true;
}

int RunCommandLineJob(const CommandLineOptions& options, const std::string& defaultLogPath) {
    std::string sourcePath;
    if (const unsigned fault = CheckSource(options, sourcePath)) return Refused(fault);
    if (options.form.empty()) return Refused(IDS_CHOOSE_FORM);
    if (options.fieldsGiven &&
        std::find(options.fields.begin(), options.fields.end(), std::string()) != options.fields.end()) {
        return Refused(IDS_CHOOSE_FIELDS);
    }
    ExportChoices choices;
    if (const unsigned fault = CheckDestination(options.csv, IDS_CHOOSE_DESTINATION, choices.exportPath)) {
        return Refused(fault);
    }
    std::string logPath = defaultLogPath;
    if (options.logGiven) {
        if (const unsigned fault = CheckDestination(options.log, IDS_CMD_CHOOSE_LOG, logPath))
            return Refused(fault);
    }

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
