#include "cli/CommandLineLog.h"

#include "job/InputChecks.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "job/RunLog.h"
#include "res/resource.h"

namespace {
constexpr char kCsvExtension[] = ".csv";
}

std::string CommandLineLogPath(const CommandLineOptions& options) {
    if (options.logGiven) {
        std::string path = options.log;
        TrimLeadingSpaces(path);
        return path;
    }
    std::string csv = options.csv;
    // A read-only CSV file still names the place a log can go; a folder names no file.
    const unsigned fault = CheckDestination(csv, IDS_CHOOSE_DESTINATION);
    if (fault != 0 && fault != IDS_PATH_READONLY) return {};
    return LogPathNamedAfter(csv, kCsvExtension);
}

void LogEarlyEnd(const CommandLineOptions& options, const std::string& printed) {
    const std::string path = CommandLineLogPath(options);
    if (path.empty() || CheckPath(path) != 0) return;
    LogEndInto(path, options.text, printed, false);
}
