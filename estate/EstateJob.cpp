#include "estate/EstateJob.h"

#include "attachments/SafeName.h"
#include "estate/DatabaseList.h"
#include "estate/FormCatalogue.h"
#include "estate/FormExport.h"
#include "estate/SummaryFile.h"
#include "export/FormMatch.h"
#include "framework/ResourceString.h"
#include "job/AttachmentFolder.h"
#include "job/DatabaseLocator.h"
#include "job/ExitStatus.h"
#include "job/FormChoice.h"
#include "job/OutputMessages.h"
#include "job/PartialFile.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "job/RunLock.h"
#include "job/RunLog.h"
#include "job/TargetExport.h"
#include "log/FileError.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr char kAllForms[] = "*";
constexpr char kSummaryName[] = "summary.csv";
constexpr char kCsvExtension[] = ".csv";
constexpr char kDatabaseExtension[] = ".nsf";
// A name made from a database holds at most this much, so that DIR\<database>\<form>.csv
// stays well inside a path's 260 bytes for any DIR a user types.
constexpr size_t kNameBytes = 64;

// Prints as `output` does and keeps the first message that ended or troubled the export.
class CFirstMessage : public CTextOutput {
public:
    explicit CFirstMessage(CTextOutput& output) : m_output(output) {}
    void Print(const std::string& text) override { m_output.Print(text); }
    void PrintClosing(const std::string& text) override {
        if (first.empty()) first = text.substr(0, text.find('\n'));
        m_output.PrintClosing(text);
    }
    void ShowProgress(const std::string& text) override { m_output.ShowProgress(text); }
    void EndProgress() override { m_output.EndProgress(); }

    std::string first;

private:
    CTextOutput& m_output;
};

// The form's name as Notes menus show it: its title up to the first synonym, split by
// character as the form match splits it.
std::string FirstSynonym(const std::string& title) {
    const std::string name = FormSynonyms(title).front();
    const size_t first = name.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : name.substr(first, name.find_last_not_of(' ') - first + 1);
}

// The database's log, named after its folder: "sales.nsf" keeps "sales.log" beside its CSV
// files, which all end in ".csv".
std::string LogNameOf(const std::string& folderName) {
    return LogPathNamedAfter(folderName, kDatabaseExtension);
}

// The form whose file takes the documents without a Form item: the default form, else the
// first form whose fields could be read.
const FormFields* FormlessHome(const std::vector<FormFields>& catalogue) {
    const FormFields* first = nullptr;
    for (const FormFields& form : catalogue) {
        if (!form.error.empty()) continue;
        if (form.isDefault) return &form;
        if (first == nullptr) first = &form;
    }
    return first;
}

