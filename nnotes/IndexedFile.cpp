#include "IndexedFile.h"

#include "LittleEndian.h"

#include "notes/NotesApi.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace nnotes {

const char kIndexedMagic[8] = {'Q', 'S', 'N', 'O', 'T', 'E', 'S', '2'};

namespace {

constexpr uint16_t kKnownFlags = kEntrySigned | kEntrySealed | kEntryUndecryptable | kEntryAttachments |
                                 kEntrySignatureBroken | kEntryNewerEncryption | kEntryIdentity;
constexpr uint16_t kKnownAttachmentFlags =
    kAttachmentSealed | kAttachmentBadSignature | kAttachmentMissingObject | kAttachmentTruncatedObject;

// An entry as the table holds it: id, class, flags, modified (2 DWORDs), record offset,
// record length, a reserved DWORD.
bool DecodeEntry(const uint8_t* p, uint64_t fileSize, IndexEntry* entry) {
    entry->id = ReadLeDword(p);
    const uint16_t noteClass = ReadLeWord(p + 4);
    entry->flags = ReadLeWord(p + 6);
    entry->modified.innards[0] = ReadLeDword(p + 8);
    entry->modified.innards[1] = ReadLeDword(p + 12);
    entry->offset = ReadLeQword(p + 16);
    entry->length = ReadLeDword(p + 24);
    return entry->id != 0 && noteClass == notes::NOTE_CLASS_DOCUMENT && (entry->flags & ~kKnownFlags) == 0 &&
           ((entry->flags & kEntryUndecryptable) == 0 || (entry->flags & kEntrySealed) != 0) &&
           ((entry->flags & kEntryNewerEncryption) == 0 || (entry->flags & kEntrySealed) != 0) &&
           ((entry->flags & kEntrySignatureBroken) == 0 || (entry->flags & kEntrySigned) != 0) &&
           entry->offset <= fileSize && entry->length <= fileSize - entry->offset && ReadLeDword(p + 28) == 0;
}

std::string EncodeEntry(const IndexEntry& entry) {
    std::string s;
    PutDword(s, entry.id);
    PutWord(s, notes::NOTE_CLASS_DOCUMENT);
    PutWord(s, entry.flags);
    PutDword(s, entry.modified.innards[0]);
    PutDword(s, entry.modified.innards[1]);
    PutQword(s, entry.offset);
    PutDword(s, entry.length);
    PutDword(s, 0);
    return s;
}

// Reads a record front to back; every read is checked against what is left.
class RecordReader {
public:
    explicit RecordReader(const std::string& bytes)
        : m_p(reinterpret_cast<const uint8_t*>(bytes.data())), m_left(bytes.size()) {}
    bool Word(uint16_t* v) {
        if (m_left < 2) return false;
        *v = ReadLeWord(m_p);
        Skip(2);
        return true;
    }
    bool Dword(uint32_t* v) {
        if (m_left < 4) return false;
        *v = ReadLeDword(m_p);
        Skip(4);
        return true;
    }
    bool Byte(uint8_t* v) {
        if (m_left < 1) return false;
        *v = *m_p;
        Skip(1);
        return true;
    }
    bool Bytes(size_t n, std::string* out) {
        if (m_left < n) return false;
        out->assign(reinterpret_cast<const char*>(m_p), n);
        Skip(n);
        return true;
    }
    bool done() const { return m_left == 0; }

private:
    void Skip(size_t n) {
        m_p += n;
        m_left -= n;
    }
    const uint8_t* m_p;
    size_t m_left;
};

}  // namespace

