#include "Lmbcs.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>

namespace nnotes {
namespace {

constexpr uint8_t kGroupControl = 0x0F;
constexpr uint8_t kGroupUnicode = 0x14;
// In the Unicode group a zero byte would end the text: a character whose low byte is zero is
// written as 0xF6 and its high byte instead (U+DE00 is 0x14 0xF6 0xDE), as ICU writes it.
constexpr uint8_t kUnicodeZeroLow = 0xF6;
constexpr uint8_t kFirstDoubleByteGroup = 0x10;
constexpr uint8_t kLastDoubleByteGroup = 0x13;

// Single-byte groups in the order they are tried, with the code page of each. Group 1
// needs no group byte: its characters are the bytes 0x80-0xFF themselves.
struct SingleByteGroup {
    uint8_t group;
    UINT codePage;
};
constexpr SingleByteGroup kSingleByteGroups[] = {
    {0x01, 850}, {0x02, 851}, {0x03, 1255}, {0x04, 1256}, {0x05, 1251}, {0x06, 852}, {0x08, 857}, {0x0B, 874},
};
struct DoubleByteGroup {
    uint8_t group;
    UINT codePage;
};
constexpr DoubleByteGroup kDoubleByteGroups[] = {{0x10, 932}, {0x11, 949}, {0x12, 950}, {0x13, 936}};

// Code page 851 (Greek) is not among the code pages Windows converts, so group 2 carries
// its upper half here. 0xFFFD marks the byte the code page leaves undefined.
constexpr uint16_t kCp851High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x0386, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x0388, 0x00C4, 0x0389, 0x038A, 0xFFFD, 0x038C, 0x00F4, 0x00F6, 0x038E, 0x00FB, 0x00F9, 0x038F, 0x00D6,
    0x00DC, 0x03AC, 0x00A3, 0x03AD, 0x03AE, 0x03AF, 0x03CA, 0x0390, 0x03CC, 0x03CD, 0x0391, 0x0392, 0x0393,
    0x0394, 0x0395, 0x0396, 0x0397, 0x00BD, 0x0398, 0x0399, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x039A, 0x039B, 0x039C, 0x039D, 0x2563, 0x2551, 0x2557, 0x255D, 0x039E, 0x039F, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x03A0, 0x03A1, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7, 0x03A8, 0x03A9, 0x03B1, 0x03B2, 0x03B3, 0x2518, 0x250C,
    0x2588, 0x2584, 0x03B4, 0x03B5, 0x2580, 0x03B6, 0x03B7, 0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
    0x03BE, 0x03BF, 0x03C0, 0x03C1, 0x03C3, 0x03C2, 0x03C4, 0x00B4, 0x00AD, 0x00B1, 0x03C5, 0x03C6, 0x03C7,
    0x00A7, 0x03C8, 0x00B8, 0x00B0, 0x00A8, 0x03C9, 0x03CB, 0x03B0, 0x03CE, 0x25A0, 0x00A0,
};

// The PC glyphs of code page 850's control bytes 0x01-0x1F, which group 1 carries after an
// explicit group byte (0x01 0x1C is the right angle, for instance).
constexpr uint16_t kCp850LowGlyphs[32] = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};

bool IsPrintableAsciiByte(char c) { return c >= 0x20 && c <= 0x7E; }

bool IsSingleByteGroup(uint8_t b) {
    for (const auto& g : kSingleByteGroups) {
        if (g.group == b) return true;
    }
    return false;
}

// Code points the lookups below keep once worked out: converting a million documents
// goes through the same few thousand characters again and again. A cached value of 0 means
// "not yet worked out"; the stored values are never 0 (their low byte is a length >= 1).
class PackedCache {
public:
    PackedCache() : m_slots(new std::atomic<uint32_t>[65536]) {
        for (size_t i = 0; i < 65536; ++i) m_slots[i].store(0, std::memory_order_relaxed);
    }
    uint32_t Get(uint16_t key) const { return m_slots[key].load(std::memory_order_relaxed); }
    void Put(uint16_t key, uint32_t value) { m_slots[key].store(value, std::memory_order_relaxed); }

private:
    std::unique_ptr<std::atomic<uint32_t>[]> m_slots;
};

