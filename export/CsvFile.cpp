#include "export/CsvFile.h"

#include "log/ExclusiveFile.h"
#include "log/FileError.h"

CCsvFile g_exportFile;

bool CCsvFile::Create(const std::string& path) {
    m_path = path;
    m_bErrorReported = 0;
    const int cause = m_hold ? m_held.Open(m_path, false, false) : CreateEmptyFile(m_path);
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

bool CCsvFile::AppendLine(const std::vector<std::string>& cells) {
    const std::string line = BuildCsvLine(cells);
    const int cause = m_held.IsOpen() ? m_held.Append(line) : AppendText(m_path, line);
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

void CCsvFile::ReportFileError(int cause) { ::ReportFileError(m_path, m_bErrorReported, cause, *m_messages); }
