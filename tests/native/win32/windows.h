#pragma once
// The few Win32 calls the runtime's LMBCS codec and database loader make, for the native
// Linux build that runs them under the sanitizers and libFuzzer. The runtime's sources are
// compiled unchanged against this header; the code pages come from tables generated at
// build time (tests/native/make-code-pages) and behave as Windows does with the ANSI code
// page 932: conversions without best-fit mappings, "?" for a character the code page lacks.
// A Win32 call the runtime starts to use has to be added here as well.

#include <cstddef>
#include <cstdint>
#include <mutex>

using BOOL = int;
using BYTE = unsigned char;
using WORD = uint16_t;
using UINT = unsigned int;
using DWORD = uint32_t;
using LONGLONG = int64_t;
using HANDLE = void*;
using LPCSTR = const char*;
using LPSTR = char*;
using LPCWCH = const wchar_t*;
using LPWSTR = wchar_t*;
using LPBOOL = BOOL*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using ULONG_PTR = uintptr_t;

#define TRUE 1
#define FALSE 0

#define CP_ACP 0u
#define CP_UTF8 65001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_NO_BEST_FIT_CHARS 0x00000400u
#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2

#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

struct CPINFO {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
};

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        int32_t HighPart;
    } u;
    LONGLONG QuadPart;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
using LONG = int32_t;
struct TIME_ZONE_INFORMATION {
    LONG Bias;
    wchar_t StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    wchar_t DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
#define TIME_ZONE_ID_UNKNOWN 0u
#define TIME_ZONE_ID_INVALID 0xFFFFFFFFu

struct SECURITY_ATTRIBUTES;
// Only the file position of a positioned read is used.
struct OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};

// The ANSI code page of the native build: 932 (Shift_JIS).
UINT GetACP();
BOOL IsValidCodePage(UINT codePage);
BOOL GetCPInfo(UINT codePage, CPINFO* info);
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
// wchar_t holds UTF-16 code units here, as on Windows, one unit per wchar_t.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR mb, int mbLength, LPWSTR wide, int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideLength, LPSTR mb, int mbLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD attributes, HANDLE templateFile);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, OVERLAPPED* overlapped);
BOOL CloseHandle(HANDLE object);

// The process's time zone: its bias now, and no rules of its own (the conversion below
// takes them from the C library).
DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone);
// The local time of a UTC time in the process's time zone: the zone argument is null or the
// one GetTimeZoneInformation gave.
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* utc,
                                     SYSTEMTIME* local);

// A slim lock as the runtime takes it: exclusive only, here over the C++ library's mutex.
struct SRWLOCK {
    std::mutex mutex;
};
#define SRWLOCK_INIT \
    {}
inline void AcquireSRWLockExclusive(SRWLOCK* lock) { lock->mutex.lock(); }
inline BOOL TryAcquireSRWLockExclusive(SRWLOCK* lock) { return lock->mutex.try_lock() ? TRUE : FALSE; }
inline void ReleaseSRWLockExclusive(SRWLOCK* lock) { lock->mutex.unlock(); }