// Why the documents without a Form item do not go with the default form although the library
// names one: its fields, or the form itself, could not be read. Empty when there is none.
std::string DefaultFormUnread(const std::vector<FormFields>& catalogue, const std::string& unread) {
    for (const FormFields& form : catalogue) {
        if (form.isDefault && !form.error.empty()) return form.form + ": " + form.error;
    }
    return unread;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The switches an estate cannot run with, or 0.
unsigned RefusedSwitch(const CommandLineOptions& options, std::string& which) {
    if (options.db.empty()) return IDS_ENTER_DB_PATH;
    if (options.form.empty()) return IDS_CHOOSE_FORM;
    if (options.out.empty()) return IDS_CMD_CHOOSE_OUT;
    if (!options.csv.empty() || options.logGiven) {
        which = options.csv.empty() ? "/log" : "/csv";
        return IDS_CMD_NOT_WITH_OUT;
    }
    // An empty name is no value, as in a run of one database; the refusal names the switch.
    if (options.attachmentsGiven && options.attachments.empty()) {
        which = "/attachments";
        return IDS_CMD_NO_VALUE;
    }
    // Each database's attachments go into a folder of its own folder: a path of its own, or one
    // that climbs out ("..\\x"), would put the notes of every database into one folder, where
    // their ids meet.
    if (options.attachmentsGiven && !IsPlainFolderName(options.attachments)) {
        which = options.attachments;
        return IDS_CMD_ATTACHMENTS_RELATIVE;
    }
    return 0;
}

struct Estate {
    const CommandLineOptions& options;
    const UnattendedRun& run;
    CTextOutput& output;
    CSummaryFile summary;
    std::vector<SummaryRow> rows;
    int worst = kExitWhole;

    void Record(SummaryRow row) {
        // A row names only a file that is there: an export that ended before it wrote one has
        // none, whatever the name it was given.
        if (!row.csv.empty() && GetFileAttributesA(row.csv.c_str()) == INVALID_FILE_ATTRIBUTES)
            row.csv.clear();
        worst = std::max(worst, row.status);
        summary.Append(row);
        rows.push_back(std::move(row));
    }

    // Writes what ended a database's or a form's export into the database's log: the first
    // such text empties it, as an export does; later ones, and exports, go on after it.
    void LogEnd(const std::string& logPath, bool& logStarted, const std::string& printed) {
        LogEndInto(logPath, run.commandLine, printed, logStarted);
        logStarted = true;
    }

    void ExportDatabase(const std::string& name, const std::string& server, const std::string& path,
                        const std::string& folder, const std::string& logPath, ExportTotals& totals) {
        bool logStarted = false;
        CLoggedOutput logged(output);
        CFirstMessage kept(logged);
        COutputMessages messages(kept);
        char notesPath[notes::MAXPATH];
        std::vector<FormFields> catalogue;
        std::string defaultUnread;
        if (!NotesPathOf(messages, server, path, notesPath) ||
            !ReadFormCatalogue(messages, notesPath, catalogue, options.form == kAllForms ? "" : options.form,
                               &defaultUnread)) {
            LogEnd(logPath, logStarted, logged.Printed());
            Record({name, {}, {}, {}, kExitNothing, kept.first});
            return;
        }
        std::vector<std::string> titles;
        for (const FormFields& form : catalogue) titles.push_back(form.form);
        std::vector<const FormFields*> chosen;
        const bool allForms = options.form == kAllForms;
        if (allForms) {
            for (const FormFields& form : catalogue) chosen.push_back(&form);
        } else {
            const std::string title = FindForm(titles, options.form);
            for (const FormFields& form : catalogue) {
                if (!title.empty() && form.form == title) chosen.push_back(&form);
            }
            if (chosen.empty()) {
                messages.Message(ResStringWith(IDS_CMD_FORM_NOT_FOUND, options.form));
                LogEnd(logPath, logStarted, logged.Printed());
                Record({name, options.form, {}, {}, kExitNothing, kept.first});
                return;
            }
        }
        // Every form's file would hold the documents without a Form item: only one does.
        const FormFields* formlessHome = allForms ? FormlessHome(catalogue) : nullptr;
        CNameBook files(kPartialTag);
        for (const FormFields* form : chosen) {
            if (run.StopRequested()) return;
            CLoggedOutput formLogged(output);
            CFirstMessage formKept(formLogged);
            if (form->unnamed) {
                // Nothing of the environment failed: the design holds an entry no document names.
                formKept.Print(name + ": " + form->form + ": " + form->error);
                LogEnd(logPath, logStarted, formLogged.Printed());
                Record({name, form->form, {}, {}, kExitWarnings, form->error});
                continue;
            }
            if (!form->error.empty()) {
                formKept.PrintClosing(name + ": " + form->form + ": " + form->error);
                LogEnd(logPath, logStarted, formLogged.Printed());
                Record({name, form->form, {}, {}, kExitNothing, form->error});
                continue;
            }
            ExportChoices choices;
            choices.dbPath = notesPath;
            choices.formName = form->form;
            choices.lossless = options.lossless;
            if (allForms) {
                choices.formless = form != formlessHome ? FormlessDocuments::kElsewhere
                                   : form->isDefault    ? FormlessDocuments::kDefaultForm
                                                        : FormlessDocuments::kFirstForm;
                if (choices.formless == FormlessDocuments::kFirstForm)
                    choices.defaultFormUnread = DefaultFormUnread(catalogue, defaultUnread);
            }
            if (!ChooseFields(*form, options.fields, formKept, choices.fieldNames)) {
                LogEnd(logPath, logStarted, formLogged.Printed());
                Record({name, form->form, {}, {}, kExitNothing, formKept.first});
                continue;
            }
            const std::string csvName =
                files.Claim(SafeName(FirstSynonym(form->form), kNameBytes, IsNativeLeadByte), kCsvExtension);
            choices.exportPath = folder + "\\" + csvName;
            choices.continueLog = logStarted;
            if (options.attachmentsGiven) {
                if (const unsigned fault =
                        PlaceAttachments(options.attachments, choices.exportPath, choices)) {
                    formKept.PrintClosing(ResString(fault));
                    LogEnd(logPath, logStarted, formLogged.Printed());
                    Record({name, form->form, {}, {}, StatusOfRefusal(fault), formKept.first});
                    continue;
                }
            }
            ExportTotals formTotals;
            // What ends the export before its stage has a log is logged as it is printed.
            CLoggedOutput early(formKept);
            const int status = ExportToTarget(run, choices, logPath, early, formKept, formTotals);
            if (!early.Printed().empty()) LogEnd(logPath, logStarted, early.Printed());
            logStarted = true;
            totals += formTotals;
            // A stopped export's lines are in its partial file, which its row names instead.
            const std::string partial = PartialPathOf(choices.exportPath);
            const bool keptPartial = GetFileAttributesA(partial.c_str()) != INVALID_FILE_ATTRIBUTES;
            // A run that went through ends with its completion message, which is no error.
            Record({name, form->form, keptPartial ? partial : choices.exportPath, formTotals, status,
                    status >= kExitIncomplete ? formKept.first : std::string()});
        }
    }
};

}  // namespace

