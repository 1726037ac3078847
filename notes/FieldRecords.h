#pragma once
// The field definitions of a form: the CDFIELD records of a $Body item's value, and the
// entries of the text lists that name its subforms and fields. Free of any library call, so
// that the walks can be tested and fuzzed on their own.

#include <cstddef>
#include <cstdint>
#include <functional>

struct FieldRecord {
    const char* name;   // LMBCS, inside the walked value, not terminated
    size_t nameLength;  // nonzero
    uint16_t dataType;  // CDFIELD DataType: the item type the field stores (TYPE_xxx)
};

// Walks the records of an item value (its type word first) of `length` bytes and calls
// `visit` for each CDFIELD record that names a field, in record order. A value that is not
// TYPE_COMPOSITE has no records. Nothing outside the value is read: the walk stops at the
// first record whose header or length does not fit the value, and at a CDFIELD whose parts
// overrun its own length. Returns false when it stopped at such a broken record.
bool ForEachFieldRecord(const void* value, size_t length,
                        const std::function<void(const FieldRecord&)>& visit);

// Walks the entries of a text item value (its type word first) of `length` bytes: each entry
// of a TYPE_TEXT_LIST, or a TYPE_TEXT as its one entry; any other type has none. An entry is
// LMBCS, not terminated, and may be empty. Nothing outside the value is read: a list whose
// length words or entries overrun the value stops at the first entry that does not fit.
// Returns false when it stopped so.
bool ForEachTextEntry(const void* value, size_t length,
                      const std::function<void(const char* text, size_t textLength)>& visit);
