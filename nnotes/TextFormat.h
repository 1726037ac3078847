#pragma once
// Item values as text, in the formats a Notes client on a Japanese system shows.

#include "Store.h"

#include <string>

namespace nnotes {

// 1234.5, -3, 0.001, 1.5E+20: up to 15 significant digits, no grouping, no trailing zeros.
std::string FormatNumber(double value);
// 2024/03/05 14:07:09, or 2024/03/05 for a date alone, 14:07:09 for a time of day alone.
std::string FormatTime(const TimeDate& td);

// The item's value as LMBCS text: lists joined by `separator` (nothing when it is NUL),
// rich text as its paragraphs joined by CR LF. False when the type has no text form.
bool ItemText(const Item& item, char separator, std::string* text);

}  // namespace nnotes
