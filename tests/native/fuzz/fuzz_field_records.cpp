// The walk over a $Body value's records on arbitrary bytes in a heap buffer of exactly the
// input's size: every field it reports has a nonzero name that lies wholly inside the value,
// after the record's fixed part, and the names come in ascending order (record order); a
// walk that reports no break has reported every CDFIELD of the value. The text-list walk of
// $SubForms and $Fields meets the same bytes and reads nothing outside them either.
#include "notes/CompositeRecords.h"
#include "notes/FieldRecords.h"

#include "FuzzCheck.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> value(new uint8_t[size]);
    if (size != 0) std::memcpy(value.get(), data, size);
    const char* begin = reinterpret_cast<const char*>(value.get());
    const char* end = begin + size;
    const char* previous = begin;
    size_t count = 0;
    ForEachFieldRecord(value.get(), size, [&](const FieldRecord& field) {
        QS_FUZZ_CHECK(field.nameLength != 0);
        QS_FUZZ_CHECK(field.name >= begin + sizeof(uint16_t) + notes::kCdFieldSize);
        QS_FUZZ_CHECK(field.name <= end && field.nameLength <= static_cast<size_t>(end - field.name));
        QS_FUZZ_CHECK(field.name >= previous);
        previous = field.name + field.nameLength;
        ++count;
    });
    // A second walk over the same bytes reports the same fields: the walk keeps no state.
    size_t again = 0;
    ForEachFieldRecord(value.get(), size, [&](const FieldRecord&) { ++again; });
    QS_FUZZ_CHECK(again == count);
    // The same bytes as the value of a $SubForms or $Fields item: every entry lies wholly
    // inside the value, after its length words, in ascending order.
    previous = begin;
    ForEachTextEntry(value.get(), size, [&](const char* text, size_t textLength) {
        QS_FUZZ_CHECK(text >= begin + sizeof(uint16_t) && text >= previous);
        QS_FUZZ_CHECK(text <= end && textLength <= static_cast<size_t>(end - text));
        previous = text + textLength;
    });
    return 0;
}
