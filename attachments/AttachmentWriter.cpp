#include "attachments/AttachmentWriter.h"

#include "attachments/AttachmentName.h"
#include "attachments/SafeName.h"
#include "notes/NotesBinding.h"
#include "log/FileError.h"
#include "notes/NsfNote.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

using notes::Api;
using notes::BLOCKID;
using notes::NOTEID;
using notes::STATUS;
using notes::Translated;
using notes::WORD;
namespace fileobject = notes::fileobject;

namespace {

constexpr char kCellSeparator = ';';
constexpr size_t kNoteFolderLength = 10;  // "NT" and eight hexadecimal digits
// What CNameBook adds to a name given again in one folder: " (99)". Past that a name may pass
// its room by a byte or two, which only a folder at the very limit would notice.
constexpr size_t kNumberRoom = 5;
// A note holds no more items than a WORD counts: a library that kept handing back items
// would otherwise never end the walk.
constexpr size_t kMostAttachments = 0xFFFF;
constexpr size_t kMostPath = MAX_PATH - 1;
constexpr size_t kMostNotesPath = notes::MAXPATH - 1;  // LMBCS bytes, the NUL left out

bool IsLead(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

WORD WordAt(const char* p) {
    WORD w = 0;
    std::memcpy(&w, p, sizeof w);
    return w;
}

notes::DWORD DwordAt(const char* p) {
    notes::DWORD d = 0;
    std::memcpy(&d, p, sizeof d);
    return d;
}

// What the program needs of a FILEOBJECT.
struct FileObject {
    std::string lmbcsName;
    notes::DWORD size = 0;
};

// Reads the FILEOBJECT of a $FILE value (its type word first); false for a value that is not
// a file's, or too short to hold what it says it holds.
bool ReadFileObject(const BLOCKID& value, notes::DWORD valueLength, FileObject& file) {
    if (valueLength < sizeof(WORD) + fileobject::kSize) return false;
    const char* pool = static_cast<const char*>(Api().OSLockObject(value.pool));
    if (pool == nullptr) return false;
    const char* object = pool + value.block + sizeof(WORD);
    const WORD objectType =
        static_cast<WORD>(WordAt(object + fileobject::kObjectType) & ~notes::OBJECT_TYPE_FLAGS);
    const WORD nameLength = WordAt(object + fileobject::kFileNameLength);
    const bool whole =
        objectType == notes::OBJECT_FILE && sizeof(WORD) + fileobject::kSize + nameLength <= valueLength;
    if (whole) {
        file.size = DwordAt(object + fileobject::kFileSize);
        file.lmbcsName.assign(object + fileobject::kSize, nameLength);
    }
    Api().OSUnlockObject(value.pool);
    return whole;
}

// Whether a file of `size` bytes stands at `path`: what the library says it wrote is counted
// only when it is there, as a name Windows takes for a device would leave nothing behind.
bool FileStands(const std::string& path, notes::DWORD size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && data.nFileSizeHigh == 0 &&
           data.nFileSizeLow == size;
}

// Whether a refused extraction met a full disk: too little room left for the file. Any other
// failure is the one file's.
bool DiskIsFull(const std::string& folder, notes::DWORD fileSize) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return false;
    return available.QuadPart <= fileSize;
}

}  // namespace

std::string NoteFolderName(NOTEID id) {
    char name[kNoteFolderLength + 1];
    std::snprintf(name, sizeof name, "NT%08lX", static_cast<unsigned long>(id));
    return name;
}

CAttachmentWriter::CAttachmentWriter(std::string folder, std::string cellPrefix)
    : m_folder(std::move(folder)), m_cellPrefix(std::move(cellPrefix)) {}

AttachmentFileName CAttachmentWriter::FittingName(const std::string& original,
                                                  const std::string& noteFolder) const {
    const auto lmbcsLength = [](const std::string& native) {
        return Translated(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, native).size();
    };
    const size_t reserved = lmbcsLength(noteFolder + "\\") + kNumberRoom + (sizeof kPartialTag - 1);
    const size_t lmbcsRoom = reserved < kMostNotesPath ? kMostNotesPath - reserved : 0;
    const auto fits = [&](const AttachmentFileName& name) {
        return lmbcsLength(name.stem + name.extension) <= lmbcsRoom;
    };
    AttachmentFileName safe = MakeAttachmentFileName(original, NameRoom(), IsLead);
    if (fits(safe)) return safe;
    // The longest native room whose name fits: a shorter room never makes a longer name.
    size_t low = 0;
    size_t high = NameRoom();
    while (low + 1 < high) {
        const size_t middle = low + (high - low) / 2;
        (fits(MakeAttachmentFileName(original, middle, IsLead)) ? low : high) = middle;
    }
    return MakeAttachmentFileName(original, low, IsLead);
}

size_t CAttachmentWriter::NameRoom() const {
    const size_t used = m_folder.size() + 1 + kNoteFolderLength + 1 + kNumberRoom + (sizeof kPartialTag - 1);
    return used < kMostPath ? kMostPath - used : 0;
}