uint32_t Pack(const uint8_t* bytes, size_t n) {
    uint32_t v = static_cast<uint32_t>(n);
    for (size_t i = 0; i < n && i < 3; ++i) v |= static_cast<uint32_t>(bytes[i]) << (8 * (i + 1));
    return v;
}
void AppendPacked(std::string& out, uint32_t v) {
    size_t n = v & 0xFF;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * (i + 1))) & 0xFF));
}

struct Tables {
    // Unicode of each upper-half byte of each single-byte group (index: group, byte - 0x80).
    std::array<std::array<uint16_t, 128>, 0x0C> singleHigh{};
    std::array<bool, 0x0C> singleAvailable{};
    std::array<bool, 4> doubleAvailable{};
    PackedCache unicodeToLmbcs;
    PackedCache unicodeToNative;
    PackedCache nativeToUnicode;  // keyed by a native code of one or two bytes
    bool nativeCacheable = false;
    UINT acp = CP_ACP;
};

Tables& GetTables() {
    static Tables* tables = [] {
        auto* t = new Tables();
        t->acp = GetACP();
        for (const auto& g : kSingleByteGroups) {
            auto& row = t->singleHigh[g.group];
            if (g.codePage == 851) {
                for (int i = 0; i < 128; ++i) row[i] = kCp851High[i];
                t->singleAvailable[g.group] = true;
                continue;
            }
            if (!IsValidCodePage(g.codePage)) continue;
            t->singleAvailable[g.group] = true;
            for (int i = 0; i < 128; ++i) {
                char b = static_cast<char>(0x80 + i);
                wchar_t w = 0;
                row[i] =
                    MultiByteToWideChar(g.codePage, MB_ERR_INVALID_CHARS, &b, 1, &w, 1) == 1 ? w : 0xFFFD;
            }
        }
        for (size_t i = 0; i < 4; ++i)
            t->doubleAvailable[i] = IsValidCodePage(kDoubleByteGroups[i].codePage) != 0;
        CPINFO info{};
        t->nativeCacheable = GetCPInfo(CP_ACP, &info) && info.MaxCharSize <= 2;
        return t;
    }();
    return *tables;
}

