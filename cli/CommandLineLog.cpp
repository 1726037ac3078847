#include "cli/CommandLineLog.h"

#include "framework/MessageSink.h"
#include "job/ExportStage.h"
#include "job/InputChecks.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "log/SysLog.h"
#include "res/resource.h"

#include <windows.h>

namespace {

constexpr char kCsvExtension[] = ".csv";
constexpr size_t kCsvExtensionLength = sizeof kCsvExtension - 1;
constexpr char kLogExtension[] = ".log";

// A log that cannot be written in a run that already failed: the cause was printed, and a
// second message about the log would hide it.
class CQuietSink : public CMessageSink {
public:
    void Message(const std::string&) override {}
    void FileError(const std::string&) override {}
    void Warning(const std::string&) override {}
};

}  // namespace

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
    // '.' is never the second byte of a double-byte character, so the end is a whole ".csv".
    if (csv.size() > kCsvExtensionLength &&
        lstrcmpiA(csv.c_str() + csv.size() - kCsvExtensionLength, kCsvExtension) == 0) {
        csv.resize(csv.size() - kCsvExtensionLength);
    }
    return csv + kLogExtension;
}

void CLoggedOutput::Print(const std::string& text) {
    m_output.Print(text);
    Keep(text);
}

void CLoggedOutput::PrintClosing(const std::string& text) {
    m_output.PrintClosing(text);
    Keep(text);
}

void CLoggedOutput::Keep(const std::string& text) {
    if (!m_printed.empty()) m_printed += '\n';
    m_printed += text;
}

void LogEarlyEnd(const CommandLineOptions& options, const std::string& printed) {
    const std::string path = CommandLineLogPath(options);
    if (path.empty() || CheckPath(path) != 0) return;
    LogEndInto(path, options.text, printed, false);
}

void LogEndInto(const std::string& path, const std::string& commandLine, const std::string& printed,
                bool keep) {
    CQuietSink quiet;
    CSysLog log;
    log.m_messages = &quiet;
    if (!StartJobLog(log, path, commandLine, keep)) return;
    // One stamped line for each printed one, so that every line of the log reads alike.
    for (size_t start = 0, end = 0; start <= printed.size(); start = end + 1) {
        end = printed.find('\n', start);
        if (end == std::string::npos) end = printed.size();
        log.Write(LEVEL_ERROR, printed.substr(start, end - start));
    }
}
