#include "export/CsvFile.h"

#include "log/ExclusiveFile.h"
#include "log/FileError.h"

CCsvFile g_exportFile;

bool CCsvFile::Create(const std::string& path) {
    m_path = path;
    m_bErrorReported = 0;
    const int cause = CreateEmptyFile(m_path);
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

bool CCsvFile::AppendLine(const std::vector<std::string>& cells) {
    const int cause = AppendText(m_path, BuildCsvLine(cells));
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

void CCsvFile::ReportFileError(int cause) { ::ReportFileError(m_path, m_bErrorReported, cause, *m_messages); }
