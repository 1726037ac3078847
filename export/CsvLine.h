#pragma once
// The layout of one line of the destination file, free of any file or window call so that
// it builds and is tested on its own.

#include <string>
#include <vector>

// The bytes of one line before text-mode conversion: cells joined by ",", then "\n".
std::string BuildCsvLine(const std::vector<std::string>& cells);
