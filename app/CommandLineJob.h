#pragma once
// One export without any window, as the command line's switches say: the checks of the
// source dialog and the wizard's pages, then the export stage the wizard's job ends in.
// What the windows would show is printed instead.

#include "app/CommandLine.h"

#include <string>
#include <vector>

// Attaches to the console and sends message boxes, warnings and progress there, then reads
// `arguments`. False when the process is to end now with `exitStatus` (the usage asked
// for, or a switch refused and said why).
bool PrepareUnattendedRun(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                          int& exitStatus);

// Runs the job once Notes is up; returns the process's exit status.
int RunCommandLineJob(const CommandLineOptions& options, const std::string& defaultLogPath);
