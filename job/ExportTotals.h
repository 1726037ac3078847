#pragma once
// What one export run did with the documents of its note table. A run that a Notes error
// stopped keeps what it had counted until then.
//
// Every count is one line of QS_EXPORT_COUNTS, and everything that lists the counts is made
// from it: the struct, the sums of a run over several exports, whether a run has warnings,
// the summary line, summary.csv's header and cells, and the log's totals lines. A line holds:
//   the member; its key in the summary line, which is also its summary.csv column; where
//   summary.csv puts the column; the log's totals line it is on, with its text there; and
//   whether a count other than 0 is a warning (written, but not as the database holds it).
// The order of the lines is the summary line's, which scripts read: new counts go at the
// end, and summary.csv adds them after its last column.

#include <cstddef>
#include <string>
#include <vector>

// Where summary.csv puts a count's column: among the counts before the status, with the
// attachments' counts after the first error (only in a run that writes attachments), or at
// the end, where counts that came later were added without moving a column scripts read.
enum class SummaryColumn { kCounts, kAttachments, kEnd };
// Which of the log's totals lines shows a count.
enum class TotalsLine { kNone, kDocuments, kAttachments };

#define QS_EXPORT_COUNTS(X)                                                                             \
    /* documents that became a line of the file */                                                      \
    X(written, "written", SummaryColumn::kCounts, TotalsLine::kDocuments, "Documents written", false)   \
    /* documents made with another form */                                                              \
    X(otherForm, "other-form", SummaryColumn::kCounts, TotalsLine::kDocuments, "Other form", false)     \
    /* notes that could not be opened or decrypted */                                                   \
    X(unreadable, "not-readable", SummaryColumn::kCounts, TotalsLine::kDocuments, "Not readable", true) \
    /* lines, the header among them, that the file did not take (the run is incomplete) */              \
    X(refusedLines, "lines-not-written", SummaryColumn::kCounts, TotalsLine::kDocuments,                \
      "Lines not written to the file", false)                                                           \
    /* the characters that cells lost, the native text not holding them */                              \
    X(lostCharacters, "lost-characters", SummaryColumn::kCounts, TotalsLine::kNone, "", false)          \
    /* the cells that lost them */                                                                      \
    X(lossyCells, "cells-with-lost-characters", SummaryColumn::kEnd, TotalsLine::kNone, "", true)       \
    /* save or replication conflicts, written as every document */                                      \
    X(conflicts, "conflicts", SummaryColumn::kCounts, TotalsLine::kNone, "", true)                      \
    /* cells whose Notes text filled the conversion buffer */                                           \
    X(cutValues, "cut-values", SummaryColumn::kCounts, TotalsLine::kNone, "", true)                     \
    /* documents written although their signature step failed or did not verify */                      \
    X(signatureFailures, "signature-failures", SummaryColumn::kEnd, TotalsLine::kNone, "", true)        \
    /* cells of a field held in several items, of which only the first was read */                      \
    X(unjoinedValues, "unjoined-values", SummaryColumn::kEnd, TotalsLine::kNone, "", true)              \
    /* files attached to written documents, written beside the CSV file */                              \
    X(attachmentsWritten, "attachments-written", SummaryColumn::kAttachments, TotalsLine::kAttachments, \
      "Attachments written", false)                                                                     \
    /* files the library refused to write (sealed, a broken signature, ...) */                          \
    X(attachmentsNotWritten, "attachments-not-written", SummaryColumn::kAttachments,                    \
      TotalsLine::kAttachments, "Attachments not written", true)

struct ExportTotals {
#define QS_COUNT_MEMBER(member, key, column, line, text, warns) size_t member = 0;
    QS_EXPORT_COUNTS(QS_COUNT_MEMBER)
#undef QS_COUNT_MEMBER
    bool finished = false;       // the run went through its whole note table
    bool stopRequested = false;  // it stopped part-way because it was asked to

    // True when something was written other than as the database holds it, or not at all.
    bool HasWarnings() const;
    // Adds the counts of another export, as a run over several sums them.
    ExportTotals& operator+=(const ExportTotals& other);
};

// One count, as the table gives it, with its value in a run's totals.
struct ExportCount {
    const char* key;
    SummaryColumn column;
    TotalsLine line;
    const char* logText;
    bool warns;
    size_t ExportTotals::*member;
};

// Every count, in the table's order.
const std::vector<ExportCount>& ExportCounts();

// The closing count of an export, as its log line reads.
std::string ExportTotalsText(const ExportTotals& totals);
// The count of an export that wrote attachments, as its log line reads.
std::string AttachmentTotalsText(const ExportTotals& totals);