AttachmentResult CAttachmentWriter::WriteAll(CNsfNote& note, NOTEID id) {
    AttachmentResult result;
    const std::string folderName = NoteFolderName(id);
    const std::string noteFolder = m_folder + "\\" + folderName;
    const WORD nameLength = sizeof notes::ITEM_NAME_ATTACHMENT - 1;
    // The partial names are names of the folder too: no file takes another's.
    CNameBook names(kPartialTag);
    // The files the library wrote, checked when the note is done.
    struct Written {
        std::string original;
        std::string path;  // the partial name's
        std::string name;  // the final name
        notes::DWORD size;
    };
    std::vector<Written> written;
    bool folderMade = false;
    bool folderCreated = false;
    BLOCKID item{};
    WORD type = 0;
    BLOCKID value{};
    notes::DWORD valueLength = 0;
    STATUS status = Api().NSFItemInfo(note.m_hNote, notes::ITEM_NAME_ATTACHMENT, nameLength, &item, &type,
                                      &value, &valueLength);
    for (size_t count = 0; count < kMostAttachments; ++count) {
        if ((status & notes::ERR_MASK) == notes::ERR_ITEM_NOT_FOUND) break;
        if (status != 0) {
            // The walk cannot go on: what it has not reached is not written, and says so.
            result.failures.push_back({std::string(), status, {}});
            break;
        }
        FileObject file;
        if (type != notes::TYPE_OBJECT || !ReadFileObject(value, valueLength, file)) {
            // A $FILE item that holds no file object of its own, or one too short for what it
            // says: its file cannot be written, and is counted so.
            result.failures.push_back(
                {notes::ITEM_NAME_ATTACHMENT + std::string(" #") + std::to_string(count + 1), 0,
                 "the item's value is not a whole file object (type " + std::to_string(type) + ", " +
                     std::to_string(valueLength) + " bytes)"});
        } else {
            const std::string original = Translated(notes::OS_TRANSLATE_LMBCS_TO_NATIVE, file.lmbcsName);
            const AttachmentFileName safe = FittingName(original, noteFolder);
            const std::string name = names.Claim(safe.stem, safe.extension);
            // The note's folder is made for its first file; one already there is used as it is.
            if (!folderMade) {
                folderCreated = CreateDirectoryA(noteFolder.c_str(), nullptr) != FALSE;
                folderMade = folderCreated || GetLastError() == ERROR_ALREADY_EXISTS;
            }
            const std::string stem = name.substr(0, name.size() - safe.extension.size());
            const std::string path = noteFolder + "\\" + stem + kPartialTag + safe.extension;
            std::string lmbcsPath = Translated(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, path);
            const STATUS extracted =
                Api().NSFNoteExtractFile(note.m_hNote, item, lmbcsPath.c_str(), note.AttachmentKey());
            if (extracted == 0) {
                written.push_back({original, path, name, file.size});
            } else {
                result.failures.push_back({original, extracted, {}});
                // A sealed or changed file, or an object missing or cut short in the database, is
                // the file's own failure whatever the disk holds: a damaged FILEOBJECT's size may
                // be anything, and would make any disk look full.
                const STATUS code = extracted & notes::ERR_MASK;
                if (code != notes::ERR_NOEXTRACT_ENCRYPTED && code != notes::ERR_NOTE_BADATTSIGN &&
                    code != notes::ERR_BADOBJECT && code != notes::ERR_OBJECT_TRUNCATED &&
                    DiskIsFull(m_folder, file.size)) {
                    result.diskFull = extracted;
                    break;
                }
            }
        }
        status = Api().NSFItemInfoNext(note.m_hNote, item, notes::ITEM_NAME_ATTACHMENT, nameLength, &item,
                                       &type, &value, &valueLength);
    }
    // Counted as written is what stands under its name, at its size, once the note is done.
    for (const Written& file : written) {
        if (!FileStands(file.path, file.size)) {
            result.failures.push_back(
                {file.original, 0,
                 "no file of " + std::to_string(file.size) + " bytes stands at " + file.path});
            continue;
        }
        ++result.written;
        m_staged.push_back({file.path, noteFolder + "\\" + file.name});
        result.paths.push_back(m_cellPrefix + folderName + "\\" + file.name);
        if (!result.cell.empty()) result.cell += kCellSeparator;
        result.cell += result.paths.back();
    }
    // A folder made for files none of which could be written would only suggest there were none.
    if (folderCreated && result.written == 0) RemoveDirectoryA(noteFolder.c_str());
    if (folderCreated && result.written != 0) m_madeFolders.push_back(noteFolder);
    return result;
}

int SettleStagedFiles(const std::vector<StagedFile>& files, std::string& failed) {
    for (const StagedFile& file : files) {
        if (!MoveFileExA(file.staged.c_str(), file.final.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            failed = file.final;
            return FileErrorCauseFromOsError(GetLastError());
        }
    }
    return kFileErrNone;
}

size_t DiscardStagedFiles(const std::vector<StagedFile>& files, const std::vector<std::string>& madeFolders) {
    size_t removed = 0;
    for (const StagedFile& file : files) removed += DeleteFileA(file.staged.c_str()) ? 1 : 0;
    for (auto folder = madeFolders.rbegin(); folder != madeFolders.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
    return removed;
}
