#include "cli/CommandLineJob.h"

#include "cli/ConsoleMessages.h"
#include "cli/ConsoleProgress.h"
#include "export/CsvFile.h"
#include "export/FormMatch.h"
#include "framework/ResourceString.h"
#include "job/DatabaseLocator.h"
#include "job/ExitStatus.h"
#include "job/ExportContext.h"
#include "job/ExportStage.h"
#include "job/InputChecks.h"
#include "log/SysLog.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

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
bool ChooseFormAndFields(CMessageSink& messages, const char* dbPath, const CommandLineOptions& options,
                         ExportChoices& choices) {
    CNsfDatabase db;
    try {
        db.Open(dbPath);
        db.ListForms();
        choices.formName = FindForm(db.m_forms, options.form);
        if (choices.formName.empty()) {
            CloseQuietly(db);
            messages.Message(ResStringWith(IDS_CMD_FORM_NOT_FOUND, options.form));
            return false;
        }
        db.ListFields(choices.formName);
        db.Close();
    } catch (const CNsfError& error) {
        messages.Message(error.m_message);
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
            messages.Message(ResStringWith(IDS_CMD_FIELD_NOT_FOUND, name));
            return false;
        }
    }
    choices.fieldNames = options.fields;
    return true;
}

// Tells the message of a failed check; true when there was one.
bool Refused(CMessageSink& messages, unsigned messageId) {
    if (messageId == 0) return false;
    messages.Message(ResString(messageId));
    return true;
}

}  // namespace

bool ReadCommandLine(const std::vector<std::wstring>& arguments, CTextOutput& output,
                     CommandLineOptions& options, int& exitStatus) {
    std::string message;
    if (!ParseCommandLine(arguments, options, message)) {
        output.Print(message);
        exitStatus = kExitNothing;
        return false;
    }
    if (options.usage) {
        output.Print(ResString(IDS_CMD_USAGE));
        exitStatus = kExitWhole;
        return false;
    }
    return true;
}

int RunCommandLineJob(const CommandLineOptions& options, const std::string& defaultLogPath,
                      CTextOutput& output) {
    CConsoleMessages messages(output);
    std::string sourcePath = options.db;
    if (Refused(messages, CheckSource(options.serverGiven, options.server, sourcePath))) return kExitNothing;
    if (options.form.empty()) {
        messages.Message(ResString(IDS_CHOOSE_FORM));
        return kExitNothing;
    }
    if (options.fieldsGiven &&
        std::find(options.fields.begin(), options.fields.end(), std::string()) != options.fields.end()) {
        messages.Message(ResString(IDS_CHOOSE_FIELDS));
        return kExitNothing;
    }
    ExportChoices choices;
    choices.exportPath = options.csv;
    if (Refused(messages, CheckDestination(choices.exportPath, IDS_CHOOSE_DESTINATION))) return kExitNothing;
    std::string logPath = options.logGiven ? options.log : defaultLogPath;
    if (options.logGiven && Refused(messages, CheckDestination(logPath, IDS_CMD_CHOOSE_LOG)))
        return kExitNothing;

    char notesPath[notes::MAXPATH];
    if (!LocateDatabase(messages, options.serverGiven ? options.server : std::string(), sourcePath,
                        notesPath)) {
        return kExitNothing;
    }
    choices.dbPath = notesPath;
    if (!ChooseFormAndFields(messages, notesPath, options, choices)) return kExitNothing;

    // A log and a file of the job's own: nothing of the wizard's is touched.
    CSysLog log;
    CCsvFile file;
    CExportContext context(log, file, messages,
                           [&output] { return std::make_unique<CConsoleProgress>(output); });
    const ExportOutcome outcome = RunExportStage(context, choices, logPath, options.text);
    if (outcome.fileReached) output.Print(ExportTotalsText(outcome.totals));
    const std::string completion = CompletionText(outcome);
    if (!completion.empty()) messages.Message(completion);
    return ExitStatusOf(outcome);
}
