#include "attachments/AttachmentWriter.h"

#include "attachments/AttachmentName.h"
#include "attachments/SafeName.h"
#include "notes/NotesBinding.h"
#include "notes/NsfNote.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

using notes::Api;
using notes::BLOCKID;
using notes::NOTEID;
using notes::STATUS;
using notes::TranslateInto;
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

std::string Translated(WORD mode, const std::string& text) {
    // A character may grow from one byte to three on its way into LMBCS.
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(TranslateInto(mode, text.data(), text.size(), &out[0], out.size()));
    return out;
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

size_t CAttachmentWriter::NameRoom() const {
    const size_t used = m_folder.size() + 1 + kNoteFolderLength + 1 + kNumberRoom;
    return used < kMostPath ? kMostPath - used : 0;
}

AttachmentResult CAttachmentWriter::WriteAll(CNsfNote& note, NOTEID id) const {
    AttachmentResult result;
    const std::string folderName = NoteFolderName(id);
    const std::string noteFolder = m_folder + "\\" + folderName;
    const WORD nameLength = sizeof notes::ITEM_NAME_ATTACHMENT - 1;
    CNameBook names;
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
            result.failures.push_back({std::string(), status});
            break;
        }
        FileObject file;
        if (type == notes::TYPE_OBJECT && ReadFileObject(value, valueLength, file)) {
            const std::string original = Translated(notes::OS_TRANSLATE_LMBCS_TO_NATIVE, file.lmbcsName);
            const AttachmentFileName safe = MakeAttachmentFileName(original, NameRoom(), IsLead);
            const std::string name = names.Claim(safe.stem, safe.extension);
            // The note's folder is made for its first file; one already there is used as it is.
            if (!folderMade) {
                folderCreated = CreateDirectoryA(noteFolder.c_str(), nullptr) != FALSE;
                folderMade = folderCreated || GetLastError() == ERROR_ALREADY_EXISTS;
            }
            const std::string path = noteFolder + "\\" + name;
            std::string lmbcsPath = Translated(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, path);
            const STATUS extracted =
                Api().NSFNoteExtractFile(note.m_hNote, item, lmbcsPath.c_str(), note.AttachmentKey());
            if (extracted == 0) {
                ++result.written;
                result.paths.push_back(m_cellPrefix + folderName + "\\" + name);
                if (!result.cell.empty()) result.cell += kCellSeparator;
                result.cell += result.paths.back();
            } else {
                result.failures.push_back({original, extracted});
                const STATUS code = extracted & notes::ERR_MASK;
                if (code != notes::ERR_NOEXTRACT_ENCRYPTED && code != notes::ERR_NOTE_BADATTSIGN &&
                    DiskIsFull(m_folder, file.size)) {
                    result.diskFull = extracted;
                    break;
                }
            }
        }
        status = Api().NSFItemInfoNext(note.m_hNote, item, notes::ITEM_NAME_ATTACHMENT, nameLength, &item,
                                       &type, &value, &valueLength);
    }
    // A folder made for files none of which could be written would only suggest there were none.
    if (folderCreated && result.written == 0) RemoveDirectoryA(noteFolder.c_str());
    return result;
}
