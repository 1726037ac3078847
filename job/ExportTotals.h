#pragma once
// What one export run did with the documents of its note table. A run that a Notes error
// stopped keeps what it had counted until then.

#include <cstddef>
#include <string>

struct ExportTotals {
    size_t written = 0;            // documents that became a line of the file
    size_t otherForm = 0;          // documents made with another form
    size_t unreadable = 0;         // notes that could not be opened or decrypted
    size_t refusedLines = 0;       // lines, the header among them, that the file did not take
    size_t lossyCells = 0;         // cells that lost characters the native text cannot hold
    size_t lostCharacters = 0;     // the characters those cells lost
    size_t signatureFailures = 0;  // documents written although their signature step failed
    size_t conflicts = 0;          // save or replication conflicts, written as every document
    size_t cutValues = 0;          // cells whose Notes text filled the conversion buffer
    size_t unjoinedValues = 0;     // cells of a field held in several items, of which only the first was read
    size_t attachmentsWritten = 0;     // files attached to written documents, written beside the CSV file
    size_t attachmentsNotWritten = 0;  // files the library refused to write (sealed, a broken signature, ...)
    bool finished = false;             // the run went through its whole note table
    bool stopRequested = false;        // it stopped part-way because it was asked to

    // True when something was written other than as the database holds it, or not at all.
    bool HasWarnings() const {
        return unreadable != 0 || lossyCells != 0 || signatureFailures != 0 || conflicts != 0 ||
               cutValues != 0 || unjoinedValues != 0 || attachmentsNotWritten != 0;
    }
};

// The closing count of an export, as its log line reads.
std::string ExportTotalsText(const ExportTotals& totals);
// The count of an export that wrote attachments, as its log line reads.
std::string AttachmentTotalsText(const ExportTotals& totals);
