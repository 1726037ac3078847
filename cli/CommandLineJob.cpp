#include "cli/CommandLineJob.h"

#include "cli/CommandLineLog.h"
#include "estate/FormExport.h"
#include "framework/ResourceString.h"
#include "job/AttachmentFolder.h"
#include "job/DatabaseLocator.h"
#include "job/ExitStatus.h"
#include "job/InputChecks.h"
#include "job/OutputMessages.h"
#include "job/PathCheck.h"
#include "job/RunLog.h"
#include "job/TargetExport.h"
#include "notes/NotesApi.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>

namespace {

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

// The checks and look-ups of the windows, then the export stage. What ends the run before
// the stage is printed on `early`; the stage and its closing lines print on `output`.
int PrepareAndRun(const CommandLineOptions& options, const UnattendedRun& run, CTextOutput& early,
                  CTextOutput& output, ExportTotals& totals) {
    COutputMessages messages(early);
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
    choices.lossless = options.lossless;
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
    return ExportOneForm(run, options.form, options.fields, choices, logPath, early, output, totals);
}

}  // namespace

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

int RunCommandLineJob(const CommandLineOptions& options, const UnattendedRun& run, CTextOutput& output,
                      ExportTotals& totals) {
    // Until the export stage has a log of its own, what ends the run is logged as it is printed.
    CLoggedOutput logged(output);
    const int status = PrepareAndRun(options, run, logged, output, totals);
    if (!logged.Printed().empty()) LogEarlyEnd(options, logged.Printed());
    return status;
}
