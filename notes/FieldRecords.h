#pragma once
// The field definitions of a form: the CDFIELD records of a $Body item's value. Free of any
// library call, so that the walk can be tested and fuzzed on its own.

#include <cstddef>
#include <cstdint>
#include <functional>

struct FieldRecord {
    const char* name;   // LMBCS, inside the walked value, not terminated
    size_t nameLength;  // nonzero
    uint16_t dataType;  // CDFIELD DataType
};

// Walks the records of an item value (its type word first) of `length` bytes and calls
// `visit` for each CDFIELD record that names a field, in record order. A value that is not
// TYPE_COMPOSITE has no records. Nothing outside the value is read: the walk stops at the
// first record whose header or length does not fit the value, and at a CDFIELD whose parts
// overrun its own length. Returns false when it stopped at such a broken record.
bool ForEachFieldRecord(const void* value, size_t length,
                        const std::function<void(const FieldRecord&)>& visit);

// The item type a field of this CDFIELD DataType stores (0 for a type that stores none).
// The reference gives DataType as a field type (FIELD_TYPE_xxx); a value from 0x0100 up is
// already an item type (the header calls it the "alleged NSF data type") and stays as it is.
uint16_t ItemTypeOfField(uint16_t dataType);
