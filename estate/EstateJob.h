#pragma once
// An export of several databases or forms in one run (/db naming a folder, a wildcard or a
// list file; /form *; /out DIR): Notes started once, each database opened once for its forms
// and once for each export, each CSV file at DIR\<database>\<form>.csv with its log beside it,
// and DIR\summary.csv with a row for each.

#include "estate/CommandLineOptions.h"
#include "job/TextOutput.h"
#include "job/ExportTotals.h"
#include "job/UnattendedRun.h"

// True when the switches ask for such a run rather than one export to /csv.
bool IsEstateRun(const CommandLineOptions& options);

// Runs it; returns the highest exit status of its rows (4 for switches it cannot run with).
// `totals` adds up the counts of every export.
int RunEstateJob(const CommandLineOptions& options, const UnattendedRun& run, CTextOutput& output,
                 ExportTotals& totals);
