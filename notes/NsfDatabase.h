#pragma once
// One open Notes database and the two lists the wizard and the export work on.

#include "notes/BufferSizes.h"
#include "notes/FieldEntry.h"
#include "notes/NotesApi.h"

#include <string>
#include <vector>

// What one export run did with the documents of its note table.
struct ExportTotals {
    size_t written = 0;       // documents that became a line of the file
    size_t otherForm = 0;     // documents made with another form
    size_t unreadable = 0;    // notes that could not be opened or decrypted
    size_t refusedLines = 0;  // lines, the header among them, that the file did not take
};

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
    // Appends the form's fields to m_fields: its field definitions and those of the subforms
    // it inserts, else the names of its $Fields item, else every item of its design note.
    void ListFields(const std::string& formName);

    // Writes the header and one line per document of the form to the export file.
    ExportTotals WriteAllDocumentByForm(const std::string& formName);

    static constexpr size_t kTitleSize = notes::kDatabaseTitleSize;

    FieldList m_fields;
    notes::DBHANDLE m_hDb = 0;
    char m_title[kTitleSize];
    std::vector<std::string> m_forms;
};

// Never opened: its m_fields is the list that the item scan of ListFields fills.
extern CNsfDatabase g_scanDb;
