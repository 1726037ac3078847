#pragma once
// One field of a form, and the value it has in the document being exported.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FieldEntry {
    FieldEntry() = default;
    FieldEntry(std::string fieldName, uint16_t dataType) : name(std::move(fieldName)), type(dataType) {}

    std::string name;       // native text
    std::string lmbcsName;  // the name as Notes looks it up, translated for the first document
    uint16_t type = 0;      // item data type as the scan reports it; carried, never decided on
    std::string value;      // CSV-safe text of the current document's item
    size_t lost = 0;        // characters of that item the native text could not hold
    bool cut = false;       // its Notes text filled the conversion buffer, so it was probably cut
    size_t cutLimit = 0;    // with `cut`, the limit it reached: the cell's buffer or the conversion's
    bool unjoined = false;  // only the first of several items of its name could be read
};

using FieldList = std::vector<FieldEntry>;
