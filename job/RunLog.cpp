#include "job/RunLog.h"

#include "framework/MessageSink.h"
#include "job/ExportStage.h"
#include "log/SysLog.h"

#include <windows.h>

#include <cstring>

namespace {

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

std::string LogPathNamedAfter(const std::string& path, const char* extension) {
    // '.' is never the second byte of a double-byte character, so the end is a whole extension.
    const size_t length = std::strlen(extension);
    if (path.size() > length && lstrcmpiA(path.c_str() + path.size() - length, extension) == 0)
        return path.substr(0, path.size() - length) + kLogExtension;
    return path + kLogExtension;
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
