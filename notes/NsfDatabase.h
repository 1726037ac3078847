#pragma once
// One open Notes database and the two lists the wizard and the export work on.

#include "notes/BufferSizes.h"
#include "notes/FieldEntry.h"
#include "notes/NotesApi.h"

#include <functional>
#include <string>
#include <vector>

class CSysLog;

class CNsfDatabase {
public:
    // Opens the database at `path` (LMBCS); a folder is closed again and refused with 540.
    void Open(const char* path);
    bool IsDirectory();
    // Closes the held database, if any; a failed close keeps the handle.
    void Close();
    // Fills m_title with the database title in native text; empty when it cannot be read.
    void ReadTitle();

    // Appends the title of every form to m_forms, and finds the default form among them.
    void ListForms();
    // Handles one entry of the design collection.
    void AddFormEntry(notes::NOTEID noteId, notes::WORD noteClass, void* summary);
    // Sets m_defaultForm to the listed form the library names as the default, or
    // m_defaultFormStatus to why the one it names could not be read.
    void ReadDefaultForm();
    // The LMBCS name that NIFFindDesignNote finds the form by whose title the form page
    // shows as `formName`.
    std::string FormLookupName(const std::string& formName);
    // Reads the design collection once and hands over each entry's note class and summary.
    void ForEachDesignEntry(
        const std::function<void(notes::NOTEID noteId, notes::WORD noteClass, void* summary)>& visit);
    // Appends the form's fields to m_fields: its field definitions and those of the subforms
    // it inserts, else the names of its $Fields item, else every item of its design note.
    void ListFields(const std::string& formName);

    static constexpr size_t kTitleSize = notes::kDatabaseTitleSize;

    FieldList m_fields;
    notes::DBHANDLE m_hDb = 0;
    // The log of the job that reads the database, which hears of the subforms ListFields
    // cannot find or read; none while the wizard lists fields, before a job has a log.
    CSysLog* m_log = nullptr;
    char m_title[kTitleSize];
    std::vector<std::string> m_forms;
    // The title in m_forms of the database's default form, which Notes shows a document
    // without a Form item with; empty when the library names none, or none that is listed.
    std::string m_defaultForm;
    // Why the default form the library names could not be had (its status), or 0.
    notes::STATUS m_defaultFormStatus = 0;
    // The titles in m_forms that the form page shows for a form without a text title ("not
    // available", "unknown data type"): no document can name such a form.
    std::vector<std::string> m_unnamedForms;

private:
    std::vector<notes::NOTEID> m_formIds;  // the note id of each form of m_forms
};

// Closes a database on a path that has already reported a failure: a second failure
// would only repeat it, so it adds no message of its own.
void CloseQuietly(CNsfDatabase& db);
