#include "log/HeldFile.h"

#include "log/ExclusiveFile.h"
#include "log/FileError.h"

#include <windows.h>

int CHeldFile::Open(const std::string& path, bool keep, bool shareReading) {
    Close();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, shareReading ? FILE_SHARE_READ : 0, nullptr,
                                    keep ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileErrorCauseFromOsError(GetLastError());
    m_file = file;
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(m_file, none, nullptr, FILE_END)) {
        Close();
        return kFileErrBadSeek;
    }
    return kFileErrNone;
}

int CHeldFile::Append(const std::string& text) { return AppendBytes(ToTextMode(text)); }

int CHeldFile::AppendBytes(const std::string& bytes) {
    if (!IsOpen()) return kFileErrInvalidHandle;
    return WriteWhole(m_file, bytes);
}

void CHeldFile::Close() {
    if (IsOpen()) CloseHandle(m_file);
    m_file = nullptr;
}
