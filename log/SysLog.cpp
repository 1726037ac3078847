#include "log/SysLog.h"

#include "framework/ResourceString.h"
#include "log/ExclusiveFile.h"
#include "log/FileError.h"

#include <windows.h>

CSysLog g_sysLog;

bool CSysLog::Create(const char* path, bool keep) {
    m_path = path;
    m_bErrorReported = 0;
    const int cause = m_hold ? m_held.Open(m_path, keep, true)
                      : keep ? OpenOrCreateFile(m_path)
                             : CreateEmptyFile(m_path);
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return true;
}

bool CSysLog::Write(int levelId, const std::string& text) {
    std::string tag;
    // A level without a tag drops the line silently; the open is still made first so
    // that a missing or locked file is reported as it would be for any other line.
    const bool haveTag = LoadResString(static_cast<UINT>(levelId), tag);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string line = haveTag ? FormatLogLine(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                                     now.wSecond, tag, text)
                                     : std::string();
    const int cause = Append(line);
    if (cause != kFileErrNone) {
        ReportFileError(cause);
        return false;
    }
    return haveTag;
}

int CSysLog::Append(const std::string& text) {
    // A held log that could not be created fails each line as a log never held does.
    return m_held.IsOpen() ? m_held.Append(text) : AppendText(m_path, text);
}

void CSysLog::WriteBanner() {
    Write(LEVEL_INFO, ResString(IDS_LOG_SEPARATOR));
    Write(LEVEL_NOTICE, ResString(IDS_LOG_COPYRIGHT));
    Write(LEVEL_NOTICE, ResString(IDS_LOG_STARTED));
    Write(LEVEL_NOTICE, ResString(IDS_LOG_START_CONVERSION));
    Write(LEVEL_INFO, ResString(IDS_LOG_SEPARATOR));
}

void CSysLog::ReportFileError(int cause) { ::ReportFileError(m_path, m_bErrorReported, cause, *m_messages); }
