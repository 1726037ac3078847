#pragma once
// The export run: every document of the open database made with the chosen form becomes
// one line of the job's CSV file.

#include "job/ExportContext.h"
#include "job/ExportTotals.h"
#include "notes/NsfDatabase.h"

#include <string>

// Where the documents without a Form item go. Notes shows such a document with the
// database's default form; a one-form export cannot tell whose it is and keeps it.
enum class FormlessDocuments {
    kWritten,      // with the form exported, as one of its documents
    kDefaultForm,  // with the form exported, the database's default form; the log says so
    kFirstForm,    // with the form exported, the first listed, for want of a default form
    kElsewhere,    // not with this form: another file of the same run holds them
};

// Writes the header (the fields of `db.m_fields`) and one line per document of the form,
// counting into `totals` as it goes, so that a run stopped by a Notes error leaves its count.
// With kFirstForm, `defaultFormUnread` says why the default form was not used: empty when the
// database has none, else what kept it from being read.
void ExportDocuments(CExportContext& context, CNsfDatabase& db, const std::string& formName,
                     ExportTotals& totals, FormlessDocuments formless = FormlessDocuments::kWritten,
                     const std::string& defaultFormUnread = std::string());
