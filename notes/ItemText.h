#pragma once
// Makes an item's text safe for an unquoted comma-separated line. Free of any library
// call so that it can be tested and fuzzed on its own.

#include <cstddef>

// Works in place on the NUL-terminated text of a buffer of `capacity` bytes: every ","
// becomes ";", every line feed and every carriage return a blank (so CR LF becomes two
// blanks). The text is read only up to the buffer's end.
void MakeCsvSafe(char* text, size_t capacity);
