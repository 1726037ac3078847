#include "job/PartialFile.h"

#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "log/ExclusiveFile.h"
#include "log/FileError.h"

#include <windows.h>

namespace {

// An existing file that this run would replace: opened for writing without sharing and
// closed at once, which fails exactly as the replacement would while another program holds
// it. A target that is not there is no obstacle.
int TargetCause(const std::string& target) {
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return kFileErrNone;
    const HANDLE file =
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileErrorCauseFromOsError(GetLastError());
    CloseHandle(file);
    return kFileErrNone;
}

}  // namespace

std::string PartialPathOf(const std::string& target) {
    const size_t nameStart = LastPartStart(target, IsNativeLeadByte);
    const size_t dot = target.rfind('.');
    // A dot that starts the name (".csv") or lies in a folder's name is no extension.
    if (dot == std::string::npos || dot <= nameStart) return target + kPartialTag;
    return target.substr(0, dot) + kPartialTag + target.substr(dot);
}

int PrepareRunFiles(const std::string& target, const std::string& partial, const std::string& log,
                    bool keepLog, std::string& failedPath) {
    const struct {
        const std::string& path;
        bool replaced;  // an existing file the run replaces at its end, left as it is now
    } files[] = {{target, true}, {partial, false}, {log, false}};
    for (const auto& file : files) {
        const int cause = file.replaced                     ? TargetCause(file.path)
                          : (keepLog && &file.path == &log) ? OpenOrCreateFile(file.path)
                                                            : CreateEmptyFile(file.path);
        if (cause != kFileErrNone) {
            // A partial file made for a run that does not start is not left behind.
            if (&file.path == &log) DeleteFileA(partial.c_str());
            failedPath = file.path;
            return cause;
        }
    }
    return kFileErrNone;
}

int ReplaceTarget(const std::string& partial, const std::string& target) {
    if (MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return kFileErrNone;
    }
    return FileErrorCauseFromOsError(GetLastError());
}
