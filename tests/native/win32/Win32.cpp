// The Win32 stand-in of the native build (see windows.h beside it).
#include <windows.h>

#include "CodePageTables.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <cerrno>
#include <ctime>
#include <vector>

namespace {

using qs_win32::CodePagePair;
using qs_win32::CodePageTable;

constexpr UINT kNativeCodePage = 932;
constexpr uint16_t kNoCharacter = 0xFFFF;
// What Windows gives for bytes that are no character of a double-byte code page (the
// katakana middle dot) and of a single-byte one.
constexpr uint16_t kDoubleByteDefault = 0x30FB;
constexpr uint16_t kSingleByteDefault = 0x003F;

const CodePageTable* FindTable(UINT codePage) {
    if (codePage == CP_ACP) codePage = kNativeCodePage;
    for (const auto& t : qs_win32::kCodePages) {
        if (t.codePage == codePage) return &t;
    }
    return nullptr;
}

uint16_t Lookup(const CodePagePair* pairs, unsigned count, uint16_t key) {
    const CodePagePair* end = pairs + count;
    const CodePagePair* it =
        std::lower_bound(pairs, end, key, [](const CodePagePair& p, uint16_t k) { return p.key < k; });
    return it != end && it->key == key ? it->value : kNoCharacter;
}

// Decodes UTF-8 into UTF-16 units; a malformed sequence gives U+FFFD, as Windows does.
std::vector<uint16_t> Utf8ToUtf16(const unsigned char* s, size_t n) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        size_t need = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            need = 1, cp = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3, cp = b & 0x07, min = 0x10000;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= need && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        if (k <= need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            i += k;
            continue;
        }
        i += k;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(cp));
        }
    }
    return out;
}

