#pragma once
// The export run: every document of the open database made with the chosen form becomes
// one line of the job's CSV file.

#include "job/ExportContext.h"
#include "job/ExportTotals.h"
#include "notes/NsfDatabase.h"

#include <string>

// Writes the header (the fields of `db.m_fields`) and one line per document of the form,
// counting into `totals` as it goes, so that a run stopped by a Notes error leaves its count.
void ExportDocuments(CExportContext& context, CNsfDatabase& db, const std::string& formName,
                     ExportTotals& totals);
