#include "notes/FieldRecords.h"

#include "notes/CompositeRecords.h"
#include "notes/NotesApi.h"

using namespace notes;

namespace {

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool ForEachFieldRecord(const void* value, size_t length,
                        const std::function<void(const FieldRecord&)>& visit) {
    const auto* bytes = static_cast<const uint8_t*>(value);
    if (bytes == nullptr || length < sizeof(uint16_t) || Word(bytes) != TYPE_COMPOSITE) return true;
    size_t pos = sizeof(uint16_t);
    while (pos < length) {
        const size_t left = length - pos;
        const uint8_t* record = bytes + pos;
        if (left < kBsigSize) return false;
        size_t header = kBsigSize;
        size_t recordLength = record[1];
        if (record[1] == kWordRecordLength) {
            header = kWsigSize;
            if (left < header) return false;
            recordLength = Word(record + 2);
        } else if (record[1] == kLongRecordLength) {
            header = kLsigSize;
            if (left < header) return false;
            recordLength = Dword(record + 2);
        }
        if (recordLength < header || recordLength > left) return false;
        if (Word(record) == SIG_CD_FIELD) {
            if (recordLength < kCdFieldSize) return false;
            const size_t before = size_t{Word(record + kCdFieldDvLength)} + Word(record + kCdFieldItLength) +
                                  Word(record + kCdFieldIvLength);
            const size_t nameLength = Word(record + kCdFieldNameLength);
            const size_t after =
                size_t{Word(record + kCdFieldDescLength)} + Word(record + kCdFieldTextValueLength);
            if (kCdFieldSize + before + nameLength + after > recordLength) return false;
            if (nameLength != 0) {
                const auto* name = reinterpret_cast<const char*>(record + kCdFieldSize + before);
                visit(FieldRecord{name, nameLength, Word(record + kCdFieldDataType)});
            }
        }
        // A record of odd length is followed by a pad byte; the last one may end the value
        // without it.
        pos += recordLength + (recordLength & 1u);
    }
    return true;
}

bool ForEachTextEntry(const void* value, size_t length,
                      const std::function<void(const char* text, size_t textLength)>& visit) {
    const auto* bytes = static_cast<const uint8_t*>(value);
    if (bytes == nullptr || length < sizeof(uint16_t)) return true;
    const uint16_t type = Word(bytes);
    const auto* text = reinterpret_cast<const char*>(bytes + sizeof(uint16_t));
    const size_t left = length - sizeof(uint16_t);
    if (type == TYPE_TEXT) {
        visit(text, left);
        return true;
    }
    if (type != TYPE_TEXT_LIST) return true;
    // LIST: WORD ListEntries, then one WORD length per entry, then the entries packed.
    if (left < sizeof(uint16_t)) return false;
    const size_t count = Word(bytes + sizeof(uint16_t));
    size_t pos = sizeof(uint16_t) + count * sizeof(uint16_t);
    if (pos > left) return false;
    for (size_t i = 0; i < count; ++i) {
        const size_t entryLength = Word(bytes + 2 * sizeof(uint16_t) + i * sizeof(uint16_t));
        if (entryLength > left - pos) return false;
        visit(text + pos, entryLength);
        pos += entryLength;
    }
    return true;
}