uint32_t EncodeUncached(Tables& t, uint16_t c) {
    uint8_t b[3];
    if (c == 0 || c == 0x09 || c == 0x0A || c == 0x0D || c == 0x19 || (c >= 0x20 && c <= 0x7F)) {
        b[0] = static_cast<uint8_t>(c);
        return Pack(b, 1);
    }
    if (c < 0x20 || (c >= 0x80 && c <= 0x9F)) {
        b[0] = kGroupControl;
        b[1] = static_cast<uint8_t>(c < 0x20 ? c + 0x20 : c);
        return Pack(b, 2);
    }
    if (c >= 0x2200 && c <= 0x22FF) {
        // Mathematical operators count as characters of any group, so group 1 comes first for
        // them, glyphs of its control bytes included; the other glyphs (arrows, shapes, card
        // suits) are looked for in the double-byte groups before it.
        for (uint8_t i = 1; i < 32; ++i) {
            if (kCp850LowGlyphs[i] == c) {
                b[0] = 0x01;
                b[1] = i;
                return Pack(b, 2);
            }
        }
    }
    if (c < 0xD800 || c > 0xDFFF) {
        for (const auto& g : kSingleByteGroups) {
            if (!t.singleAvailable[g.group]) continue;
            const auto& row = t.singleHigh[g.group];
            for (int i = 0; i < 128; ++i) {
                if (row[i] != c) continue;
                if (g.group == 0x01) {
                    b[0] = static_cast<uint8_t>(0x80 + i);
                    return Pack(b, 1);
                }
                b[0] = g.group;
                b[1] = static_cast<uint8_t>(0x80 + i);
                return Pack(b, 2);
            }
        }
        for (size_t gi = 0; gi < 4; ++gi) {
            if (!t.doubleAvailable[gi]) continue;
            const auto& g = kDoubleByteGroups[gi];
            wchar_t w = static_cast<wchar_t>(c);
            char mb[4];
            BOOL usedDefault = FALSE;
            int n = WideCharToMultiByte(g.codePage, WC_NO_BEST_FIT_CHARS, &w, 1, mb, sizeof mb, nullptr,
                                        &usedDefault);
            if (n < 1 || n > 2 || usedDefault) continue;
            wchar_t back = 0;
            if (MultiByteToWideChar(g.codePage, MB_ERR_INVALID_CHARS, mb, n, &back, 1) != 1 || back != w)
                continue;
            if (n == 2) {
                b[0] = g.group;
                b[1] = static_cast<uint8_t>(mb[0]);
                b[2] = static_cast<uint8_t>(mb[1]);
                return Pack(b, 3);
            }
            if (static_cast<uint8_t>(mb[0]) >= 0x80) {
                // A single-byte character of a double-byte group repeats the group byte.
                b[0] = g.group;
                b[1] = g.group;
                b[2] = static_cast<uint8_t>(mb[0]);
                return Pack(b, 3);
            }
        }
    }
    b[0] = kGroupUnicode;
    if ((c & 0xFF) == 0) {
        b[1] = kUnicodeZeroLow;
        b[2] = static_cast<uint8_t>(c >> 8);
    } else {
        b[1] = static_cast<uint8_t>(c >> 8);
        b[2] = static_cast<uint8_t>(c & 0xFF);
    }
    return Pack(b, 3);
}

void AppendUnicodeAsLmbcs(std::string& out, uint16_t c) {
    Tables& t = GetTables();
    uint32_t v = t.unicodeToLmbcs.Get(c);
    if (v == 0) {
        v = EncodeUncached(t, c);
        t.unicodeToLmbcs.Put(c, v);
    }
    AppendPacked(out, v);
}

void AppendUnicodeAsNative(std::string& out, uint16_t c) {
    Tables& t = GetTables();
    uint32_t v = t.unicodeToNative.Get(c);
    if (v == 0) {
        wchar_t w = static_cast<wchar_t>(c);
        char mb[8];
        int n = WideCharToMultiByte(CP_ACP, 0, &w, 1, mb, sizeof mb, nullptr, nullptr);
        if (n < 1 || n > 3) {
            mb[0] = '?';
            n = 1;
        }
        v = Pack(reinterpret_cast<const uint8_t*>(mb), static_cast<size_t>(n));
        t.unicodeToNative.Put(c, v);
    }
    AppendPacked(out, v);
}

// The UTF-16 unit of a Unicode-group character at `p` (group byte first, 3 bytes).
uint16_t UnicodeGroupUnit(const uint8_t* p) {
    return p[1] == kUnicodeZeroLow ? static_cast<uint16_t>(p[2] << 8)
                                   : static_cast<uint16_t>((p[1] << 8) | p[2]);
}

