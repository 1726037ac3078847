#include "cli/CommandLineJob.h"

#include "cli/AttachmentFolder.h"
#include "cli/CommandLineLog.h"
#include "cli/FormChoice.h"
#include "cli/ConsoleMessages.h"
#include "cli/ConsoleProgress.h"
#include "cli/ConsoleStop.h"
#include "cli/PartialFile.h"
#include "cli/RunLock.h"
#include "export/CsvFile.h"
#include "export/FormMatch.h"
#include "framework/ResourceString.h"
#include "job/DatabaseLocator.h"
#include "job/ExitStatus.h"
#include "job/ExportContext.h"
#include "job/ExportStage.h"
#include "job/InputChecks.h"
#include "job/PathCheck.h"
#include "log/FileError.h"
#include "log/SysLog.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

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
    choices.fieldNames.clear();
    for (const std::string& name : options.fields) {
        const std::string field = FindField(listed, name);
        if (field.empty()) {
            messages.Message(ResStringWith(IDS_CMD_FIELD_NOT_FOUND, name));
            return false;
        }
        choices.fieldNames.push_back(field);
    }
    return true;
}

// Tells the message of a failed check (`messageId`, 0 when it passed); true when there was
// one, `exitStatus` then saying whose fault it is: the command line's own text, or the
// machine it met.
bool Refused(CMessageSink& messages, unsigned messageId, int& exitStatus) {
    if (messageId == 0) return false;
    messages.Message(ResString(messageId));
    exitStatus = StatusOfRefusal(messageId);
    return true;
}

// The notes.ini of /ini, before Notes reads it: a path by the rules of every path typed
// (read-only is fine: it is only read), and a file that is there.
bool CheckIni(const std::string& path, CTextOutput& output, int& exitStatus) {
    const unsigned fault = CheckPath(path);
    if (fault != 0 && fault != IDS_PATH_READONLY && fault != IDS_PATH_FOLDER) {
        output.PrintClosing(ResString(fault));
        exitStatus = StatusOfRefusal(fault);
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        output.PrintClosing(ResStringWith(IDS_CMD_INI_NOT_FOUND, path));
        exitStatus = kExitNothing;
        return false;
    }
    return true;
}

// A line that ends the run: on the standard error, and in the log as a warning.
void Closing(CExportContext& context, CTextOutput& output, const std::string& text) {
    output.PrintClosing(text);
    context.log.Write(LEVEL_WARNING, text);
}

// After the stage: a run that went through (`status` 0 or 1) puts its file in the target's
// place; any other leaves the earlier file as it was and its partial file beside it, both
// named on the output and in the log. A partial file the stage never wrote is removed.
int SettleFiles(CExportContext& context, CTextOutput& output, const ExportOutcome& outcome, int status,
                const std::string& partial, const std::string& target) {
    context.file.Release();
    if (!outcome.fileCreated) {
        DeleteFileA(partial.c_str());
        return status;
    }
    if (status == kExitWhole || status == kExitWarnings) {
        const int cause = ReplaceTarget(partial, target);
        if (cause == kFileErrNone) return status;
        Closing(context, output, target + FileErrorCauseText(cause));
        status = kExitIncomplete;
    }
    Closing(context, output, "Partial CSV file kept: " + partial);
    Closing(context, output, "CSV file left as it was: " + target);
    return status;
}

// The checks and look-ups of the windows, then the export stage. What ends the run before
// the stage is printed on `early`; the stage and its closing lines print on `output`.
int PrepareAndRun(const CommandLineOptions& options, CTextOutput& early, CTextOutput& output,
                  ExportTotals& totals) {
    CConsoleMessages messages(early);
    int refusal = kExitNothing;
    std::string sourcePath = options.db;
    if (Refused(messages, CheckSource(options.serverGiven, options.server, sourcePath), refusal))
        return refusal;
    if (options.form.empty()) {
        Refused(messages, IDS_CHOOSE_FORM, refusal);
        return refusal;
    }
    if (options.fieldsGiven &&
        std::find(options.fields.begin(), options.fields.end(), std::string()) != options.fields.end()) {
        Refused(messages, IDS_CHOOSE_FIELDS, refusal);
        return refusal;
    }
    ExportChoices choices;
    choices.exportPath = options.csv;
    if (Refused(messages, CheckDestination(choices.exportPath, IDS_CHOOSE_DESTINATION), refusal))
        return refusal;
    if (options.attachmentsGiven) {
        if (options.attachments.empty()) {
            messages.Message(ResStringWith(IDS_CMD_NO_VALUE, "/attachments"));
            return kExitBadArgument;
        }
        if (Refused(messages, PlaceAttachments(options.attachments, choices.exportPath, choices), refusal))
            return refusal;
    }
    // Without /log the log is the CSV file's own, never the wizard's.
    std::string logPath = CommandLineLogPath(options);
    if (Refused(messages, CheckDestination(logPath, IDS_CMD_CHOOSE_LOG), refusal)) return refusal;

    char notesPath[notes::MAXPATH];
    if (!LocateDatabase(messages, options.serverGiven ? options.server : std::string(), sourcePath,
                        notesPath)) {
        return kExitNothing;
    }
    choices.dbPath = notesPath;
    if (!ChooseFormAndFields(messages, notesPath, options, choices)) return kExitNothing;
    // Ctrl+C during Notes' start or the look-ups (a server far away) is heard here.
    if (ConsoleStopRequested()) {
        messages.Message(ResString(IDS_CMD_STOPPED_BEFORE_EXPORT));
        return kExitIncomplete;
    }

    return ExportToTarget(choices, logPath, options.text, early, output, totals);
}

}  // namespace

