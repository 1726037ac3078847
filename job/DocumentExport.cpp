#include "job/DocumentExport.h"

#include "export/FormMatch.h"
#include "notes/ItemText.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "notes/BufferSizes.h"
#include "notes/NsfNote.h"
#include "notes/ScopedNotesHandle.h"
#include "framework/ResourceString.h"
#include "res/resource.h"

#include <cstdio>
#include <iterator>
#include <memory>

using notes::Api;
using notes::DHANDLE;
using notes::NOTEID;
using notes::TIMEDATE;

namespace {

constexpr char kFormItem[] = "Form";
constexpr char kOtherFormText[] = "Skip Document: Form=";
constexpr char kFormlessSkippedText[] = "Skip Document: no Form item";
constexpr char kFormlessDefaultText[] = "Documents without a Form item: written with the default form ";
constexpr char kFormlessFirstText[] =
    "Documents without a Form item: the database has no default form; written with its first form ";
constexpr char kFormlessUnreadText[] = "Documents without a Form item: the default form could not be read (";
constexpr char kFormlessUnreadFirstText[] = "); written with the first form ";
constexpr char kConflictItem[] = "$Conflict";
// The lossless format's first columns: who each document is. Notes field names hold no "-",
// so none of these meets a field's column.
constexpr const char* kIdentityColumns[] = {"document-unid", "note-id", "parent-unid", "created", "modified"};
constexpr size_t kIdentityCount = sizeof kIdentityColumns / sizeof kIdentityColumns[0];
constexpr char kLosslessCellBreak[] = "\r\n";

std::string NoteIdText(NOTEID id) {
    char text[32];
    std::snprintf(text, sizeof text, "Note ID = %i", static_cast<int>(static_cast<int32_t>(id)));
    return text;
}

// A note as a warning names it: its id, and the same id as Notes shows it to a user
// (Document Properties, "NT" and eight hexadecimal digits), so that it can be found there.
std::string NoteNameText(NOTEID id) {
    char text[24];
    std::snprintf(text, sizeof text, " (NT%08lX)", static_cast<unsigned long>(id));
    return NoteIdText(id) + text;
}

// A document names the form it was made with in its Form item, read through the same text
// conversion as every value. One made with another form gets no line, only a log line that
// names its form; one without a Form item keeps its line unless another file holds it.
// `form` is the Form item's entry, kept from one document to the next.
bool MadeWithForm(CSysLog& log, CNsfNote& note, FieldEntry& form, const FormMatch& chosen,
                  FormlessDocuments formless) {
    // Compared as stored: a title "A,B" names its documents with the comma.
    note.ReadItemText(form, TextForm::kFixedAsStored);
    if (form.value.empty()) {
        if (formless != FormlessDocuments::kElsewhere) return true;
        log.Write(LEVEL_DEBUG, kFormlessSkippedText);
        return false;
    }
    if (chosen.Names(form.value)) return true;
    log.Write(LEVEL_DEBUG, kOtherFormText + form.value);
    return false;
}

// One cell whose item held characters the native text cannot: the note, the field, how many.
std::string LostCharactersText(NOTEID id, const std::string& field, size_t lost) {
    return NoteNameText(id) + ", Field Name=" + field + ", Characters not written = " + std::to_string(lost);
}

std::string LostTotalText(size_t cells, size_t notes) {
    return "Characters not written: Cells = " + std::to_string(cells) + ", Notes = " + std::to_string(notes);
}

std::string NotReadText(NOTEID id, const CNsfError& error) {
    return NoteNameText(id) + ", Not written: " + error.m_message;
}

std::string SignatureText(NOTEID id, notes::STATUS status, SignatureStep step) {
    const char* what =
        step == SignatureStep::kVerify ? ", Signature not verified: " : ", Signature step failed: ";
    return NoteNameText(id) + what + CNsfError(status).m_message;
}

void WarnSignature(CExportContext& context, NOTEID id, notes::STATUS status, ExportTotals& totals) {
    context.Warn(SignatureText(id, status, context.signatures));
    ++totals.signatureFailures;
}

std::string CutValueText(NOTEID id, const FieldEntry& field) {
    return NoteNameText(id) + ", Value cut: " + field.name + " (" + std::to_string(field.cutLimit) +
           " bytes)";
}

std::string UnjoinedText(NOTEID id, const std::string& field) {
    return NoteNameText(id) + ", Only the first item read: " + field;
}

std::string ConflictText(NOTEID id) { return NoteNameText(id) + ", Conflict"; }

std::string AttachmentFailureText(NOTEID id, const AttachmentFailure& failure) {
    const std::string which =
        failure.name.empty() ? "(the attachments after the last one written)" : failure.name;
    return NoteNameText(id) + ", Attachment not written: " + which + ": " +
           (failure.reason.empty() ? CNsfError(failure.status).m_message : failure.reason);
}

// The lossless format's cell of the files written: their paths one per line, in UTF-8.
std::string LosslessPaths(const std::vector<std::string>& paths) {
    std::string cell;
    for (const std::string& path : paths) {
        if (!cell.empty()) cell += kLosslessCellBreak;
        cell += NativeToUtf8(path);
    }
    return cell;
}

// Writes the document's attached files and tells each that was not written; returns the
// cell that lists those written. A full disk ends the run as a Notes error does: nothing
// written after it would be whole.
std::string WriteAttachments(CExportContext& context, CNsfNote& note, NOTEID id, ExportTotals& totals) {
    const AttachmentResult result = context.attachments->WriteAll(note, id);
    totals.attachmentsWritten += result.written;
    for (const AttachmentFailure& failure : result.failures) {
        context.Warn(AttachmentFailureText(id, failure));
        ++totals.attachmentsNotWritten;
    }
    if (result.diskFull != 0) {
        note.Close();
        throw CNsfError(result.diskFull);
    }
    return context.file.m_lossless ? LosslessPaths(result.paths) : result.cell;
}

// The header's cell of a field: its name safe for the fixed format's unquoted line, or whole
// in UTF-8 for the lossless one, where the line's quotes keep it.
std::string FieldColumn(const FieldEntry& field, bool lossless) {
    if (lossless) return NativeToUtf8(field.name);
    // A name may hold "," or a line feed: cleaned as every value is, so that the header has
    // as many cells as each document's line.
    std::string cell = field.name;
    MakeCsvSafe(&cell[0], cell.size());
    return cell;
}

// The lossless format's first cells of a document.
void SetIdentityCells(const CNsfNote& note, std::vector<std::string>& cells) {
    NoteIdentity identity = note.ReadIdentity();
    std::string* parts[] = {&identity.unid, &identity.noteId, &identity.parentUnid, &identity.created,
                            &identity.modified};
    static_assert(sizeof parts / sizeof parts[0] == kIdentityCount, "a cell for every identity column");
    for (size_t i = 0; i < kIdentityCount; ++i) cells[i] = std::move(*parts[i]);
}

// Notes marks the second copy that a save conflict leaves with a $Conflict item, and the
// replicator marks the copy a replication conflict leaves the same way, so the one warning
// covers both; the copy is written like any document, and the log names it so that it can
// be found.
bool IsConflict(const CNsfNote& note) {
    return Api().NSFItemInfo(note.m_hNote, kConflictItem, sizeof kConflictItem - 1, nullptr, nullptr, nullptr,
                             nullptr) == 0;
}

// The warnings of one written line, cell by cell, and their counts.
void LogCellWarnings(CExportContext& context, NOTEID id, const FieldList& fields, ExportTotals& totals,
                     size_t& lossyNotes) {
    bool lossy = false;
    for (const FieldEntry& field : fields) {
        if (field.cut) {
            context.Warn(CutValueText(id, field));
            ++totals.cutValues;
        }
        if (field.unjoined) {
            context.Warn(UnjoinedText(id, field.name));
            ++totals.unjoinedValues;
        }
        if (field.lost != 0) {
            context.Warn(LostCharactersText(id, field.name, field.lost));
            ++totals.lossyCells;
            totals.lostCharacters += field.lost;
            lossy = true;
        }
    }
    if (lossy) ++lossyNotes;
}

}  // namespace

