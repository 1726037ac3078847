#pragma once
// Where the windows put what they leave: worked out once by the program that starts them
// and handed to the source dialog, which hands it on to each job it runs.

#include <string>

struct WizardPlaces {
    std::string logPath;          // the wizard's log
    std::string documentsFolder;  // where the destination page proposes the CSV file; empty when unknown
};