int ExportToTarget(ExportChoices choices, const std::string& logPath, const std::string& text,
                   CTextOutput& early, CTextOutput& output, ExportTotals& totals) {
    // The file is written under its partial name and takes the target's place at the end;
    // what stands in the way of either, or of the log, ends the run before the first document.
    CConsoleMessages messages(early);
    int refusal = kExitNothing;
    const std::string target = choices.exportPath;
    const std::string partial = PartialPathOf(target);
    if (Refused(messages, CheckPath(partial), refusal)) return refusal;
    // Another run writing the same CSV file or log would write into this run's files, and
    // this run into its.
    CRunLock locks[2];
    const std::string* claimed[2] = {&target, &logPath};
    for (size_t i = 0; i < 2; ++i) {
        if (!locks[i].Take(*claimed[i])) {
            // Not logged: the log may be the other run's.
            output.PrintClosing(ResStringWith(IDS_CMD_FILE_IN_USE, *claimed[i]));
            return kExitNothing;
        }
    }
    if (!choices.attachmentFolder.empty()) {
        const int folderCause = MakeAttachmentFolder(choices.attachmentFolder);
        if (folderCause != kFileErrNone) {
            messages.Message(choices.attachmentFolder + FileErrorCauseText(folderCause));
            return kExitNothing;
        }
    }
    std::string failedPath;
    const int cause = PrepareRunFiles(target, partial, logPath, choices.continueLog, failedPath);
    if (cause != kFileErrNone) {
        messages.Message(failedPath + FileErrorCauseText(cause));
        return kExitNothing;
    }
    choices.exportPath = partial;

    // A log and a file of the job's own: nothing of the wizard's is touched.
    CConsoleMessages stageMessages(output);
    // Both are this run's alone, so each is opened once and written a line at a time, as
    // the wizard writes its own; a reader may follow the log meanwhile.
    CSysLog log;
    log.m_hold = true;
    CCsvFile file;
    file.m_hold = true;
    CExportContext context(log, file, stageMessages,
                           [&output] { return std::make_unique<CConsoleProgress>(output); });
    const ExportOutcome outcome = RunExportStage(context, choices, logPath, text);
    totals = outcome.totals;
    if (outcome.fileReached) {
        output.Print(ExportTotalsText(outcome.totals));
        if (!choices.attachmentFolder.empty()) output.Print(AttachmentTotalsText(outcome.totals));
    }
    const int status = SettleFiles(context, output, outcome, ExitStatusOf(outcome), partial, target);
    const std::string completion = CompletionText(outcome);
    // A file that could not take the target's place is not "finished".
    if (!completion.empty() && (outcome.totals.refusedLines != 0 || status <= kExitWarnings))
        stageMessages.Message(completion);
    return status;
}

bool ReadCommandLine(const std::vector<std::wstring>& arguments, CTextOutput& output,
                     CommandLineOptions& options, int& exitStatus) {
    CLoggedOutput logged(output);
    std::string message;
    if (!ParseCommandLine(arguments, options, message)) {
        logged.PrintClosing(message);
        LogEarlyEnd(options, logged.Printed());
        exitStatus = kExitBadArgument;
        return false;
    }
    if (options.usage) {
        output.Print(ResString(IDS_CMD_USAGE));
        exitStatus = kExitWhole;
        return false;
    }
    if (options.iniGiven && !CheckIni(options.ini, logged, exitStatus)) {
        LogEarlyEnd(options, logged.Printed());
        return false;
    }
    return true;
}

int RunCommandLineJob(const CommandLineOptions& options, CTextOutput& output, ExportTotals& totals) {
    // Until the export stage has a log of its own, what ends the run is logged as it is printed.
    CLoggedOutput logged(output);
    const int status = PrepareAndRun(options, logged, output, totals);
    if (!logged.Printed().empty()) LogEarlyEnd(options, logged.Printed());
    return status;
}
