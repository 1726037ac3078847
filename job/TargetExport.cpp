#include "job/TargetExport.h"

#include "export/CsvFile.h"
#include "framework/ResourceString.h"
#include "job/AttachmentFolder.h"
#include "job/ExitStatus.h"
#include "job/ExportContext.h"
#include "job/OutputMessages.h"
#include "job/PartialFile.h"
#include "job/PathCheck.h"
#include "job/RunLock.h"
#include "log/FileError.h"
#include "log/SysLog.h"
#include "res/resource.h"

#include <windows.h>

namespace {

// A line that ends the run: on the standard error, and in the log as a warning.
void Closing(CExportContext& context, CTextOutput& output, const std::string& text) {
    output.PrintClosing(text);
    context.log.Write(LEVEL_WARNING, text);
}

void TakeBack(ExportTotals& totals, size_t removed) {
    totals.attachmentsWritten -= removed;
    totals.attachmentsNotWritten += removed;
}

// After the stage: a run that went through (`status` 0 or 1) puts its file in the target's
// place; any other leaves the earlier file as it was and its partial file beside it, both
// named on the output and in the log. A partial file the stage never wrote is removed. The
// attachments it takes back are no longer counted as written in `totals`: only what stands
// when the run ends is.
int SettleFiles(CExportContext& context, CTextOutput& output, const ExportOutcome& outcome, int status,
                const std::string& partial, const std::string& target, ExportTotals& totals) {
    context.file.Release();
    if (!outcome.fileCreated) {
        DeleteFileA(partial.c_str());
        TakeBack(totals, DiscardStagedFiles(outcome.stagedAttachments, outcome.attachmentFolders));
        return status;
    }
    if (status == kExitWhole || status == kExitWarnings) {
        // The attachments first: the CSV file that names them takes its place only once they
        // stand in theirs.
        std::string failed;
        int cause = SettleStagedFiles(outcome.stagedAttachments, failed);
        if (cause == kFileErrNone) cause = ReplaceTarget(partial, target);
        if (cause == kFileErrNone) return status;
        Closing(context, output, (failed.empty() ? target : failed) + FileErrorCauseText(cause));
        status = kExitIncomplete;
    }
    Closing(context, output, "Partial CSV file kept: " + partial);
    Closing(context, output, "CSV file left as it was: " + target);
    const size_t removed = DiscardStagedFiles(outcome.stagedAttachments, outcome.attachmentFolders);
    TakeBack(totals, removed);
    if (removed != 0)
        Closing(context, output,
                "Attachments left as they were: " + std::to_string(removed) + " files of this run removed");
    return status;
}

}  // namespace

bool Refused(CMessageSink& messages, unsigned messageId, int& exitStatus) {
    if (messageId == 0) return false;
    messages.Message(ResString(messageId));
    exitStatus = StatusOfRefusal(messageId);
    return true;
}

int ExportToTarget(const UnattendedRun& run, ExportChoices choices, const std::string& logPath,
                   CTextOutput& early, CTextOutput& output, ExportTotals& totals) {
    // The file is written under its partial name and takes the target's place at the end;
    // what stands in the way of either, or of the log, ends the run before the first document.
    COutputMessages messages(early);
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
    COutputMessages stageMessages(output);
    // Both are this run's alone, so each is opened once and written a line at a time, as
    // the wizard writes its own; a reader may follow the log meanwhile.
    CSysLog log;
    log.m_hold = true;
    CCsvFile file;
    file.m_hold = true;
    CExportContext context(log, file, stageMessages, [&run, &output] { return run.makeProgress(output); });
    context.stop = run.stop;
    context.signatures = SignatureStep::kVerify;
    const ExportOutcome outcome = RunExportStage(context, choices, logPath, run.commandLine);
    totals = outcome.totals;
    if (outcome.fileReached) output.Print(ExportTotalsText(outcome.totals));
    const int status = SettleFiles(context, output, outcome, ExitStatusOf(outcome), partial, target, totals);
    if (outcome.fileReached && !choices.attachmentFolder.empty()) output.Print(AttachmentTotalsText(totals));
    const std::string completion = CompletionText(outcome);
    // A file that could not take the target's place is not "finished".
    if (!completion.empty() && (outcome.totals.refusedLines != 0 || status <= kExitWarnings))
        stageMessages.Message(completion);
    return status;
}
