#include "job/AttachmentFolder.h"

#include "attachments/AttachmentWriter.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "log/FileError.h"
#include "res/resource.h"

#include <windows.h>

#include <vector>

namespace {

constexpr char kSeparator = '\\';

std::string FolderOf(const std::string& path) {
    const size_t start = LastPartStart(path, IsNativeLeadByte);
    return start == 0 ? std::string() : path.substr(0, start - 1);
}

}  // namespace

bool IsRootedPath(const std::string& path) {
    if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return true;
    return path.size() >= 2 && path[1] == ':';
}

bool IsPlainFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || IsRootedPath(name)) return false;
    // By character: '\' is the second byte of some double-byte characters.
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsNativeLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (name[i] == kSeparator || name[i] == '/') return false;
    }
    return true;
}

unsigned PlaceAttachments(const std::string& typed, const std::string& csvPath, ExportChoices& choices) {
    const std::string csvFolder = FolderOf(csvPath);
    const std::string folder = FullPath(IsRootedPath(typed) ? typed : csvFolder + kSeparator + typed);
    const unsigned fault = CheckPath(folder);
    // A folder that is there already is what the rules call a folder; it is used as it is.
    if (fault != 0 && fault != IDS_PATH_FOLDER && fault != IDS_PATH_READONLY) return fault;
    if (folder.size() + kAttachmentPathReserve > MAX_PATH - 1) return IDS_PATH_TOO_LONG;
    choices.attachmentFolder = folder;
    std::string rest;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, folder.data(), static_cast<int>(folder.size()),
                       csvFolder.data(), static_cast<int>(csvFolder.size())) == CSTR_EQUAL)
        choices.attachmentCellPrefix.clear();
    else if (Below(folder, csvFolder, rest))
        choices.attachmentCellPrefix = rest + kSeparator;
    else
        choices.attachmentCellPrefix = folder + kSeparator;
    return 0;
}

int MakeAttachmentFolder(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr)) return kFileErrNone;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return kFileErrNone;
    return FileErrorCauseFromOsError(error);
}
