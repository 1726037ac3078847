#include "estate/SummaryFile.h"

#include "notes/ItemText.h"

#include <string>

namespace {

std::string Safe(const std::string& text) {
    std::string cell = text;
    cell.push_back('\0');
    MakeCsvSafe(&cell[0], cell.size());
    cell.pop_back();
    return cell;
}

}  // namespace

std::vector<std::string> SummaryHeader() {
    // The names of the run's last line, so that a script reads both alike.
    return {"database",
            "form",
            "csv",
            "written",
            "other-form",
            "not-readable",
            "lines-not-written",
            "lost-characters",
            "conflicts",
            "cut-values",
            "status",
            "first-error"};
}

std::vector<std::string> SummaryCells(const SummaryRow& row) {
    const ExportTotals& t = row.totals;
    return {Safe(row.database),
            Safe(row.form),
            Safe(row.csv),
            std::to_string(t.written),
            std::to_string(t.otherForm),
            std::to_string(t.unreadable),
            std::to_string(t.refusedLines),
            std::to_string(t.lostCharacters),
            std::to_string(t.conflicts),
            std::to_string(t.cutValues),
            std::to_string(row.status),
            Safe(row.error)};
}

bool CSummaryFile::Create(const std::string& path, CMessageSink& messages) {
    m_file.m_messages = &messages;
    return m_file.Create(path) && m_file.AppendLine(SummaryHeader());
}

void CSummaryFile::Append(const SummaryRow& row) { m_file.AppendLine(SummaryCells(row)); }
