#pragma once
// Where LMBCS characters end, and how many characters of an LMBCS text did not survive its
// translation to native text. Free of any library call so that it can be tested and fuzzed
// on its own.

#include <cstddef>

// True when the text is made only of bytes that LMBCS and every native code page the
// program meets write alike (ASCII letters, digits, marks, tab, line feed, carriage
// return): such a text cannot lose a character in translation.
bool IsPlainAscii(const char* text, size_t length);
// Whether every byte is a printable ASCII character (0x20 to 0x7E), which LMBCS and every
// native code page hold as the same byte; an empty text is.
bool IsPrintableAscii(const char* text, size_t length);

// Bytes of the LMBCS character at `text`, of which `avail` (at least 1) can be read; a
// character cut short by the end counts as the bytes that remain.
size_t LmbcsCharacterLength(const char* text, size_t avail);

// The length of the whole LMBCS characters at the start of `text`. A copy cut at a fixed
// byte count may end inside a character; its first bytes alone would reach the translation
// as a group byte of their own and come out as a control character.
size_t WholeCharacterLength(const char* text, size_t length);

// The length of the whole characters at the start of `text` that fit `limit` bytes, a
// surrogate pair (two Unicode-group characters) never parted: a piece of a text translated on
// its own ends where a character does.
size_t WholeCharactersWithin(const char* text, size_t length, size_t limit);

// Compares an LMBCS text with the same text translated to native text and back, character
// by character, and returns how many characters of `original` the round trip does not hold:
// each one that came back different (a replacement or a look-alike), and each one that did
// not come back at all (a text cut short). A surrogate pair (two Unicode-group characters)
// counts as the one character it is.
size_t CountLostCharacters(const char* original, size_t originalLength, const char* roundTrip,
                           size_t roundTripLength);
