#include "estate/UnattendedJob.h"

#include "cli/CommandLineJob.h"
#include "estate/EstateJob.h"
#include "estate/ListJob.h"

int RunUnattendedJob(const CommandLineOptions& options, CTextOutput& output, ExportTotals& totals) {
    if (options.list) return RunListJob(options, output);
    if (IsEstateRun(options)) return RunEstateJob(options, output, totals);
    return RunCommandLineJob(options, output, totals);
}
