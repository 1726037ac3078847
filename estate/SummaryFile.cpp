#include "estate/SummaryFile.h"

#include <string>

namespace {

// A cell that holds a separator, a quote or a line break is quoted, its quotes doubled, so
// that a path or a message is read back exactly as it was; none of these bytes is ever the
// second byte of a double-byte character.
std::string Quoted(const std::string& text) {
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

std::vector<std::string> SummaryHeader(bool attachments) {
    // The names of the run's last line, so that a script reads both alike.
    std::vector<std::string> header = {"database",
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
    if (attachments) header.insert(header.end(), {"attachments-written", "attachments-not-written"});
    return header;
}

std::vector<std::string> SummaryCells(const SummaryRow& row, bool attachments) {
    const ExportTotals& t = row.totals;
    std::vector<std::string> cells = {Quoted(row.database),
                                      Quoted(row.form),
                                      Quoted(row.csv),
                                      std::to_string(t.written),
                                      std::to_string(t.otherForm),
                                      std::to_string(t.unreadable),
                                      std::to_string(t.refusedLines),
                                      std::to_string(t.lostCharacters),
                                      std::to_string(t.conflicts),
                                      std::to_string(t.cutValues),
                                      std::to_string(row.status),
                                      Quoted(row.error)};
    if (attachments)
        cells.insert(cells.end(),
                     {std::to_string(t.attachmentsWritten), std::to_string(t.attachmentsNotWritten)});
    return cells;
}

bool CSummaryFile::Create(const std::string& path, CMessageSink& messages, bool attachments) {
    m_file.m_messages = &messages;
    m_attachments = attachments;
    return m_file.Create(path) && m_file.AppendLine(SummaryHeader(attachments));
}

void CSummaryFile::Append(const SummaryRow& row) { m_file.AppendLine(SummaryCells(row, m_attachments)); }
