#pragma once
// The fixed buffers that Notes texts pass through on their way to the program, NUL included.
// Each is as large as what the Notes call behind it can hand over; what is longer is cut
// inside the buffer on a character boundary.

#include <cstddef>

namespace notes {

// OSGetEnvironmentString: a notes.ini value of up to 780 bytes.
constexpr size_t kConfigValueSize = 781;
// The database title from NSFDbInfoGet, in native text.
constexpr size_t kDatabaseTitleSize = 128;
// A design note's $TITLE: up to 129 bytes of it are kept.
constexpr size_t kFormTitleSize = 130;
// A form name in LMBCS: a title of 129 native bytes grows to at most 390.
constexpr size_t kFormNameLmbcsSize = 391;
// An item name from the item scan.
constexpr size_t kScanItemNameSize = 256;
// An item name in LMBCS, for NSFItemConvertToText.
constexpr size_t kConvertItemNameSize = 255;
// An item's value as text, before and after its translation.
constexpr size_t kItemTextSize = 64000;
// The text of a status from OSLoadString.
constexpr size_t kStatusTextSize = 1024;

}  // namespace notes
