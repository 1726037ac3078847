#pragma once
// The SysLog: a text log of each step of a conversion job, one time-stamped, level-tagged
// line per event. No file stays open between calls, so every line is on disk at once; a log
// of its own run's may instead be held open for the run (m_hold), its lines written at once
// all the same, and readable meanwhile.

#include "framework/MessageSink.h"
#include "log/HeldFile.h"
#include "log/LogLine.h"
#include "res/resource.h"

#include <cstdint>
#include <string>

class CSysLog {
public:
    // Creates or empties the log file at `path` (with `keep`, keeps what it holds); reports
    // a failure once.
    bool Create(const char* path, bool keep = false);
    // Appends one line with the tag of `levelId`; never creates the file.
    bool Write(int levelId, const std::string& text);
    // The five opening lines of a job: separator, copyright, start notices, separator.
    void WriteBanner();

    void ReportFileError(int cause);

    std::string m_path;
    int32_t m_bErrorReported = 0;
    // Where a file failure is reported: the job's sink once a job holds the log.
    CMessageSink* m_messages = &MessageBoxes();
    // Set before Create: the file is held open from Create until this log ends.
    bool m_hold = false;

private:
    int Append(const std::string& text);

    CHeldFile m_held;
};

// The wizard's log.
extern CSysLog g_sysLog;
