#include "export/CsvLine.h"

std::string BuildCsvLine(const std::vector<std::string>& cells) {
    size_t size = cells.size() + 1;
    for (const std::string& cell : cells) size += cell.size();
    std::string line;
    line.reserve(size);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i != 0) line += ',';
        line += cells[i];
    }
    line += '\n';
    return line;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// None of these bytes is ever part of a UTF-8 sequence or the second byte of a Shift_JIS
// character, so a byte-wise look is safe for both.
bool NeedsQuotes(const std::string& text) {
    if (text.empty()) return false;
    return text.find_first_of(",\"\r\n") != std::string::npos || IsBlank(text.front()) ||
           IsBlank(text.back());
}

void AppendCell(std::string& line, const std::string& text) {
    if (!NeedsQuotes(text)) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

std::string LosslessCell(const std::string& text) {
    std::string cell;
    AppendCell(cell, text);
    return cell;
}

std::string BuildLosslessCsvLine(const std::vector<std::string>& cells) {
    size_t size = cells.size() + 2;
    for (const std::string& cell : cells) size += cell.size() + 2;
    std::string line;
    line.reserve(size);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i != 0) line += ',';
        AppendCell(line, cells[i]);
    }
    line += "\r\n";
    return line;
}
