#pragma once
// LMBCS, the character set Notes keeps text in, and its conversions to and from the
// process's ANSI code page and UTF-8.
//
// Encoding follows the Lotus Multi-Byte Character Set with optimisation group 1: bytes
// 0x20-0x7F and the Latin characters of code page 850 are single bytes; every other
// character is a group byte followed by its bytes in that group's code page (0x10 and two
// Shift_JIS bytes for Japanese, 0x02 for Greek, 0x05 for Cyrillic, ...), a control
// character is 0x0F and its code + 0x20, and what no group holds is 0x14 and UTF-16BE.
// Each character is encoded on its own, independent of its neighbours.

#include <cstddef>
#include <cstdint>
#include <string>

namespace nnotes {

// Bytes of the LMBCS character at `p`, of which `avail` (at least 1) are readable; a
// character cut short by the end counts as the bytes that remain.
size_t LmbcsCharLength(const char* p, size_t avail);

// Bytes of the ANSI-code-page character at `p` (at least 1, at most `avail`).
size_t NativeCharLength(const char* p, size_t avail);

// Whole-string conversions; the input ends at `length` bytes or at a NUL.
std::string NativeToLmbcs(const char* in, size_t length);
std::string LmbcsToNative(const char* in, size_t length);
std::string Utf8ToLmbcs(const std::string& utf8);
std::string LmbcsToUtf8(const std::string& lmbcs);

// The translations OSTranslate offers.
enum class Translation { kNativeToLmbcs, kLmbcsToNative, kLmbcsToUtf8 };

// OSTranslate's work: converts whole characters of `in` (a character beyond the 16-bit range,
// kept in LMBCS as its surrogate pair, is one) while they fit into `outSize` bytes, then adds
// a NUL when there is room left. Returns the bytes written, NUL excluded.
size_t TranslateBounded(Translation how, const char* in, size_t inLength, char* out, size_t outSize);
// toLmbcs: native to LMBCS; otherwise LMBCS to native.
inline size_t TranslateBounded(bool toLmbcs, const char* in, size_t inLength, char* out, size_t outSize) {
    return TranslateBounded(toLmbcs ? Translation::kNativeToLmbcs : Translation::kLmbcsToNative, in, inLength,
                            out, outSize);
}

// The longest prefix of `text` (LMBCS) of at most `limit` bytes that ends on a character
// boundary.
size_t LmbcsFit(const std::string& text, size_t limit);

}  // namespace nnotes
