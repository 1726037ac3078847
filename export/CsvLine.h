#pragma once
// The layout of one line of the destination file, free of any file or window call so that
// it builds and is tested on its own.

#include <string>
#include <vector>

// The bytes of one line before text-mode conversion: cells joined by ",", then "\n".
std::string BuildCsvLine(const std::vector<std::string>& cells);

// The bytes of one line of the lossless format (RFC 4180): a cell that holds ",", a quote,
// a carriage return or a line feed, or that begins or ends with a blank or a tab, is quoted,
// its quotes doubled; the cells joined by ",", then CR LF. The cells' bytes are kept as they
// are, line breaks among them.
std::string BuildLosslessCsvLine(const std::vector<std::string>& cells);
// A cell as that line writes it.
std::string LosslessCell(const std::string& text);