// The UTF-16 units of one LMBCS character (at most 2 are ever produced).
size_t DecodeLmbcsChar(const uint8_t* p, size_t n, uint16_t units[2]) {
    Tables& t = GetTables();
    uint8_t b = p[0];
    if (b >= 0x80) {
        units[0] = t.singleHigh[0x01][b - 0x80];
        return 1;
    }
    if (b >= 0x20 || n < 2) {
        units[0] = b;
        return 1;
    }
    if (b == kGroupControl) {
        uint8_t x = p[1];
        units[0] = (x >= 0x20 && x < 0x40) ? static_cast<uint16_t>(x - 0x20) : x;
        return 1;
    }
    if (IsSingleByteGroup(b)) {
        uint8_t x = p[1];
        if (b == 0x01 && x < 0x20) {
            units[0] = kCp850LowGlyphs[x];
        } else {
            units[0] = x >= 0x80 && t.singleAvailable[b] ? t.singleHigh[b][x - 0x80] : x;
        }
        return 1;
    }
    if (b >= kFirstDoubleByteGroup && b <= kLastDoubleByteGroup && n >= 3) {
        const auto& g = kDoubleByteGroups[b - kFirstDoubleByteGroup];
        char mb[2];
        int len = 2;
        if (p[1] == b) {
            mb[0] = static_cast<char>(p[2]);
            len = 1;
        } else {
            mb[0] = static_cast<char>(p[1]);
            mb[1] = static_cast<char>(p[2]);
        }
        wchar_t w[2];
        int got = MultiByteToWideChar(g.codePage, 0, mb, len, w, 2);
        if (got < 1) {
            units[0] = 0xFFFD;
            return 1;
        }
        units[0] = w[0];
        if (got == 2) units[1] = w[1];
        return static_cast<size_t>(got);
    }
    if (b == kGroupUnicode && n >= 3) {
        units[0] = UnicodeGroupUnit(p);
        return 1;
    }
    units[0] = b;
    return 1;
}

size_t BoundedLength(const char* in, size_t length) {
    size_t n = 0;
    while (n < length && in[n] != '\0') ++n;
    return n;
}

// Appends the LMBCS of one native character.
void AppendNativeCharAsLmbcs(std::string& out, const char* p, size_t len) {
    Tables& t = GetTables();
    const uint8_t* u = reinterpret_cast<const uint8_t*>(p);
    if (len == 1 && u[0] < 0x80) {
        // ASCII is the same in every ANSI code page the program meets.
        AppendUnicodeAsLmbcs(out, u[0]);
        return;
    }
    uint16_t key = 0;
    bool cacheable = t.nativeCacheable && len <= 2;
    if (cacheable) {
        key = static_cast<uint16_t>(len == 1 ? u[0] : ((u[0] << 8) | u[1]));
        // Single bytes 0x80-0xFF and double bytes (lead >= 0x81) never collide.
        uint32_t v = t.nativeToUnicode.Get(key);
        if (v != 0) {
            AppendUnicodeAsLmbcs(out, static_cast<uint16_t>(v >> 8));
            return;
        }
    }
    wchar_t w[4];
    int got = MultiByteToWideChar(CP_ACP, 0, p, static_cast<int>(len), w, 4);
    if (got < 1) {
        w[0] = L'?';
        got = 1;
    }
    if (cacheable && got == 1) t.nativeToUnicode.Put(key, (static_cast<uint32_t>(w[0]) << 8) | 1u);
    for (int i = 0; i < got; ++i) AppendUnicodeAsLmbcs(out, static_cast<uint16_t>(w[i]));
}

constexpr size_t kUnicodeCharSize = 3;

bool IsSurrogateUnit(const uint8_t* p, size_t n, uint16_t first, uint16_t last) {
    if (n < kUnicodeCharSize || p[0] != kGroupUnicode) return false;
    const uint16_t unit = UnicodeGroupUnit(p);
    return unit >= first && unit <= last;
}

// Bytes of one whole character going to native text: a character beyond the 16-bit range is
// its surrogate pair, two Unicode-group characters, and becomes one native character (or one
// replacement), never two.
size_t LmbcsCharSpan(const char* p, size_t avail) {
    const auto* u = reinterpret_cast<const uint8_t*>(p);
    if (IsSurrogateUnit(u, avail, 0xD800, 0xDBFF) &&
        IsSurrogateUnit(u + kUnicodeCharSize, avail - kUnicodeCharSize, 0xDC00, 0xDFFF)) {
        return 2 * kUnicodeCharSize;
    }
    return LmbcsCharLength(p, avail);
}