// Encodes UTF-16 units as UTF-8; a lone surrogate gives U+FFFD.
std::vector<char> Utf16ToUtf8(const wchar_t* w, size_t n) {
    std::vector<char> out;
    auto put = [&out](uint32_t cp) {
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
    };
    for (size_t i = 0; i < n; ++i) {
        const uint32_t u = static_cast<uint32_t>(w[i]) & 0xFFFF;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const uint32_t lo = static_cast<uint32_t>(w[i + 1]) & 0xFFFF;
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                put(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        put(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

// Copies `units` out as Windows does: with no room given, the size needed; otherwise all
// of it or failure (0) when it does not fit.
template <typename T, typename U>
int Deliver(const std::vector<T>& units, U* out, int outLength) {
    if (outLength == 0) return static_cast<int>(units.size());
    if (out == nullptr || units.size() > static_cast<size_t>(outLength)) return 0;
    for (size_t i = 0; i < units.size(); ++i) out[i] = static_cast<U>(units[i]);
    return static_cast<int>(units.size());
}

int Fd(HANDLE h) { return static_cast<int>(reinterpret_cast<intptr_t>(h)) - 1; }

}  // namespace

UINT GetACP() { return kNativeCodePage; }

BOOL IsValidCodePage(UINT codePage) {
    return codePage == CP_UTF8 || (codePage != CP_ACP && FindTable(codePage));
}

BOOL GetCPInfo(UINT codePage, CPINFO* info) {
    const CodePageTable* t = FindTable(codePage);
    if (t == nullptr || info == nullptr) return FALSE;
    *info = CPINFO{};
    info->MaxCharSize = t->maxCharSize;
    info->DefaultChar[0] = '?';
    return TRUE;
}

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    const CodePageTable* t = FindTable(codePage);
    return t != nullptr && t->lead[testChar] != 0;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR mb, int mbLength, LPWSTR wide, int wideLength) {
    if (mb == nullptr || wideLength < 0) return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(mb);
    size_t n = mbLength < 0 ? std::char_traits<char>::length(mb) + 1 : static_cast<size_t>(mbLength);
    if (codePage == CP_UTF8) return Deliver(Utf8ToUtf16(s, n), wide, wideLength);
    const CodePageTable* t = FindTable(codePage);
    if (t == nullptr) return 0;
    const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    const uint16_t fallback = t->maxCharSize == 2 ? kDoubleByteDefault : kSingleByteDefault;
    std::vector<uint16_t> units;
    for (size_t i = 0; i < n;) {
        uint16_t u = kNoCharacter;
        if (t->lead[s[i]] && i + 1 < n) {
            u = Lookup(t->decode, t->decodeCount, static_cast<uint16_t>((s[i] << 8) | s[i + 1]));
            // An invalid pair whose second byte is a character of its own gives the default
            // character for the lead byte alone and goes on with the second.
            i += u != kNoCharacter || t->single[s[i + 1]] == kNoCharacter || t->lead[s[i + 1]] ? 2 : 1;
        } else {
            u = t->single[s[i]];
            ++i;
        }
        if (u == kNoCharacter) {
            if (strict) return 0;
            u = fallback;
        }
        units.push_back(u);
    }
    return Deliver(units, wide, wideLength);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWCH wide, int wideLength, LPSTR mb, int mbLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    if (wide == nullptr || mbLength < 0) return 0;
    size_t n = wideLength < 0 ? std::char_traits<wchar_t>::length(wide) + 1 : static_cast<size_t>(wideLength);
    if (codePage == CP_UTF8) return Deliver(Utf16ToUtf8(wide, n), mb, mbLength);
    const CodePageTable* t = FindTable(codePage);
    if (t == nullptr) return 0;
    std::vector<char> bytes;
    for (size_t i = 0; i < n; ++i) {
        const uint16_t u = static_cast<uint16_t>(static_cast<uint32_t>(wide[i]) & 0xFFFF);
        const uint16_t code = u == 0 ? 0 : Lookup(t->encode, t->encodeCount, u);
        if (code == kNoCharacter) {
            bytes.push_back(defaultChar != nullptr ? defaultChar[0] : '?');
            if (usedDefaultChar != nullptr) *usedDefaultChar = TRUE;
        } else if (code > 0xFF) {
            bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
        } else {
            bytes.push_back(static_cast<char>(code));
        }
    }
    return Deliver(bytes, mb, mbLength);
}

HANDLE CreateFileA(LPCSTR path, DWORD /*access*/, DWORD /*share*/, SECURITY_ATTRIBUTES* /*security*/,
                   DWORD /*disposition*/, DWORD /*attributes*/, HANDLE /*templateFile*/) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    // Kept one above the descriptor so that descriptor 0 is not a null handle.
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) {
    struct stat st {};
    if (fstat(Fd(file), &st) != 0) return FALSE;
    size->QuadPart = st.st_size;
    return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, OVERLAPPED* overlapped) {
    ssize_t got;
    do {
        // With an OVERLAPPED on a handle opened for synchronous use, Windows reads at its
        // offset and leaves the file position alone, as pread does.
        got = overlapped != nullptr
                  ? ::pread(Fd(file), buffer, toRead,
                            static_cast<off_t>((static_cast<uint64_t>(overlapped->OffsetHigh) << 32) |
                                               overlapped->Offset))
                  : ::read(Fd(file), buffer, toRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return FALSE;
    if (read != nullptr) *read = static_cast<DWORD>(got);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) { return close(Fd(object)) == 0; }

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone) {
    if (zone == nullptr) return TIME_ZONE_ID_INVALID;
    *zone = TIME_ZONE_INFORMATION{};
    const time_t now = time(nullptr);
    std::tm l{};
    if (localtime_r(&now, &l) == nullptr) return TIME_ZONE_ID_INVALID;
    zone->Bias = static_cast<LONG>(-l.tm_gmtoff / 60);
    return TIME_ZONE_ID_UNKNOWN;
}

BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* /*zone*/, const SYSTEMTIME* utc,
                                     SYSTEMTIME* local) {
    if (utc == nullptr || local == nullptr) return FALSE;
    std::tm t{};
    t.tm_year = utc->wYear - 1900;
    t.tm_mon = utc->wMonth - 1;
    t.tm_mday = utc->wDay;
    t.tm_hour = utc->wHour;
    t.tm_min = utc->wMinute;
    t.tm_sec = utc->wSecond;
    const time_t moment = timegm(&t);
    std::tm l{};
    if (localtime_r(&moment, &l) == nullptr) return FALSE;
    *local = SYSTEMTIME{static_cast<WORD>(l.tm_year + 1900), static_cast<WORD>(l.tm_mon + 1),
                        static_cast<WORD>(l.tm_wday),        static_cast<WORD>(l.tm_mday),
                        static_cast<WORD>(l.tm_hour),        static_cast<WORD>(l.tm_min),
                        static_cast<WORD>(l.tm_sec),         utc->wMilliseconds};
    return TRUE;
}
