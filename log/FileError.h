#pragma once
// The file-error report shared by the SysLog and the CSV file: one cause table, one
// message layout, one caption.

#include <windows.h>

#include <cstdint>
#include <string>

class CMessageSink;

// Causes of a file failure, numbered as the dialog framework's file exceptions.
enum FileErrorCause : int {
    kFileErrNone = 0,
    kFileErrGeneric = 1,
    kFileErrNotFound = 2,
    kFileErrBadPath = 3,
    kFileErrTooManyOpen = 4,
    kFileErrAccessDenied = 5,
    kFileErrInvalidHandle = 6,
    kFileErrRemoveCurrentDir = 7,
    kFileErrDirectoryFull = 8,
    kFileErrBadSeek = 9,
    kFileErrHardIO = 10,
    kFileErrSharing = 11,
    kFileErrLock = 12,
    kFileErrDiskFull = 13,
    kFileErrEndOfFile = 14,
};

// The cause that a platform error code (GetLastError) stands for.
int FileErrorCauseFromOsError(DWORD osError);

// The text of a cause; empty for 0 and for causes outside the table.
std::string FileErrorCauseText(int cause);

// Tells `messages` "<path><cause text>" once: nothing when `errorReported` is already set,
// which the call then sets. As a box: caption "Log File Error!", OK and exclamation, owned
// by the main window.
void ReportFileError(const std::string& path, int32_t& errorReported, int cause, CMessageSink& messages);