bool ParseRecord(const IndexEntry& entry, const std::string& record, Note* note) {
    RecordReader r(record);
    uint16_t itemCount = 0, faultCount = 0;
    if (!r.Word(&itemCount) || !r.Word(&faultCount)) return false;
    note->id = entry.id;
    note->noteClass = notes::NOTE_CLASS_DOCUMENT;
    note->isSigned = (entry.flags & kEntrySigned) != 0;
    note->isSealed = (entry.flags & kEntrySealed) != 0;
    note->undecryptable = (entry.flags & kEntryUndecryptable) != 0;
    note->signatureBroken = (entry.flags & kEntrySignatureBroken) != 0;
    note->newerEncryption = (entry.flags & kEntryNewerEncryption) != 0;
    note->modified = entry.modified;
    for (uint16_t i = 0; i < faultCount; ++i) {
        uint8_t nameLength = 0;
        uint16_t status = 0;
        std::string name;
        if (!r.Byte(&nameLength) || !r.Bytes(nameLength, &name) || !r.Word(&status)) return false;
        if (!IsFaultOperation(name) || status == 0) return false;
        note->faults[name] = status;
    }
    note->items.resize(itemCount);
    for (Item& item : note->items) {
        uint16_t nameLength = 0;
        uint32_t dataLength = 0;
        if (!r.Word(&nameLength) || !r.Word(&item.type) || !r.Word(&item.flags) || !r.Dword(&dataLength) ||
            nameLength == 0 || !r.Bytes(nameLength, &item.name) || !r.Bytes(dataLength, &item.data)) {
            return false;
        }
    }
    if ((entry.flags & kEntryAttachments) != 0) {
        uint16_t count = 0;
        if (!r.Word(&count) || count == 0) return false;
        note->attachments.resize(count);
        for (Attachment& attachment : note->attachments) {
            uint16_t flags = 0;
            uint32_t length = 0;
            if (!r.Dword(&attachment.rrv) || !r.Word(&flags) || !r.Dword(&length) ||
                !r.Bytes(length, &attachment.bytes) || attachment.rrv == 0 ||
                (flags & ~kKnownAttachmentFlags) != 0 ||
                note->FindAttachment(attachment.rrv) != &attachment) {
                return false;
            }
            attachment.sealed = (flags & kAttachmentSealed) != 0;
            attachment.badSignature = (flags & kAttachmentBadSignature) != 0;
            attachment.missingObject = (flags & kAttachmentMissingObject) != 0;
            attachment.truncatedObject = (flags & kAttachmentTruncatedObject) != 0;
        }
    }
    // A UNID the file gave is kept; any other is made from the id and the modification time,
    // as when the document was read from the JSON form.
    if ((entry.flags & kEntryIdentity) != 0) {
        uint32_t* parts[] = {&note->unid.file.innards[0], &note->unid.file.innards[1],
                             &note->unid.note.innards[0], &note->unid.note.innards[1]};
        for (uint32_t* part : parts) {
            if (!r.Dword(part)) return false;
        }
        note->unidGiven = true;
    }
    FinishIdentity(note);
    return r.done();
}

bool DocumentFile::ReadAt(HANDLE file, uint64_t offset, void* buffer, size_t size) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 24));
        DWORD got = 0;
        if (!ReadFile(file, p, want, &got, &at) || got == 0) return false;
        p += got;
        offset += got;
        size -= got;
    }
    return true;
}

DocumentFile::DocumentFile(HANDLE file, uint64_t fileSize, uint64_t indexOffset, uint64_t count)
    : m_file(file), m_fileSize(fileSize), m_indexOffset(indexOffset), m_count(count) {}

DocumentFile::~DocumentFile() { CloseHandle(m_file); }

Status DocumentFile::Open(HANDLE file, uint64_t fileSize, uint64_t indexOffset, uint64_t count,
                          std::shared_ptr<DocumentFile>* out) {
    if (indexOffset < kIndexedHeaderSize || indexOffset > fileSize ||
        count > (fileSize - indexOffset) / kIndexEntrySize || count > std::numeric_limits<NoteId>::max()) {
        CloseHandle(file);
        return kErrDamaged;
    }
    out->reset(new DocumentFile(file, fileSize, indexOffset, count));
    return kNoError;
}

Status DocumentFile::ReadEntries(uint64_t first, size_t n, std::vector<IndexEntry>* out) {
    std::vector<uint8_t> bytes(n * kIndexEntrySize);
    if (!ReadAt(m_file, m_indexOffset + first * kIndexEntrySize, bytes.data(), bytes.size()))
        return kErrDamaged;
    out->resize(n);
    for (size_t i = 0; i < n; ++i) {
        if (!DecodeEntry(&bytes[i * kIndexEntrySize], m_fileSize, &(*out)[i])) return kErrDamaged;
        if (i > 0 && (*out)[i - 1].id >= (*out)[i].id) return kErrDamaged;
    }
    return kNoError;
}

Status DocumentFile::LoadBlock(uint64_t first) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kBlockEntries, m_count - first));
    m_block.clear();
    if (Status s = ReadEntries(first, n, &m_block)) return s;
    m_blockFirst = first;
    return kNoError;
}

Status DocumentFile::Find(NoteId id, IndexEntry* entry, bool* found) {
    *found = false;
    if (m_count == 0) return kNoError;
    auto inBlock = [&]() { return !m_block.empty() && m_block.front().id <= id && id <= m_block.back().id; };
    // An export asks for the documents in table order: the next block is the likely one.
    if (!inBlock() && !m_block.empty() && id > m_block.back().id && m_blockFirst + m_block.size() < m_count) {
        if (Status s = LoadBlock(m_blockFirst + m_block.size())) return s;
    }
    if (!inBlock()) {
        // The last entry whose id is not above `id`, by halving over the table on disk.
        uint64_t low = 0, high = m_count;
        while (high - low > 1) {
            const uint64_t mid = low + (high - low) / 2;
            std::vector<IndexEntry> one;
            if (Status s = ReadEntries(mid, 1, &one)) return s;
            (one[0].id <= id ? low : high) = mid;
        }
        if (Status s = LoadBlock(low)) return s;
        if (!inBlock()) return kNoError;
    }
    auto it = std::lower_bound(m_block.begin(), m_block.end(), id,
                               [](const IndexEntry& e, NoteId v) { return e.id < v; });
    if (it != m_block.end() && it->id == id) {
        *entry = *it;
        *found = true;
    }
    return kNoError;
}