void ExportDocuments(CExportContext& context, CNsfDatabase& db, const std::string& formName,
                     ExportTotals& totals, FormlessDocuments formless, const std::string& defaultFormUnread) {
    totals = ExportTotals{};
    if (formless == FormlessDocuments::kDefaultForm)
        context.log.Write(LEVEL_INFO, kFormlessDefaultText + formName);
    if (formless == FormlessDocuments::kFirstForm) {
        context.log.Write(LEVEL_INFO, defaultFormUnread.empty() ? kFormlessFirstText + formName
                                                                : kFormlessUnreadText + defaultFormUnread +
                                                                      kFormlessUnreadFirstText + formName);
    }
    context.log.Write(LEVEL_COMMAND, "Make Indicater");
    const std::unique_ptr<CExportProgress> progress = context.StartProgress();

    context.log.Write(LEVEL_COMMAND, "Make ExportFile Header");
    const bool lossless = context.file.m_lossless;
    const TextForm textForm = lossless ? TextForm::kLossless : TextForm::kFixed;
    // The fields' cells start after the identity's in the lossless format.
    const size_t first = lossless ? kIdentityCount : 0;
    std::vector<std::string> cells;
    cells.reserve(first + db.m_fields.size() + 1);
    if (lossless) cells.assign(std::begin(kIdentityColumns), std::end(kIdentityColumns));
    for (const FieldEntry& field : db.m_fields) cells.push_back(FieldColumn(field, lossless));
    if (context.attachments != nullptr) {
        const std::string column = ResString(IDS_ATTACHMENT_COLUMN);
        cells.push_back(lossless ? NativeToUtf8(column) : column);
    }
    if (!context.file.AppendLine(cells)) ++totals.refusedLines;

    TIMEDATE since{};
    Api().TimeConstant(notes::TIMEDATE_MINIMUM, &since);
    context.log.Write(LEVEL_COMMAND, "NSFDbGetModifiedNoteTable");
    TIMEDATE until{};
    DHANDLE table = 0;
    const notes::STATUS status =
        Api().NSFDbGetModifiedNoteTable(db.m_hDb, notes::NOTE_CLASS_DOCUMENT, since, &until, &table);
    // The library answers a database without documents with a status of its own and no
    // table: an empty table for the run, not a failure.
    const bool noDocuments = (status & notes::ERR_MASK) == notes::ERR_NO_MODIFIED_NOTES;
    if (!noDocuments) ThrowIfFailed(status);
    context.log.Write(LEVEL_RESULT, "NSFDbGetModifiedNoteTable is success.");
    if (noDocuments) {
        progress->Finish();
        totals.finished = true;
        context.LogTotals(totals);
        return;
    }

    {
        ScopedNotesHandle destroyTable(table, Api().IDDestroyTable);
        const notes::DWORD total = Api().IDEntries(table);
        notes::DWORD done = 0;
        NOTEID noteId = 0;
        size_t lossyNotes = 0;
        const FormMatch chosen(formName);
        FieldEntry form(kFormItem, notes::TYPE_TEXT);
        notes::BOOL found = Api().IDScan(table, 1, &noteId);
        while (found) {
            CNsfNote note;
            note.m_keepAttachmentKey = context.attachments != nullptr;
            note.m_signatureStep = context.signatures;
            context.log.Write(LEVEL_COMMAND, "nsfNote.Open");
            context.log.Write(LEVEL_DEBUG, NoteIdText(noteId));
            bool opened = true;
            notes::STATUS signature = 0;
            try {
                signature = note.Open(db.m_hDb, noteId, notes::OPEN_NOVERIFYDEFAULT);
            } catch (const CNsfError& error) {
                // A note the user may not read or cannot decrypt gets no line and no message box,
                // but the log names it, so that no document is left out without a word.
                opened = false;
                ++totals.unreadable;
                context.Warn(NotReadText(noteId, error));
            }
            if (opened) {
                context.log.Write(LEVEL_RESULT, "nsfNote.Open is success.");
                // The signing step warns of every note it opens, as it always has; a check
                // warns of the documents this file takes, so that a note is counted once in a
                // run over every form.
                const bool checkOnly = context.signatures == SignatureStep::kVerify;
                if (signature != 0 && !checkOnly) WarnSignature(context, noteId, signature, totals);
                if (MadeWithForm(context.log, note, form, chosen, formless)) {
                    if (signature != 0 && checkOnly) WarnSignature(context, noteId, signature, totals);
                    if (IsConflict(note)) {
                        context.Warn(ConflictText(noteId));
                        ++totals.conflicts;
                    }
                    if (lossless) SetIdentityCells(note, cells);
                    note.ReadValues(db.m_fields, textForm);
                    for (size_t i = 0; i < db.m_fields.size(); ++i) cells[first + i] = db.m_fields[i].value;
                    if (context.attachments != nullptr)
                        cells.back() = WriteAttachments(context, note, noteId, totals);
                    ++(context.file.AppendLine(cells) ? totals.written : totals.refusedLines);
                    // The line keeps what could be read; the log says what it could not.
                    LogCellWarnings(context, noteId, db.m_fields, totals, lossyNotes);
                } else {
                    ++totals.otherForm;
                }
            }
            found = Api().IDScan(table, 0, &noteId);
            ++done;
            progress->Advance(done, total);
            note.Close();
            // Asked to stop, the run ends between documents: every line written is whole.
            if (found && context.StopRequested()) {
                totals.stopRequested = true;
                context.LogTotals(totals);
                context.Warn("Export stopped on request: the CSV file is incomplete");
                return;
            }
        }
        progress->Finish();
        if (totals.lossyCells != 0) context.Warn(LostTotalText(totals.lossyCells, lossyNotes));
    }
    totals.finished = true;
    context.LogTotals(totals);
}
