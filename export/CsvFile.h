#pragma once
// The destination file of an export: cells joined by "," without quoting, one CR LF per
// line, bytes written unchanged. Opened, extended by one line and closed for every line.

#include "export/CsvLine.h"
#include "framework/MessageSink.h"

#include <cstdint>
#include <string>
#include <vector>

class CCsvFile {
public:
    // Creates or empties the file and makes it the destination; reports a failure once.
    bool Create(const std::string& path);
    // Appends one line. An empty cell list appends an empty line, so that every document
    // still has its own line when a form without fields was chosen.
    bool AppendLine(const std::vector<std::string>& cells);

    void ReportFileError(int cause);

    std::string m_path;
    int32_t m_bErrorReported = 0;
    // Where a file failure is reported: the job's sink once a job holds the file.
    CMessageSink* m_messages = &MessageBoxes();
};

// The wizard's export file.
extern CCsvFile g_exportFile;
