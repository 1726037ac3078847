#include "log/FileError.h"

#include "framework/MessageSink.h"
#include "framework/ResourceString.h"
#include "res/resource.h"

int FileErrorCauseFromOsError(DWORD osError) {
    switch (osError) {
        case ERROR_FILE_NOT_FOUND:
            return kFileErrNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return kFileErrBadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return kFileErrTooManyOpen;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
            return kFileErrAccessDenied;
        case ERROR_INVALID_HANDLE:
            return kFileErrInvalidHandle;
        case ERROR_CURRENT_DIRECTORY:
            return kFileErrRemoveCurrentDir;
        case ERROR_CANNOT_MAKE:
            return kFileErrDirectoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return kFileErrBadSeek;
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
            return kFileErrHardIO;
        case ERROR_SHARING_VIOLATION:
        case ERROR_SHARING_BUFFER_EXCEEDED:
            return kFileErrSharing;
        case ERROR_LOCK_VIOLATION:
        case ERROR_DRIVE_LOCKED:
            return kFileErrLock;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return kFileErrDiskFull;
        case ERROR_HANDLE_EOF:
            return kFileErrEndOfFile;
        default:
            return kFileErrGeneric;
    }
}

std::string FileErrorCauseText(int cause) {
    static const UINT kTextIds[] = {
        0,                               // no error
        IDS_FILEERR_GENERIC,             // 1
        IDS_FILEERR_NOT_FOUND,           // 2
        IDS_FILEERR_BAD_PATH,            // 3
        IDS_FILEERR_TOO_MANY_OPEN,       // 4
        IDS_FILEERR_ACCESS_DENIED,       // 5
        IDS_FILEERR_INVALID_HANDLE,      // 6
        IDS_FILEERR_REMOVE_CURRENT_DIR,  // 7
        IDS_FILEERR_DIRECTORY_FULL,      // 8
        IDS_FILEERR_BAD_SEEK,            // 9
        IDS_FILEERR_HARD_IO,             // 10
        IDS_FILEERR_SHARING,             // 11
        IDS_FILEERR_LOCK,                // 12
        IDS_FILEERR_DISK_FULL,           // 13
        IDS_FILEERR_END_OF_FILE,         // 14
    };
    if (cause <= 0 || cause >= static_cast<int>(sizeof kTextIds / sizeof kTextIds[0])) return {};
    return ResString(kTextIds[cause]);
}

void ReportFileError(const std::string& path, int32_t& errorReported, int cause, CMessageSink& messages) {
    const std::string causeText = FileErrorCauseText(cause);
    if (errorReported != 0) return;
    messages.FileError(path + causeText);
    errorReported = 1;
}
