#pragma once
// Which job a run with switches is: the listing of forms (/list), or one export.

#include "cli/CommandLine.h"
#include "job/ExportTotals.h"
#include "job/TextOutput.h"

// Runs the job `options` ask for once Notes is up; returns the process's exit status.
int RunUnattendedJob(const CommandLineOptions& options, CTextOutput& output, ExportTotals& totals);