Status DocumentFile::ReadRecord(const IndexEntry& entry, std::string* record) {
    if (entry.offset >= m_windowOffset && entry.offset - m_windowOffset + entry.length <= m_window.size()) {
        record->assign(m_window, static_cast<size_t>(entry.offset - m_windowOffset), entry.length);
        return kNoError;
    }
    if (entry.length > kWindowSize) {
        record->resize(entry.length);
        return ReadAt(m_file, entry.offset, &(*record)[0], record->size()) ? kNoError : kErrDamaged;
    }
    m_window.resize(static_cast<size_t>(std::min<uint64_t>(kWindowSize, m_fileSize - entry.offset)));
    m_windowOffset = entry.offset;
    if (!ReadAt(m_file, entry.offset, &m_window[0], m_window.size())) {
        m_window.clear();
        return kErrDamaged;
    }
    record->assign(m_window, 0, entry.length);
    return kNoError;
}

Status DocumentFile::Read(NoteId id, std::shared_ptr<const Note>* out) {
    IndexEntry entry;
    bool found = false;
    std::string record;
    {
        std::lock_guard<SlimMutex> lock(m_mutex);
        if (Status s = Find(id, &entry, &found)) return s;
        if (!found) return kErrInvalidNoteId;
        if (Status s = ReadRecord(entry, &record)) return s;
    }
    auto note = std::make_shared<Note>();
    if (!ParseRecord(entry, record, note.get())) return kErrDamaged;
    *out = std::move(note);
    return kNoError;
}

Status DocumentFile::Scan(const std::function<Status(const IndexEntry&)>& visit) {
    std::vector<IndexEntry> block;
    NoteId previous = 0;
    for (uint64_t first = 0; first < m_count; first += kBlockEntries) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kBlockEntries, m_count - first));
        if (Status s = ReadEntries(first, n, &block)) return s;
        if (first > 0 && block.front().id <= previous) return kErrDamaged;
        for (const IndexEntry& entry : block) {
            if (Status s = visit(entry)) return s;
        }
        previous = block.back().id;
    }
    return kNoError;
}

IndexedFileWriter::~IndexedFileWriter() {
    if (m_out != nullptr) std::fclose(m_out);
}

bool IndexedFileWriter::Write(const void* bytes, size_t size) {
    if (std::fwrite(bytes, 1, size, m_out) != size) return false;
    m_position += size;
    return true;
}

