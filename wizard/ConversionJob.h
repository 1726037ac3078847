#pragma once
// One export from the source dialog's Start: locate and test the database, run the wizard,
// then write the CSV file and open the log and the result with the shell.

#include <string>

class CSourceDlg;

// `dialog` owns the shell calls; nullptr opens them without an owner. Every failure is
// reported inside.
void RunConversionJob(CSourceDlg* dialog, const std::string& serverName, const std::string& path);
