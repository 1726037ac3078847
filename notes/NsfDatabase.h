#pragma once
// One open Notes database and the two lists the wizard and the export work on.

#include "notes/BufferSizes.h"
#include "notes/FieldEntry.h"
#include "notes/NotesApi.h"

#include <functional>
#include <string>
#include <vector>

// What one export run did with the documents of its note table. A run that a Notes error
// stopped keeps what it had counted until then.
struct ExportTotals {
    size_t written = 0;            // documents that became a line of the file
    size_t otherForm = 0;          // documents made with another form
    size_t unreadable = 0;         // notes that could not be opened or decrypted
    size_t refusedLines = 0;       // lines, the header among them, that the file did not take
    size_t lossyCells = 0;         // cells that lost characters the native text cannot hold
    size_t signatureFailures = 0;  // documents written although their signature step failed
    size_t conflicts = 0;          // save or replication conflicts, written as every document
    size_t cutValues = 0;          // cells whose Notes text filled the conversion buffer
    size_t unjoinedValues = 0;     // cells of a field held in several items, of which only the first was read
    bool finished = false;         // the run went through its whole note table

    // True when something was written other than as the database holds it, or not at all.
    bool HasWarnings() const {
        return unreadable != 0 || lossyCells != 0 || signatureFailures != 0 || conflicts != 0 ||
               cutValues != 0 || unjoinedValues != 0;
    }
};

// The closing count of an export, as its log line reads.
std::string ExportTotalsText(const ExportTotals& totals);

class CNsfDatabase {
public:
    // Opens the database at `path` (LMBCS); a folder is closed again and refused with 540.
    void Open(const char* path);
    bool IsDirectory();
    // Closes the held database, if any; a failed close keeps the handle.
    void Close();
    // Fills m_title with the database title in native text; empty when it cannot be read.
    void ReadTitle();

    // Appends the title of every form to m_forms.
    void ListForms();
    // Handles one entry of the design collection.
    void AddFormEntry(notes::WORD noteClass, void* summary);
    // The LMBCS name that NIFFindDesignNote finds the form by whose title the form page
    // shows as `formName`.
    std::string FormLookupName(const std::string& formName);
    // Reads the design collection once and hands over each entry's note class and summary.
    void ForEachDesignEntry(const std::function<void(notes::WORD noteClass, void* summary)>& visit);
    // Appends the form's fields to m_fields: its field definitions and those of the subforms
    // it inserts, else the names of its $Fields item, else every item of its design note.
    void ListFields(const std::string& formName);

    // Writes the header and one line per document of the form to the export file, counting
    // into `totals` as it goes, so that a run stopped by a Notes error leaves its count.
    void WriteAllDocumentByForm(const std::string& formName, ExportTotals& totals);

    static constexpr size_t kTitleSize = notes::kDatabaseTitleSize;

    FieldList m_fields;
    notes::DBHANDLE m_hDb = 0;
    char m_title[kTitleSize];
    std::vector<std::string> m_forms;
};

// Never opened: its m_fields is the list that the item scan of ListFields fills.
extern CNsfDatabase g_scanDb;
