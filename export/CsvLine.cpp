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
