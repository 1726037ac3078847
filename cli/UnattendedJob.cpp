#include "cli/UnattendedJob.h"

#include "cli/CommandLineJob.h"
#include "cli/ConsoleProgress.h"
#include "cli/ConsoleStop.h"
#include "estate/EstateJob.h"
#include "estate/ListJob.h"

#include <memory>

int RunUnattendedJob(const CommandLineOptions& options, CTextOutput& output, ExportTotals& totals) {
    // Progress on the console, and the stop its handler hears, for every export of the run.
    UnattendedRun run;
    run.commandLine = options.text;
    run.makeProgress = [](CTextOutput& shown) { return std::make_unique<CConsoleProgress>(shown); };
    run.stop = &ConsoleStopToken();
    if (options.list) return RunListJob(options, output);
    if (IsEstateRun(options)) return RunEstateJob(options, run, output, totals);
    return RunCommandLineJob(options, run, output, totals);
}