bool IndexedFileWriter::Begin(const std::string& path, const std::string& head,
                              const std::vector<NoteId>& headIds, std::string* error) {
    m_out = std::fopen(path.c_str(), "wb");
    if (m_out == nullptr) {
        *error = "cannot create " + path;
        return false;
    }
    m_headIds = headIds;
    std::string header(kIndexedMagic, sizeof kIndexedMagic);
    PutDword(header, static_cast<uint32_t>(head.size()));
    PutDword(header, 0);
    PutQword(header, 0);  // the table's offset and count, written by Finish
    PutQword(header, 0);
    if (!Write(header.data(), header.size()) || !Write(head.data(), head.size())) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool IndexedFileWriter::Add(const Note& document, std::string* error) {
    if (document.id == 0 || document.items.size() > 0xFFFF || document.faults.size() > 0xFFFF) {
        *error = "a document without an id, or with too many items";
        return false;
    }
    std::string record;
    PutWord(record, static_cast<uint16_t>(document.items.size()));
    PutWord(record, static_cast<uint16_t>(document.faults.size()));
    for (const auto& fault : document.faults) {
        record.push_back(static_cast<char>(fault.first.size()));
        record += fault.first;
        PutWord(record, fault.second);
    }
    for (const Item& item : document.items) {
        if (item.name.empty() || item.name.size() > 0xFFFF || item.data.size() > 0xFFFFFFFFu) {
            *error = "an item name is empty or too long";
            return false;
        }
        PutWord(record, static_cast<uint16_t>(item.name.size()));
        PutWord(record, item.type);
        PutWord(record, item.flags);
        PutDword(record, static_cast<uint32_t>(item.data.size()));
        record += item.name;
        record += item.data;
    }
    if (!document.attachments.empty()) {
        if (document.attachments.size() > 0xFFFF) {
            *error = "a document with too many attachments";
            return false;
        }
        PutWord(record, static_cast<uint16_t>(document.attachments.size()));
        for (const Attachment& attachment : document.attachments) {
            if (attachment.bytes.size() > 0xFFFFFFFFu) {
                *error = "an attachment over 4 GB";
                return false;
            }
            PutDword(record, attachment.rrv);
            PutWord(record,
                    static_cast<uint16_t>((attachment.sealed ? kAttachmentSealed : 0) |
                                          (attachment.badSignature ? kAttachmentBadSignature : 0) |
                                          (attachment.missingObject ? kAttachmentMissingObject : 0) |
                                          (attachment.truncatedObject ? kAttachmentTruncatedObject : 0)));
            PutDword(record, static_cast<uint32_t>(attachment.bytes.size()));
            record += attachment.bytes;
        }
    }
    const bool identity = document.unidGiven || document.createdGiven;
    if (identity) {
        for (const TimeDate* part : {&document.unid.file, &document.unid.note}) {
            PutDword(record, part->innards[0]);
            PutDword(record, part->innards[1]);
        }
    }
    if (record.size() > 0xFFFFFFFFu) {
        *error = "a document record over 4 GB";
        return false;
    }
    IndexEntry entry;
    entry.id = document.id;
    entry.flags = static_cast<uint16_t>(
        (document.isSigned ? kEntrySigned : 0) | (document.isSealed ? kEntrySealed : 0) |
        (document.undecryptable ? kEntryUndecryptable : 0) |
        (document.signatureBroken ? kEntrySignatureBroken : 0) |
        (document.newerEncryption ? kEntryNewerEncryption : 0) |
        (document.attachments.empty() ? 0 : kEntryAttachments) | (identity ? kEntryIdentity : 0));
    entry.modified = document.modified;
    entry.offset = m_position;
    entry.length = static_cast<uint32_t>(record.size());
    m_entries.push_back(entry);
    if (!Write(record.data(), record.size())) {
        *error = "cannot write a document record";
        return false;
    }
    return true;
}

bool IndexedFileWriter::Finish(std::string* error) {
    std::sort(m_entries.begin(), m_entries.end(),
              [](const IndexEntry& a, const IndexEntry& b) { return a.id < b.id; });
    std::sort(m_headIds.begin(), m_headIds.end());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if ((i > 0 && m_entries[i - 1].id == m_entries[i].id) ||
            std::binary_search(m_headIds.begin(), m_headIds.end(), m_entries[i].id)) {
            *error = "two notes share the id " + std::to_string(m_entries[i].id);
            return false;
        }
    }
    const uint64_t indexOffset = m_position;
    for (const IndexEntry& entry : m_entries) {
        const std::string bytes = EncodeEntry(entry);
        if (!Write(bytes.data(), bytes.size())) {
            *error = "cannot write the document table";
            return false;
        }
    }
    std::string where;
    PutQword(where, indexOffset);
    PutQword(where, m_entries.size());
    const bool ok = std::fseek(m_out, 16, SEEK_SET) == 0 &&
                    std::fwrite(where.data(), 1, where.size(), m_out) == where.size();
    const bool closed = std::fclose(m_out) == 0;
    m_out = nullptr;
    if (!ok || !closed) *error = "cannot finish the file";
    return ok && closed;
}

bool PackDatabase(const std::string& head, const std::function<bool(std::string* document)>& next,
                  const std::string& path, std::string* error) {
    Database db;
    if (ParseJsonDatabase(head, &db) != kNoError || db.notes.size() != db.designOrder.size()) {
        *error = "the head is not a database without documents";
        return false;
    }
    std::vector<NoteId> headIds;
    NoteId highest = 0;
    for (const Note& note : db.notes) {
        headIds.push_back(note.id);
        highest = std::max(highest, note.id);
    }
    IndexedFileWriter writer;
    if (!writer.Begin(path, head, headIds, error)) return false;
    std::string text;
    Note document;
    // The UNID of every document so far: a response names its parent, which the lines give
    // before it.
    std::unordered_map<NoteId, Unid> unids;
    for (size_t number = 1; next(&text); ++number) {
        if (ParseJsonDocument(text, &document) != kNoError) {
            *error = "document " + std::to_string(number) + " is not a valid document";
            return false;
        }
        if (document.id == 0) document.id = NextNoteId(highest);
        highest = std::max(highest, document.id);
        FinishIdentity(&document);
        if (document.parent != 0) {
            const auto parent = unids.find(document.parent);
            if (parent == unids.end()) {
                *error = "document " + std::to_string(number) + ": its parent is no document before it";
                return false;
            }
            document.items.push_back(ParentReference(parent->second));
            document.parent = 0;
        }
        unids[document.id] = document.unid;
        if (!writer.Add(document, error)) return false;
    }
    return writer.Finish(error);
}

}  // namespace nnotes