// The native form of a surrogate pair, or the replacement when the code page has none.
void AppendPairAsNative(std::string& out, const uint8_t* p) {
    const wchar_t pair[2] = {static_cast<wchar_t>(UnicodeGroupUnit(p)),
                             static_cast<wchar_t>(UnicodeGroupUnit(p + kUnicodeCharSize))};
    char mb[8];
    BOOL usedDefault = FALSE;
    // Code pages with a default character take the flag; UTF-8 does not.
    const bool utf8 = GetTables().acp == CP_UTF8;
    int n = WideCharToMultiByte(CP_ACP, 0, pair, 2, mb, sizeof mb, nullptr, utf8 ? nullptr : &usedDefault);
    if (n < 1 || usedDefault) {
        out.push_back('?');
        return;
    }
    out.append(mb, static_cast<size_t>(n));
}

void AppendLmbcsCharAsNative(std::string& out, const char* p, size_t len) {
    if (len == 2 * kUnicodeCharSize) {
        AppendPairAsNative(out, reinterpret_cast<const uint8_t*>(p));
        return;
    }
    uint16_t units[2];
    size_t n = DecodeLmbcsChar(reinterpret_cast<const uint8_t*>(p), len, units);
    if (n == 1 && units[0] >= 0xD800 && units[0] <= 0xDFFF) {
        // Half of a surrogate pair has no native form on its own.
        out.push_back('?');
        return;
    }
    for (size_t i = 0; i < n; ++i) AppendUnicodeAsNative(out, units[i]);
}

void AppendCodePointAsUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr uint32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
uint32_t CodePointOfPair(uint16_t high, uint16_t low) {
    return 0x10000 + ((static_cast<uint32_t>(high) - 0xD800) << 10) + (low - 0xDC00);
}

// The UTF-8 of one whole character as LmbcsCharSpan takes it: a surrogate pair becomes the one
// character it stands for; half of a pair alone is no character and becomes U+FFFD.
void AppendLmbcsCharAsUtf8(std::string& out, const char* p, size_t len) {
    const auto* u = reinterpret_cast<const uint8_t*>(p);
    if (len == 2 * kUnicodeCharSize) {
        AppendCodePointAsUtf8(out,
                              CodePointOfPair(UnicodeGroupUnit(u), UnicodeGroupUnit(u + kUnicodeCharSize)));
        return;
    }
    uint16_t units[2];
    const size_t n = DecodeLmbcsChar(u, len, units);
    if (n == 2 && IsHighSurrogate(units[0]) && IsLowSurrogate(units[1])) {
        AppendCodePointAsUtf8(out, CodePointOfPair(units[0], units[1]));
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        const bool half = IsHighSurrogate(units[i]) || IsLowSurrogate(units[i]);
        AppendCodePointAsUtf8(out, half ? kReplacementCharacter : units[i]);
    }
}

}  // namespace

size_t LmbcsCharLength(const char* p, size_t avail) {
    uint8_t b = static_cast<uint8_t>(p[0]);
    size_t want = 1;
    if (b < 0x20 && b != 0x00 && b != 0x09 && b != 0x0A && b != 0x0D && b != 0x19) {
        if (b == kGroupControl || IsSingleByteGroup(b)) {
            want = 2;
        } else if ((b >= kFirstDoubleByteGroup && b <= kLastDoubleByteGroup) || b == kGroupUnicode) {
            want = 3;
        }
    }
    return want < avail ? want : avail;
}

namespace {

// The second bytes of the double-byte code pages: 0x40-0x7E and 0x80-0xFC in code page 932;
// in 936, 949 and 950 none is below 0x40, and none is 0x7F or 0xFF.
bool IsDoubleByteTrail(UINT codePage, uint8_t b) {
    constexpr UINT kJapanese = 932;
    if (codePage == kJapanese) return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
    return b >= 0x40 && b != 0x7F && b != 0xFF;
}

}  // namespace

