#pragma once
// A form note as a designer saves it: $TITLE, $Flags, $Info (a CDDOCUMENT record) and one or more
// $Body items that hold, for each field, a paragraph, a text label and a CDFIELD record.

#include "Store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nnotes {

struct DesignedField {
    std::string name;   // LMBCS, nonzero length
    std::string label;  // LMBCS, the text before the field
    uint16_t dataType;  // CDFIELD DataType
    uint16_t flags;     // CDFIELD Flags
};

// The largest $Body item value (records only, after the type word) before the next field
// starts another $Body item, as Notes splits a large form; a field's records are never split.
constexpr size_t kDefaultBodyItemSize = 40000;
// The most bytes of records one item of a document's rich text holds, as Notes splits a long
// one into several items of the same name.
constexpr size_t kDefaultRichTextItemSize = 40000;

// The records of one field: CDPARAGRAPH, CDTEXT with the label, CDFIELD (tab order
// `tabOrder`), each of odd length followed by a pad byte.
std::string FieldRecords(const DesignedField& field, uint16_t tabOrder);
// The CDDOCUMENT record of $Info.
std::string DocumentRecord();
// The items of the form note: `title` (the summary's $TITLE, when there is one), `flags`
// (its $Flags, when given), $Info, and the $Body items, each at most `bodyItemSize` bytes of
// records unless one field alone needs more.
std::vector<Item> FormDesignItems(const Item* title, const Item* flags,
                                  const std::vector<DesignedField>& fields, size_t bodyItemSize);

}  // namespace nnotes
