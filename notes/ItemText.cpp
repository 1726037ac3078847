#include "notes/ItemText.h"

#include <cstring>

void MakeCsvSafe(char* text, size_t capacity) {
    const size_t length = strnlen(text, capacity);
    // Neither byte can be the second byte of a double-byte character, so a byte-wise pass
    // is safe for Shift_JIS.
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == ',') text[i] = ';';
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\n') continue;
        text[i] = ' ';
        // Only a carriage return before the line feed belongs to the line break; any other
        // byte is the text's last character (or half of one) and stays.
        if (i > 0 && text[i - 1] == '\r') text[i - 1] = ' ';
    }
}
