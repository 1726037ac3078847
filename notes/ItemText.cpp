#include "notes/ItemText.h"

#include <cstring>

void MakeCsvSafe(char* text, size_t capacity) {
    const size_t length = strnlen(text, capacity);
    // None of these bytes can be the second byte of a double-byte character, so a byte-wise
    // pass is safe for Shift_JIS. A line feed, a carriage return and the pair are each a line
    // break to a spreadsheet (Excel starts a row at a bare CR too): the pair becomes two
    // blanks, either alone one.
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == ',') {
            text[i] = ';';
        } else if (text[i] == '\n' || text[i] == '\r') {
            text[i] = ' ';
        }
    }
}
