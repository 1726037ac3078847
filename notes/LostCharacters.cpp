#include "notes/LostCharacters.h"

#include <cstring>

namespace {

constexpr unsigned char kTab = 0x09;
constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kCarriageReturn = 0x0D;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kFirstHighByte = 0x80;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kLotus123System = 0x19;        // a byte of its own, not a group
constexpr unsigned char kFirstDoubleByteGroup = 0x10;  // groups from here carry two bytes
constexpr unsigned char kUnicodeGroup = 0x14;          // UTF-16 big-endian after the group byte
constexpr size_t kUnicodeCharSize = 3;
constexpr unsigned char kUnicodeZeroLow = 0xF6;  // stands for a zero low byte, high byte after it
constexpr unsigned char kHighSurrogateFirst = 0xD8;
constexpr unsigned char kLowSurrogateFirst = 0xDC;
constexpr unsigned char kSurrogateMask = 0xFC;

bool IsUnicodeUnitWithLead(const char* text, size_t avail, unsigned char surrogate) {
    if (avail < kUnicodeCharSize || static_cast<unsigned char>(text[0]) != kUnicodeGroup) return false;
    const auto second = static_cast<unsigned char>(text[1]);
    const unsigned char high = second == kUnicodeZeroLow ? static_cast<unsigned char>(text[2]) : second;
    return (high & kSurrogateMask) == surrogate;
}

// Bytes of one whole character: a character beyond the 16-bit range is two Unicode-group
// characters in LMBCS, its surrogate pair, and it is one character all the same.
size_t CharacterSpan(const char* text, size_t avail) {
    if (IsUnicodeUnitWithLead(text, avail, kHighSurrogateFirst) &&
        IsUnicodeUnitWithLead(text + kUnicodeCharSize, avail - kUnicodeCharSize, kLowSurrogateFirst)) {
        return 2 * kUnicodeCharSize;
    }
    return LmbcsCharacterLength(text, avail);
}

}  // namespace

bool IsPlainAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= kFirstHighByte) return false;
        if (b < kFirstPrintable && b != kTab && b != kLineFeed && b != kCarriageReturn) return false;
    }
    return true;
}

bool IsPrintableAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < kFirstPrintable || b >= kDelete) return false;
    }
    return true;
}

namespace {

// The bytes the character led by `lead` takes. Below 0x20, all but NUL, tab, line feed,
// carriage return and 0x19 are group bytes: up to 0x0F with one byte after them, from 0x10
// with two.
size_t AnnouncedLength(unsigned char lead) {
    if (lead < kFirstPrintable && lead != 0x00 && lead != kTab && lead != kLineFeed &&
        lead != kCarriageReturn && lead != kLotus123System) {
        return lead < kFirstDoubleByteGroup ? 2 : 3;
    }
    return 1;
}

}  // namespace

size_t LmbcsCharacterLength(const char* text, size_t avail) {
    const size_t size = AnnouncedLength(static_cast<unsigned char>(text[0]));
    return size < avail ? size : avail;
}

size_t WholeCharacterLength(const char* text, size_t length) {
    size_t pos = 0;
    while (pos < length) {
        const size_t size = AnnouncedLength(static_cast<unsigned char>(text[pos]));
        if (pos + size > length) break;
        pos += size;
    }
    return pos;
}

size_t WholeCharactersWithin(const char* text, size_t length, size_t limit) {
    size_t pos = 0;
    while (pos < length) {
        const size_t size = CharacterSpan(text + pos, length - pos);
        if (pos + size > limit) break;
        pos += size;
    }
    return pos;
}

size_t CountLostCharacters(const char* original, size_t originalLength, const char* roundTrip,
                           size_t roundTripLength) {
    size_t lost = 0;
    size_t i = 0;
    size_t j = 0;
    while (i < originalLength) {
        const size_t a = CharacterSpan(original + i, originalLength - i);
        if (j >= roundTripLength) {
            ++lost;
        } else {
            const size_t b = CharacterSpan(roundTrip + j, roundTripLength - j);
            if (a != b || std::memcmp(original + i, roundTrip + j, a) != 0) ++lost;
            j += b;
        }
        i += a;
    }
    return lost;
}
