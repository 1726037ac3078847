#pragma once
// The indexed form of a database file, for databases too large to read whole at every open:
// a JSON-form head without documents (title, faults, design notes), then every document as
// a binary record, then a table of the documents in note id order. An open reads the head
// and nothing else; a document is read when it is opened, and the note table request reads
// the table in blocks. docs/nnotes-database-format.md describes the bytes.

#include "SlimMutex.h"
#include "Status.h"
#include "Store.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nnotes {

// The first 8 bytes of an indexed file.
extern const char kIndexedMagic[8];

constexpr size_t kIndexedHeaderSize = 32;
constexpr size_t kIndexEntrySize = 32;

// Flags of an index entry.
enum : uint16_t {
    kEntrySigned = 0x0001,
    kEntrySealed = 0x0002,
    kEntryUndecryptable = 0x0004,
    kEntryAttachments = 0x0008,  // the record's items are followed by its attached files
    kEntrySignatureBroken = 0x0010,
    kEntryNewerEncryption = 0x0020,
    kEntryIdentity = 0x0040,  // the record ends with the document's UNID, which the file gave
};

// Flags of an attached file in a record.
enum : uint16_t {
    kAttachmentSealed = 0x0001,
    kAttachmentBadSignature = 0x0002,
    kAttachmentMissingObject = 0x0004,
    kAttachmentTruncatedObject = 0x0008,
};

struct IndexEntry {
    NoteId id = 0;
    uint16_t flags = 0;
    TimeDate modified;
    uint64_t offset = 0;  // of the record, from the start of the file
    uint32_t length = 0;
};

// The documents of an open indexed file. Reads are positioned, so the open handles of one
// database may read at once; the block of the table last read is kept for the next look-up,
// which in an export is nearly always the following document.
class DocumentFile {
public:
    // Takes `file` (opened for reading); fails with 547 when the table does not lie inside it.
    static Status Open(HANDLE file, uint64_t fileSize, uint64_t indexOffset, uint64_t count,
                       std::shared_ptr<DocumentFile>* out);
    ~DocumentFile();
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    uint64_t count() const { return m_count; }
    // The document with this id: 0 and the note, kErrInvalidNoteId, or 547 for a broken record.
    Status Read(NoteId id, std::shared_ptr<const Note>* out);
    // Every entry in table order; 547 when the table is not in strictly ascending id order
    // or an entry is broken. Stops at the first nonzero status `visit` returns.
    Status Scan(const std::function<Status(const IndexEntry&)>& visit);

    // Reads `size` bytes at `offset` of an open file; false on a short read.
    static bool ReadAt(HANDLE file, uint64_t offset, void* buffer, size_t size);

private:
    DocumentFile(HANDLE file, uint64_t fileSize, uint64_t indexOffset, uint64_t count);
    Status ReadEntries(uint64_t first, size_t n, std::vector<IndexEntry>* out);
    Status Find(NoteId id, IndexEntry* entry, bool* found);
    Status LoadBlock(uint64_t first);

    Status ReadRecord(const IndexEntry& entry, std::string* record);

    static constexpr size_t kBlockEntries = 512;
    // Records are read ahead in windows of this size: the packer writes them in id order, so
    // an export finds the next documents' records already read.
    static constexpr size_t kWindowSize = 64 * 1024;

    SlimMutex m_mutex;  // the cached block and window
    HANDLE m_file;
    uint64_t m_fileSize;
    uint64_t m_indexOffset;
    uint64_t m_count;
    std::vector<IndexEntry> m_block;
    uint64_t m_blockFirst = 0;
    std::string m_window;
    uint64_t m_windowOffset = 0;
};

// Parses a document record into `note` (its id and flags come from the entry); false when
// the record is broken.
bool ParseRecord(const IndexEntry& entry, const std::string& record, Note* note);

// Writes an indexed file: the head, then each document as it comes, then the sorted table.
class IndexedFileWriter {
public:
    IndexedFileWriter() = default;
    ~IndexedFileWriter();
    IndexedFileWriter(const IndexedFileWriter&) = delete;
    IndexedFileWriter& operator=(const IndexedFileWriter&) = delete;

    // `head`: a JSON-form database without documents; `headIds`: the ids its notes got.
    bool Begin(const std::string& path, const std::string& head, const std::vector<NoteId>& headIds,
               std::string* error);
    // A document with its id set (nonzero, not yet used).
    bool Add(const Note& document, std::string* error);
    bool Finish(std::string* error);

private:
    bool Write(const void* bytes, size_t size);

    std::FILE* m_out = nullptr;
    uint64_t m_position = 0;
    std::vector<IndexEntry> m_entries;
    std::vector<NoteId> m_headIds;
};

// Writes to `path` the indexed form of a JSON-form database given as its head (a database
// without documents) and its document objects, one JSON text each, which `next` hands over
// until it returns false. Documents without an id get one as the JSON form gives it.
bool PackDatabase(const std::string& head, const std::function<bool(std::string* document)>& next,
                  const std::string& path, std::string* error);

}  // namespace nnotes
