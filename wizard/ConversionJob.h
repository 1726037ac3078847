#pragma once
// One export from the source dialog's Start: locate and test the database, run the wizard,
// then write the CSV file and open the log and the result with the shell.

#include "wizard/WizardPlaces.h"

#include <string>

class CSourceDlg;

// `dialog` owns the shell calls; nullptr opens them without an owner. The log goes to
// `places.logPath`, the destination page proposes the documents folder. Every failure is
// reported inside.
void RunConversionJob(CSourceDlg* dialog, const WizardPlaces& places, const std::string& serverName,
                      const std::string& path);
