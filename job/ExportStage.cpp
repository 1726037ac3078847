#include "job/ExportStage.h"

#include "framework/ResourceString.h"
#include "job/DocumentExport.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"

#include <cstdio>
#include <map>

namespace {

constexpr char kCommandLineText[] = "Command line: ";

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

// A Notes error stopped the export: the log says so after the Notes text, with what had been
// written by then, so that a partial CSV file is never taken for a whole one. A run that had
// finished wrote its count already, and its file is whole.
void LogStoppedExport(CExportContext& context, const CNsfError& error, const ExportTotals& totals,
                      bool fileCreated) {
    context.log.Write(LEVEL_ERROR, "Notes error: " + error.m_message);
    if (totals.finished) return;
    context.LogTotals(totals);
    context.Warn(fileCreated ? "Export stopped: the CSV file is incomplete"
                             : "Export stopped: no CSV file was written");
}

}  // namespace

std::string IncompleteExportText(size_t refusedLines) {
    const std::string format = ResString(IDS_EXPORT_INCOMPLETE);
    std::vector<char> text(format.size() + 32, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), static_cast<unsigned long>(refusedLines));
    return text.data();
}

std::string CompletionText(const ExportOutcome& outcome) {
    if (outcome.totals.refusedLines != 0) return IncompleteExportText(outcome.totals.refusedLines);
    if (!outcome.stopped) return ResString(IDS_EXPORT_FINISHED);
    return {};
}

bool StartJobLog(CSysLog& log, const std::string& path, const std::string& commandLine, bool keep) {
    const bool created = log.Create(path.c_str(), keep);
    log.WriteBanner();
    if (!commandLine.empty()) log.Write(LEVEL_INFO, kCommandLineText + commandLine);
    return created;
}

ExportOutcome RunExportStage(CExportContext& context, const ExportChoices& choices,
                             const std::string& logPath, const std::string& commandLine) {
    CSysLog& log = context.log;
    StartJobLog(log, logPath, commandLine, choices.continueLog);

    ExportOutcome outcome;
    CAttachmentWriter attachments(choices.attachmentFolder, choices.attachmentCellPrefix);
    if (!choices.attachmentFolder.empty()) context.attachments = &attachments;
    CNsfDatabase db;
    db.m_log = &log;
    try {
        log.Write(LEVEL_COMMAND, "Open Notes DataBase");
        log.Write(LEVEL_DEBUG, "DB Path=" + choices.dbPath);
        db.Open(choices.dbPath.c_str());
        log.Write(LEVEL_RESULT, "Open Command is success.");

        outcome.fileReached = true;
        context.file.m_lossless = choices.lossless;
        outcome.fileCreated = context.file.Create(choices.exportPath);
        db.ListFields(choices.formName);
        NarrowFields(db, choices.fieldNames);

        log.Write(LEVEL_COMMAND, "Write All Document By Form");
        log.Write(LEVEL_DEBUG, "Form Name=" + choices.formName);
        ExportDocuments(context, db, choices.formName, outcome.totals, choices.formless,
                        choices.defaultFormUnread);
        log.Write(LEVEL_RESULT, "Write All Document By Form is success.");

        log.Write(LEVEL_COMMAND, "Close Notes DataBase");
        db.Close();
        log.Write(LEVEL_RESULT, "Close Notes DataBase is success.");
    } catch (const CNsfError& error) {
        LogStoppedExport(context, error, outcome.totals, outcome.fileCreated);
        context.messages.Message(error.m_message);
        CloseQuietly(db);
        outcome.stopped = true;
        context.attachments = nullptr;
        outcome.stagedAttachments = attachments.Staged();
        outcome.attachmentFolders = attachments.MadeFolders();
        return outcome;
    }

    // A run asked to stop closed the database as every run does, and ends as a stopped one.
    if (outcome.totals.stopRequested) outcome.stopped = true;
    if (outcome.totals.refusedLines != 0) {
        context.Warn("Export file incomplete: Lines not written = " +
                     std::to_string(outcome.totals.refusedLines));
    }
    context.attachments = nullptr;
    outcome.stagedAttachments = attachments.Staged();
    outcome.attachmentFolders = attachments.MadeFolders();
    return outcome;
}
