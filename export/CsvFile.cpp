#include "export/CsvFile.h"

#include "log/ExclusiveFile.h"
#include "framework/CodePageText.h"
#include "log/FileError.h"

#include <windows.h>

namespace {

// Excel takes a CSV file for UTF-8 only when it starts with the byte order mark.
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

CCsvFile g_exportFile;

bool CCsvFile::Create(const std::string& path) {
    m_path = path;
    m_bErrorReported = 0;
    int cause = m_hold ? m_held.Open(m_path, false, false) : CreateEmptyFile(m_path);
    if (cause == kFileErrNone && m_lossless) {
        const std::string mark = kUtf8ByteOrderMark;
        cause = m_held.IsOpen() ? m_held.AppendBytes(mark) : AppendBytes(m_path, mark);
    }
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

bool CCsvFile::AppendLine(const std::vector<std::string>& cells) {
    int cause = kFileErrNone;
    if (m_lossless) {
        const std::string line = BuildLosslessCsvLine(cells);
        cause = m_held.IsOpen() ? m_held.AppendBytes(line) : AppendBytes(m_path, line);
    } else {
        const std::string line = BuildCsvLine(cells);
        cause = m_held.IsOpen() ? m_held.Append(line) : AppendText(m_path, line);
    }
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

void CCsvFile::ReportFileError(int cause) { ::ReportFileError(m_path, m_bErrorReported, cause, *m_messages); }

std::string NativeToUtf8(const std::string& native) { return Narrowed(CP_UTF8, Widened(CP_ACP, native)); }
