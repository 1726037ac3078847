#include "estate/SummaryFile.h"

#include <cstring>
#include <string>

namespace {

// A cell that holds a separator, a quote or a line break is quoted, its quotes doubled, so
// that a path or a message is read back exactly as it was; none of these bytes is ever the
// second byte of a double-byte character.
std::string Quoted(const std::string& value) {
    // A spreadsheet takes a cell that starts with one of these for a formula, and a title such
    // as "=HYPERLINK(...)" would run as one; the apostrophe makes it text, as typed in a cell.
    const bool formula = !value.empty() && value[0] != '\0' && std::strchr("=+-@\t\r", value[0]) != nullptr;
    const std::string text = formula ? "'" + value : value;
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string cell = "\"";
    for (char c : text) {
        if (c == '"') cell.push_back('"');
        cell.push_back(c);
    }
    cell.push_back('"');
    return cell;
}

}  // namespace

namespace {

// The columns of `column`'s place, in the table's order: each count's key, or its value in `totals`.
void AddCounts(std::vector<std::string>& cells, SummaryColumn column, const ExportTotals* totals) {
    for (const ExportCount& count : ExportCounts()) {
        if (count.column != column) continue;
        cells.push_back(totals == nullptr ? std::string(count.key) : std::to_string(totals->*count.member));
    }
}

// How a text of the row becomes its cell: quoted where it would split the fixed format's line,
// or in the lossless format in UTF-8, which that file's own quoting keeps whole.
using CellText = std::string (*)(const std::string&);

// The row's columns, a count's column named after its key in the run's last line so that a
// script reads both alike; `totals` null: the header.
std::vector<std::string> Columns(const SummaryRow* row, const ExportTotals* totals, bool attachments,
                                 CellText cell = Quoted) {
    std::vector<std::string> cells;
    if (row == nullptr) {
        cells = {"database", "form", "csv"};
    } else {
        cells = {cell(row->database), cell(row->form), cell(row->csv)};
    }
    AddCounts(cells, SummaryColumn::kCounts, totals);
    if (row == nullptr) {
        cells.insert(cells.end(), {"status", "first-error"});
    } else {
        cells.insert(cells.end(), {std::to_string(row->status), cell(row->error)});
    }
    if (attachments) AddCounts(cells, SummaryColumn::kAttachments, totals);
    AddCounts(cells, SummaryColumn::kEnd, totals);
    return cells;
}

}  // namespace

std::vector<std::string> SummaryHeader(bool attachments) { return Columns(nullptr, nullptr, attachments); }

std::vector<std::string> SummaryCells(const SummaryRow& row, bool attachments) {
    return Columns(&row, &row.totals, attachments);
}

bool CSummaryFile::Create(const std::string& path, CMessageSink& messages, bool attachments, bool lossless) {
    m_file.m_messages = &messages;
    m_file.m_lossless = lossless;
    m_attachments = attachments;
    return m_file.Create(path) && m_file.AppendLine(SummaryHeader(attachments));
}

void CSummaryFile::Append(const SummaryRow& row) {
    m_file.AppendLine(m_file.m_lossless ? Columns(&row, &row.totals, m_attachments, NativeToUtf8)
                                        : SummaryCells(row, m_attachments));
}
