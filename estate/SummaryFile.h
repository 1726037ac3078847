#pragma once
// DIR\summary.csv of a run over several databases and forms: one row for each database and
// form, written as the run goes, so that a spreadsheet or a script reads across the estate what came out and
// what did not.

#include "export/CsvFile.h"
#include "job/ExportTotals.h"

#include <string>
#include <vector>

struct SummaryRow {
    std::string database;  // as /db named it: a path, or "server!!path"
    std::string form;      // the form's whole title; empty when the database could not be read
    std::string csv;       // the CSV file's path; empty when there is none
    ExportTotals totals;
    int status = 0;
    std::string error;  // the first message that ended or troubled the export; empty: none
};

// The cells of a row (and of the header), quoted where they hold what would split them.
// A run that writes attachments has its two counts after the first error; the counts added
// since stand at the end, so that no column a script reads has moved.
std::vector<std::string> SummaryCells(const SummaryRow& row, bool attachments = false);
std::vector<std::string> SummaryHeader(bool attachments = false);

class CSummaryFile {
public:
    // Creates the file with its header, in the lossless format when asked; false, told to
    // `messages`, when it cannot be.
    bool Create(const std::string& path, CMessageSink& messages, bool attachments = false,
                bool lossless = false);
    void Append(const SummaryRow& row);

private:
    CCsvFile m_file;
    bool m_attachments = false;
};