bool IsEstateRun(const CommandLineOptions& options) {
    return !options.out.empty() || options.form == kAllForms ||
           NamesSeveralDatabases(ServerOf(options), options.db);
}

int RunEstateJob(const CommandLineOptions& options, const UnattendedRun& run, CTextOutput& output,
                 ExportTotals& totals) {
    std::string which;
    if (const unsigned refusal = RefusedSwitch(options, which)) {
        output.PrintClosing(which.empty() ? ResString(refusal) : ResStringWith(refusal, which));
        return StatusOfRefusal(refusal);
    }
    // The folder: a path by the rules of every path typed, that is a folder or can be made one.
    const unsigned fault = CheckPath(options.out);
    if (fault != 0 && fault != IDS_PATH_FOLDER) {
        output.PrintClosing(ResString(fault == IDS_PATH_READONLY ? IDS_CMD_CHOOSE_OUT : fault));
        return fault == IDS_PATH_READONLY ? kExitNothing : StatusOfRefusal(fault);
    }
    // One run at a time writes into a folder: a second one would interleave its rows with the
    // first's in one summary and settle files the first is writing.
    CRunLock outLock;
    if (!outLock.Take(options.out, ThisRunText())) {
        output.PrintClosing(ResStringWith(
            IDS_CMD_OUT_IN_USE,
            outLock.Holder().empty() ? options.out : options.out + " (" + outLock.Holder() + ")"));
        return kExitNothing;
    }
    if (!MakeFolder(options.out)) {
        output.PrintClosing(options.out + FileErrorCauseText(FileErrorCauseFromOsError(GetLastError())));
        return kExitNothing;
    }
    std::vector<DatabaseSource> sources;
    std::string message;
    // The run's own folder is left out of the walk: what an earlier run wrote there (an
    // attachment named sales.nsf) is no database of the estate.
    if (!ExpandDatabases(ServerOf(options), options.db, options.subfolders, sources, message, options.out)) {
        output.PrintClosing(message);
        return kExitNothing;
    }
    Estate estate{options, run, output, {}, {}, kExitWhole};
    const std::string summaryPath = options.out + "\\" + kSummaryName;
    const std::string summaryPartial = PartialPathOf(summaryPath);
    COutputMessages summaryMessages(output);
    if (!estate.summary.Create(summaryPartial, summaryMessages, options.attachmentsGiven, options.lossless))
        return kExitNothing;

    CNameBook folders;
    // A database file called summary.csv gets a folder of another name than the summary's.
    folders.Claim(kSummaryName, "");
    folders.Reserve(PartialPathOf(kSummaryName));
    for (DatabaseSource& source : sources) {
        if (run.StopRequested()) break;
        // What the list could not take in has its row, so that nothing is passed by in silence.
        if (!source.problem.empty()) {
            if (source.problemStatus >= kExitNothing) {
                output.PrintClosing(source.problem);
            } else {
                output.Print(source.problem);
            }
            estate.Record({DatabaseName(source), {}, {}, {}, source.problemStatus, source.problem});
            continue;
        }
        if (source.server.empty() && options.serverGiven) source.server = options.server;
        const std::string name = DatabaseName(source);
        const std::string folderName = folders.Claim(
            SafeName(LastPart(source.path, IsNativeLeadByte), kNameBytes, IsNativeLeadByte), "");
        const std::string folder = options.out + "\\" + folderName;
        if (!MakeFolder(folder)) {
            CFirstMessage kept(output);
            kept.PrintClosing(folder + FileErrorCauseText(FileErrorCauseFromOsError(GetLastError())));
            estate.Record({name, {}, {}, {}, kExitNothing, kept.first});
            continue;
        }
        estate.ExportDatabase(name, source.server, source.path, folder, folder + "\\" + LogNameOf(folderName),
                              totals);
    }
    const bool stopped = run.StopRequested();
    if (stopped) estate.worst = std::max(estate.worst, static_cast<int>(kExitIncomplete));
    // The table again in short, after everything the exports printed.
    for (const SummaryRow& row : estate.rows) {
        output.Print(std::to_string(row.status) + "  " + std::to_string(row.totals.written) + "  " +
                     (row.csv.empty() ? row.database + (row.form.empty() ? "" : " " + row.form) : row.csv));
    }
    if (!stopped) {
        const int cause = ReplaceTarget(summaryPartial, summaryPath);
        if (cause != kFileErrNone) {
            output.PrintClosing(summaryPath + FileErrorCauseText(cause));
            estate.worst = std::max(estate.worst, static_cast<int>(kExitIncomplete));
        }
    }
    return estate.worst;
}
