#pragma once
// One export without any window, as the command line's switches say: the checks of the
// source dialog and the wizard's pages, then the export stage the wizard's job ends in.
// What the windows would show is printed instead.

#include "cli/CommandLine.h"
#include "job/ExportTotals.h"
#include "job/TextOutput.h"
#include "job/UnattendedRun.h"

#include <string>
#include <vector>

// Reads `arguments`. False when the process is to end now with `exitStatus`: the usage was
// asked for, or a switch was refused; what there was to say has been printed on `output`,
// and a refusal logged where the run's log goes.
bool ReadCommandLine(const std::vector<std::wstring>& arguments, CTextOutput& output,
                     CommandLineOptions& options, int& exitStatus);

// Runs the job once Notes is up, with a log and a CSV file of its own (the log: /log, else
// beside the CSV file), printing its messages, warnings and progress on `output`; a run that
// ends before the export stage logs why. Returns the process's exit status; `totals` holds
// the export's counts (none when it ended before the export stage).
int RunCommandLineJob(const CommandLineOptions& options, const UnattendedRun& run, CTextOutput& output,
                      ExportTotals& totals);
