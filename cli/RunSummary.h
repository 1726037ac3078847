#pragma once
// The last line of every unattended run: its exit status and every count behind it, as
// words a script can split on blanks and '=' whatever the language of the lines above.

#include "job/ExportTotals.h"

#include <string>

std::string RunSummaryText(int exitStatus, const ExportTotals& totals);
