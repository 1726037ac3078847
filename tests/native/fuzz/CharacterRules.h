#pragma once
// Where characters end, written out from the definitions of the two character sets rather
// than taken from the runtime under test, so that a fuzz target's oracle cannot share a
// fault with the code it checks. Each function gives the length of the character at the
// front of `p`, of which `avail` bytes are left; a character cut short by the end of the
// text is as long as what is left of it.

#include <cstddef>

namespace rules {

// Code page 932 (Shift_JIS as Windows has it): 0x81-0x9F and 0xE0-0xFC lead a two-byte
// character (0xF0-0xFC being the user-defined and extension rows) whose second byte is
// 0x40-0x7E or 0x80-0xFC; every other byte is a character of its own, a lead byte before
// anything that cannot follow it included (the byte after it then starts the next
// character, as Windows and ICU read it). A NUL ends the text, so it never completes one.
inline size_t Cp932CharLength(const char* p, size_t avail) {
    if (avail == 0) return 0;
    const unsigned b = static_cast<unsigned char>(p[0]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (!lead || avail < 2) return 1;
    const unsigned t = static_cast<unsigned char>(p[1]);
    const bool trail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
    return trail ? 2 : 1;
}

// LMBCS: a byte from 0x20 up is a character of group 1 by itself, and so are NUL, TAB, LF,
// CR and 0x19. Below 0x20 the other bytes are group bytes: a single-byte group (0x01 code
// page 850, 0x02 851, 0x03 1255, 0x04 1256, 0x05 1251, 0x06 852, 0x08 857, 0x0B 874) or the
// control group 0x0F is followed by one byte; a double-byte group (0x10 Japanese, 0x11
// Korean, 0x12 traditional and 0x13 simplified Chinese) or the Unicode group 0x14 by two.
// A byte below 0x20 that names no group (0x07, 0x0C, 0x0E, 0x15-0x18, 0x1A-0x1F) stands alone.
inline size_t LmbcsCharLength(const char* p, size_t avail) {
    if (avail == 0) return 0;
    size_t want = 1;
    switch (static_cast<unsigned char>(p[0])) {
        case 0x01:
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x05:
        case 0x06:
        case 0x08:
        case 0x0B:
        case 0x0F:
            want = 2;
            break;
        case 0x10:
        case 0x11:
        case 0x12:
        case 0x13:
        case 0x14:
            want = 3;
            break;
        default:
            break;
    }
    return want < avail ? want : avail;
}

// LMBCS as text to translate: as LmbcsCharLength, but a character beyond U+FFFF, which the
// Unicode group 0x14 carries as its UTF-16 surrogate pair (a unit D800-DBFF, then one
// DC00-DFFF, each as three bytes), is the one character it stands for. The group gives a
// unit as its high and its low byte, or, where the low byte is zero, as 0xF6 and the high
// byte (ICU's form).
inline bool IsUnicodeUnitIn(const char* p, size_t avail, unsigned first, unsigned last) {
    if (avail < 3 || static_cast<unsigned char>(p[0]) != 0x14) return false;
    const unsigned b1 = static_cast<unsigned char>(p[1]);
    const unsigned b2 = static_cast<unsigned char>(p[2]);
    const unsigned unit = b1 == 0xF6 ? b2 << 8 : (b1 << 8) | b2;
    return unit >= first && unit <= last;
}

inline size_t LmbcsTextCharLength(const char* p, size_t avail) {
    if (IsUnicodeUnitIn(p, avail, 0xD800, 0xDBFF) && IsUnicodeUnitIn(p + 3, avail - 3, 0xDC00, 0xDFFF))
        return 6;
    return LmbcsCharLength(p, avail);
}

}  // namespace rules
