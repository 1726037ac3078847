#pragma once
// What every export of one unattended run shares, handed down by the front end that started
// it: the arguments as its logs record them, how its progress is shown, and the request that
// stops it. Nothing of it is kept by the process, so tests run one after the other in one.

#include "export/ExportProgress.h"
#include "job/StopToken.h"
#include "job/TextOutput.h"

#include <functional>
#include <memory>
#include <string>

// Makes the progress of one export, shown on the output the export prints on.
using TextProgressMaker = std::function<std::unique_ptr<CExportProgress>(CTextOutput&)>;

struct UnattendedRun {
    std::string commandLine;  // the arguments as the log records them
    TextProgressMaker makeProgress;
    const CStopToken* stop = nullptr;  // null: nobody can stop the run

    bool StopRequested() const { return stop != nullptr && stop->Requested(); }
};
