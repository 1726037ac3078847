#pragma once
// The destination file of an export: cells joined by "," without quoting, one CR LF per
// line, bytes written unchanged; or, in the lossless format (m_lossless), UTF-8 with a byte
// order mark and RFC 4180 lines (BuildLosslessCsvLine), the cells handed in as UTF-8. Opened,
// extended by one line and closed for every line; a file of its own run's may instead be held
// open from Create to Release (m_hold).

#include "export/CsvLine.h"
#include "framework/MessageSink.h"
#include "log/HeldFile.h"

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
    // Closes a held file, so that it can be renamed; later lines open it as the wizard does.
    void Release() { m_held.Close(); }

    std::string m_path;
    int32_t m_bErrorReported = 0;
    // Where a file failure is reported: the job's sink once a job holds the file.
    CMessageSink* m_messages = &MessageBoxes();
    // Set before Create: nobody else writes or reads the file while it is held.
    bool m_hold = false;
    // Set before Create: the lossless format.
    bool m_lossless = false;

private:
    CHeldFile m_held;
};

// The wizard's export file.
extern CCsvFile g_exportFile;

// Native text (the process's ANSI code page) in UTF-8, for the cells of the lossless format
// that the program itself writes.
std::string NativeToUtf8(const std::string& native);
