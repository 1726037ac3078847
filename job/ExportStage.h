#pragma once
// The export itself, the last stage of a job: the log from its banner, the database opened,
// the CSV file written and the database closed. The wizard's job and the unattended run
// both end in it, so that the same choices give the same log and the same file.

#include "job/DocumentExport.h"
#include "job/ExportContext.h"
#include "job/ExportTotals.h"

#include <string>
#include <vector>

// What the user chose, by the wizard or on the command line.
struct ExportChoices {
    std::string dbPath;  // LMBCS, as the Notes API opens it
    std::string formName;
    std::vector<std::string> fieldNames;  // the CSV column order
    std::string exportPath;
    FormlessDocuments formless = FormlessDocuments::kWritten;
    // With kFirstForm: why the default form the library names could not be had; empty when
    // the database has none.
    std::string defaultFormUnread;
    // The log goes on after what an earlier export of the same run wrote into it (one log
    // for a database's forms) instead of starting empty.
    bool continueLog = false;
    // Where the attached files of the exported documents go (a full path, the folder made
    // already), and how the CSV's last column names that folder ("" or ending in '\').
    // Empty: no attachments, and no column for them.
    std::string attachmentFolder;
    std::string attachmentCellPrefix;
    // The lossless format (UTF-8, RFC 4180, values whole, each document's identity first)
    // instead of the fixed one.
    bool lossless = false;
};

// How the stage ended.
struct ExportOutcome {
    ExportTotals totals;
    bool stopped = false;      // a Notes error or a stop request ended it; the reason has been told
    bool fileReached = false;  // the stage came to the CSV file: its totals count lines of it
    bool fileCreated = false;  // and created it (a file that could not be created is not there)
    // The attached files written under their partial names, for the run to put in place or
    // take back, and the note folders made for them.
    std::vector<StagedFile> stagedAttachments;
    std::vector<std::string> attachmentFolders;
};

// Creates (or empties, unless `keep`) the log of a job at `path` and writes its opening lines: the banner,
// then a non-empty `commandLine`. False when the log could not be created; the log's sink has
// been told once.
bool StartJobLog(CSysLog& log, const std::string& path, const std::string& commandLine, bool keep = false);

// Runs the stage in `context`, with its log created at `logPath`. A non-empty `commandLine`
// is recorded in the log after the banner.
ExportOutcome RunExportStage(CExportContext& context, const ExportChoices& choices,
                             const std::string& logPath, const std::string& commandLine = "");

// The warning of an export whose file did not take every line, with how many it did not.
std::string IncompleteExportText(size_t refusedLines);

// The message that closes a job: the warning of lines the file did not take, else the
// completion message of a run no Notes error stopped; empty for a stopped run, which has
// told its Notes error.
std::string CompletionText(const ExportOutcome& outcome);
