#pragma once
// The CSV file of an unattended run is written under a name of its own beside the target and
// put in the target's place only when the run went through, so that a run stopped by a
// Notes error, Ctrl+C or a full disk never leaves a partial file where last night's good one
// was. What stands in the way (a target held open by a spreadsheet, a folder that cannot be
// written) is found before the first document is read.

#include "attachments/SafeName.h"

#include <string>

// The name the file is written under: ".partial" before the target's extension
// (out.csv -> out.partial.csv), or after a name without one.
std::string PartialPathOf(const std::string& target);

// Whether the files of a run can be had before it starts, as a file-error cause (0: they
// can): an existing target that cannot be opened for writing (held, read-only), then the
// partial file and the log, each created empty (with `keepLog`, the log keeps what it holds).
// Names the failing file in `failedPath`.
int PrepareRunFiles(const std::string& target, const std::string& partial, const std::string& log,
                    bool keepLog, std::string& failedPath);

// Puts the partial file in the target's place, replacing it. A file-error cause, 0 when done;
// on failure both files are as they were.
int ReplaceTarget(const std::string& partial, const std::string& target);