size_t NativeCharLength(const char* p, size_t avail) {
    Tables& t = GetTables();
    uint8_t b = static_cast<uint8_t>(p[0]);
    size_t want = 1;
    if (t.acp == CP_UTF8) {
        if (b >= 0xF0) {
            want = 4;
        } else if (b >= 0xE0) {
            want = 3;
        } else if (b >= 0xC0) {
            want = 2;
        }
    } else if (b >= 0x80 && IsDBCSLeadByteEx(t.acp, b)) {
        // A lead byte before a byte that can never follow one is a character of its own,
        // and that byte starts the next, as Windows reads such text.
        want = avail < 2 || IsDoubleByteTrail(t.acp, static_cast<uint8_t>(p[1])) ? 2 : 1;
    }
    if (want > avail) want = avail;
    // A NUL never belongs to a character: a lead byte before it stands alone.
    for (size_t i = 1; i < want; ++i) {
        if (p[i] == '\0') return i;
    }
    return want;
}

std::string NativeToLmbcs(const char* in, size_t length) {
    std::string out;
    size_t n = BoundedLength(in, length);
    out.reserve(n + n / 2);
    for (size_t i = 0; i < n;) {
        size_t len = NativeCharLength(in + i, n - i);
        AppendNativeCharAsLmbcs(out, in + i, len);
        i += len;
    }
    return out;
}

std::string LmbcsToNative(const char* in, size_t length) {
    std::string out;
    size_t n = BoundedLength(in, length);
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        size_t len = LmbcsCharSpan(in + i, n - i);
        AppendLmbcsCharAsNative(out, in + i, len);
        i += len;
    }
    return out;
}

std::string Utf8ToLmbcs(const std::string& utf8) {
    std::string out;
    if (utf8.empty()) return out;
    int wn = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wn > 0 ? wn : 0), L'\0');
    if (wn > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], wn);
    out.reserve(utf8.size());
    for (wchar_t c : w) {
        if (c == 0) break;
        AppendUnicodeAsLmbcs(out, static_cast<uint16_t>(c));
    }
    return out;
}

std::string LmbcsToUtf8(const std::string& lmbcs) {
    std::wstring w;
    for (size_t i = 0; i < lmbcs.size();) {
        size_t len = LmbcsCharLength(lmbcs.data() + i, lmbcs.size() - i);
        uint16_t units[2];
        size_t n = DecodeLmbcsChar(reinterpret_cast<const uint8_t*>(lmbcs.data() + i), len, units);
        for (size_t k = 0; k < n; ++k) w.push_back(static_cast<wchar_t>(units[k]));
        i += len;
    }
    if (w.empty()) return std::string();
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
}

size_t TranslateBounded(Translation how, const char* in, size_t inLength, char* out, size_t outSize) {
    const bool toLmbcs = how == Translation::kNativeToLmbcs;
    if (out == nullptr || outSize == 0) return 0;
    size_t n = in == nullptr ? 0 : BoundedLength(in, inLength);
    size_t written = 0;
    std::string piece;
    for (size_t i = 0; i < n;) {
        // Printable ASCII is the same byte in LMBCS and in every native code page met here:
        // copied as it stands, a run at a time.
        size_t run = 0;
        while (i + run < n && written + run < outSize && IsPrintableAsciiByte(in[i + run])) ++run;
        if (run != 0) {
            memcpy(out + written, in + i, run);
            written += run;
            i += run;
            continue;
        }
        size_t len = toLmbcs ? NativeCharLength(in + i, n - i) : LmbcsCharSpan(in + i, n - i);
        piece.clear();
        if (toLmbcs) {
            AppendNativeCharAsLmbcs(piece, in + i, len);
        } else if (how == Translation::kLmbcsToUtf8) {
            AppendLmbcsCharAsUtf8(piece, in + i, len);
        } else {
            AppendLmbcsCharAsNative(piece, in + i, len);
        }
        if (written + piece.size() > outSize) break;
        memcpy(out + written, piece.data(), piece.size());
        written += piece.size();
        i += len;
    }
    if (written < outSize) out[written] = '\0';
    return written;
}

size_t LmbcsFit(const std::string& text, size_t limit) {
    // Characters never run past the text's end, so a text within the limit fits whole.
    if (text.size() <= limit) return text.size();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t len = LmbcsCharLength(text.data() + pos, text.size() - pos);
        if (pos + len > limit) break;
        pos += len;
    }
    return pos;
}

}  // namespace nnotes
