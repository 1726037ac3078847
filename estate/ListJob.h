#pragma once
// /list: the forms of each database /db names and the fields of each, printed for a script to
// choose from, without exporting anything.

#include "estate/CommandLineOptions.h"
#include "job/TextOutput.h"

// Prints one line per form: the database, the form's title and its fields (comma-separated),
// separated by tabs. A database that cannot be read is told on the standard error and the
// run goes on. Returns the exit status: 0, or 3 when a database could not be read or /db
// named none; 4 when /db is missing.
int RunListJob(const CommandLineOptions& options, CTextOutput& output);
