#pragma once
// The log of a single unattended export from its first moment: /log's value, else the CSV
// file's own, so that a run refused before its export still says why where its log goes.

#include "estate/CommandLineOptions.h"

#include <string>

// The log's path as typed: /log's value, else the CSV file's path named .log instead of .csv
// (".log" added to a name without .csv). Empty when there is no CSV path to name it after:
// none, or one that names no file (a folder, a path the rules refuse).
std::string CommandLineLogPath(const CommandLineOptions& options);

// Writes the log of a run that ended before the export stage: the stage's opening lines, then
// `printed` (what the run printed, lines separated by LF) as errors. A log path that cannot be
// worked out or created leaves no log and says nothing more: the run has printed its cause.
void LogEarlyEnd(const CommandLineOptions& options, const std::string& printed);
