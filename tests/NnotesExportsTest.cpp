// nnotes.dll's export table and its process-wide operations: initialisation, notes.ini
// settings, network paths, status texts and time constants.

#include "NnotesLibrary.h"
#include "nnotes/Status.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace notes;

namespace {

// Every operation of the program's table as the export table must show it: its name, its
// ordinal (kByNameOnly: exported by name alone, at an ordinal the linker picks) and the bytes
// of its arguments, which decorate its symbol on i686.
struct TableOperation {
    const char* name;
    uint16_t ordinal;
    unsigned argumentBytes;
};

constexpr TableOperation kTable[] = {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) {#name, ORD_##name, bytes},
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
};

constexpr size_t kOrdinalCount = [] {
    size_t count = 0;
    for (const TableOperation& operation : kTable) count += operation.ordinal != kByNameOnly ? 1 : 0;
    return count;
}();

// What a loaded module's export directory holds: every ordinal that leads to a function, and
// every name.
struct ExportDirectory {
    std::set<::WORD> ordinals;
    std::set<std::string> names;
};

ExportDirectory ReadExportDirectory(HMODULE module) {
    ExportDirectory found;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress == 0) return found;
    const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* functions = reinterpret_cast<const ::DWORD*>(base + directory->AddressOfFunctions);
    for (::DWORD i = 0; i < directory->NumberOfFunctions; ++i) {
        if (functions[i] != 0) found.ordinals.insert(static_cast<::WORD>(directory->Base + i));
    }
    const auto* names = reinterpret_cast<const ::DWORD*>(base + directory->AddressOfNames);
    for (::DWORD i = 0; i < directory->NumberOfNames; ++i) {
        found.names.insert(reinterpret_cast<const char*>(base + names[i]));
    }
    return found;
}

// Every status the runtime itself returns, beside the number the reference gives it: a
// package base of globerr.h and the offset of the error header (the table of
// docs/nnotes-database-format.md, which names each header).
constexpr STATUS PKG_OS = 0x0100, PKG_NSF = 0x0200, PKG_NIF = 0x0300, PKG_MISC = 0x0400, PKG_ODS = 0x0600,
                 PKG_CLIENT = 0x0800, PKG_BSAFE4 = 0x0E60;

struct GenuineStatus {
    const char* label;  // the reference's name
    STATUS runtime;     // nnotes/Status.h
    STATUS genuine;     // the reference's number
};
#define QS_STATUS(name, runtime, genuine) (GenuineStatus{#name, nnotes::runtime, genuine})
constexpr GenuineStatus kGenuineStatuses[] = {
    QS_STATUS(ERR_PROTECTED, kErrProtected, PKG_OS + 2),
    QS_STATUS(ERR_NOEXIST, kErrNoExist, PKG_OS + 3),
    QS_STATUS(ERR_OS_FREE_HANDLE, kErrInvalidHandle, PKG_OS + 56),
    QS_STATUS(ERR_MEM_HANDLES, kErrNoMoreHandles, PKG_OS + 162),
    QS_STATUS(ERR_NO_NOTESINI, kErrNoNotesIni, PKG_OS + 165),
    QS_STATUS(ERR_PATH_NAME_TOO_LONG, kErrPathTooLong, PKG_OS + 206),
    QS_STATUS(ERR_NOT_NSF, kErrNotDatabase, PKG_NSF + 1),
    QS_STATUS(ERR_STRUCT, kErrDamaged, PKG_NSF + 6),
    QS_STATUS(ERR_DIRECTORY, kErrDirectory, PKG_NSF + 28),
    QS_STATUS(ERR_ITEM_NOT_FOUND, kErrItemNotFound, PKG_NSF + 34),
    QS_STATUS(ERR_INVALID_NOTE, kErrInvalidNoteId, PKG_NSF + 39),
    QS_STATUS(ERR_NO_MODIFIED_NOTES, kErrNoModifiedNotes, PKG_NSF + 60),
    QS_STATUS(ERR_BAD_PARAM, kErrBadArgument, PKG_NSF + 65),
    QS_STATUS(ERR_SPECIAL_ID, kErrSpecialId, PKG_NSF + 66),
    QS_STATUS(ERR_BADOBJECT, kErrBadObject, PKG_NSF + 54),
    QS_STATUS(ERR_OBJECT_TRUNCATED, kErrObjectTruncated, PKG_NSF + 79),
    QS_STATUS(ERR_NOTE_NOT_SIGNED, kErrNoteNotSigned, PKG_NSF + 89),
    QS_STATUS(ERR_BSAFE_UNSUPPORTED_CRYPTO_OP, kErrUnsupportedCryptoOp, PKG_BSAFE4 + 1),
    QS_STATUS(ERR_NOACCESS, kErrNotAuthorized, PKG_NSF + 70),
    QS_STATUS(ERR_NOTE_INVSIG2, kErrSignature, PKG_NSF + 91),
    QS_STATUS(ERR_NOTE_BADATTSIGN, kErrBadAttachmentSignature, PKG_NSF + 97),
    QS_STATUS(ERR_NOEXTRACT_ENCRYPTED, kErrNoExtractEncrypted, PKG_NSF + 100),
    QS_STATUS(ERR_NOT_SEALED_FOR_YOU, kErrNoDecryptKey, PKG_NSF + 101),
    QS_STATUS(ERR_COLLECTION_NOT_CREATED, kErrCollectionNotFound, PKG_NIF + 11),
    QS_STATUS(ERR_NOT_FOUND, kErrDesignNotFound, PKG_MISC + 4),
    QS_STATUS(ERR_NOT_YET_IMPLEMENTED, kErrUnsupported, PKG_MISC + 75),
    QS_STATUS(ERR_ODS_NO_SUCH_ENTRY, kErrListEntry, PKG_ODS + 5),
    QS_STATUS(ERR_SERVER_NOT_FOUND, kErrServerNotFound, PKG_CLIENT + 3)};
#undef QS_STATUS

}  // namespace

TEST(NnotesExports, EveryOrdinalResolvesToItsOwnFunction) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module) << "nnotes.dll beside the test, error " << GetLastError();
    std::set<FARPROC> seen;
    for (const TableOperation& operation : kTable) {
        if (operation.ordinal == kByNameOnly) continue;
        FARPROC f = GetProcAddress(module, MAKEINTRESOURCEA(operation.ordinal));
        EXPECT_NE(nullptr, f) << operation.name << " @" << operation.ordinal;
        EXPECT_TRUE(seen.insert(f).second)
            << operation.name << " @" << operation.ordinal << " shares its address with another";
    }
    EXPECT_EQ(kOrdinalCount, seen.size());
    FreeLibrary(module);
}

// The library exports the table's operations and nothing else: one function and one name
// each, the ordinals of the table among the ordinals.
TEST(NnotesExports, ExportTableHoldsExactlyTheTablesOperations) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module);
    const ExportDirectory exports = ReadExportDirectory(module);
    std::set<std::string> names;
    for (const TableOperation& operation : kTable) {
        names.insert(operation.name);
        if (operation.ordinal != kByNameOnly) {
            EXPECT_EQ(1u, exports.ordinals.count(operation.ordinal)) << operation.name;
        }
    }
    EXPECT_EQ(std::size(kTable), exports.ordinals.size());
    EXPECT_EQ(names, exports.names);
    FreeLibrary(module);
}

// As the Notes library does, every operation is exported by its plain name beside its
// ordinal (on i686 too, where the compiler's own symbol carries the stdcall decoration).
TEST(NnotesExports, EveryNameLeadsWhereItsOrdinalDoesAndCarriesNoDecoration) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module);
    std::set<uint16_t> named;
    for (const TableOperation& operation : kTable) {
        for (const std::string& decorated :
             {"_" + std::string(operation.name) + "@" + std::to_string(operation.argumentBytes),
              std::string(operation.name) + "@" + std::to_string(operation.argumentBytes)}) {
            EXPECT_EQ(nullptr, GetProcAddress(module, decorated.c_str())) << decorated;
        }
        if (operation.ordinal == kByNameOnly) continue;
        EXPECT_TRUE(named.insert(operation.ordinal).second) << operation.name << " named twice";
        FARPROC byName = GetProcAddress(module, operation.name);
        EXPECT_NE(nullptr, byName) << operation.name;
        EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(operation.ordinal)), byName)
            << operation.name << " @" << operation.ordinal;
    }
    EXPECT_EQ(kOrdinalCount, named.size());
    FreeLibrary(module);
}

TEST(NnotesExports, UnusedOrdinalsAreNotExported) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module);
    // The operations exported by name alone get ordinals that the linker picks, low ones
    // among them; such an ordinal may lead to one of them and to nothing else.
    std::set<FARPROC> namedOnly;
    for (const TableOperation& operation : kTable) {
        if (operation.ordinal == kByNameOnly) namedOnly.insert(GetProcAddress(module, operation.name));
    }
    namedOnly.erase(nullptr);
    for (::WORD ord : {1, 14, 16, 2000, 2002, 2849, 3000}) {
        const FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ord));
        EXPECT_TRUE(byOrdinal == nullptr || namedOnly.count(byOrdinal) != 0) << ord;
    }
    FreeLibrary(module);
}

TEST(NnotesInit, SucceedsWithoutNotesIni) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.NotesInitExtended);
    TempDir empty;
    SetEnvironmentVariableA("QUILLSHEET_NOTES_INI", empty.File("notes.ini").c_str());
    EXPECT_EQ(0, lib.NotesInitExtended(0, nullptr));
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(lib.OSGetEnvironmentString("Directory=", buffer, sizeof buffer - 1));
    EXPECT_EQ('\0', buffer[0]);
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(lib.OSGetEnvironmentString("Directory", buffer, sizeof buffer - 1));
    EXPECT_EQ('\0', buffer[0]);
    lib.NotesTerm();
    SetEnvironmentVariableA("QUILLSHEET_NOTES_INI", nullptr);
}

struct FailInitCase {
    const char* label;
    const char* line;
    STATUS expected;
};

class NnotesFailInit : public ::testing::TestWithParam<FailInitCase> {};

TEST_P(NnotesFailInit, NotesIniSwitchDecidesTheStatus) {
    NnotesFixture f;
    f.WriteIni(std::string(GetParam().line) + "\r\n");
    EXPECT_EQ(GetParam().expected, f.lib.NotesInitExtended(0, nullptr));
    if (GetParam().expected != 0) {
        EXPECT_FALSE(f.lib.StatusText(GetParam().expected & ERR_MASK).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesFailInit,
                         ::testing::Values(FailInitCase{"NoNotesIni", "QuillsheetFailInit=1", 421},
                                           FailInitCase{"AnyCaseAndBlanks", "quillsheetfailinit = 1", 421},
                                           FailInitCase{"StatusNoAccess", "QuillsheetFailInit=582", 582},
                                           FailInitCase{"ZeroIsNoFault", "QuillsheetFailInit=0", 0},
                                           FailInitCase{"CommentedOut", "; QuillsheetFailInit=1", 0}),
                         CaseLabel());

struct VariableCase {
    const char* label;
    const char* name;
    bool found;
};

void PrintTo(const VariableCase& c, std::ostream* os) { *os << c.label; }

class NnotesEnvironmentName : public ::testing::TestWithParam<VariableCase> {};

// The variable's name is given without "=", as the reference has it; "Directory=" names
// another variable, which notes.ini cannot hold.
TEST_P(NnotesEnvironmentName, IsTheVariablesOwnNameInAnyCase) {
    NnotesFixture f;
    char buffer[781];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetParam().found ? TRUE : FALSE,
              f.lib.OSGetEnvironmentString(GetParam().name, buffer, sizeof buffer - 1));
    EXPECT_EQ(GetParam().found ? f.lib.ToLmbcs(f.data.path()) : std::string(), std::string(buffer));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesEnvironmentName,
                         ::testing::Values(VariableCase{"Plain", "Directory", true},
                                           VariableCase{"Upper", "DIRECTORY", true},
                                           VariableCase{"Lower", "directory", true},
                                           VariableCase{"WithEquals", "Directory=", false},
                                           VariableCase{"UpperWithEquals", "DIRECTORY=", false},
                                           VariableCase{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(NnotesEnvironment, ValueIsLmbcsAndMissingKeyIsFalse) {
    NnotesFixture f;
    f.WriteIni(Sjis(u8"Location=東京オフィス") + "\r\nEmpty=\r\n");
    ASSERT_EQ(0, f.lib.NotesInitExtended(0, nullptr));
    char buffer[128];
    ASSERT_TRUE(f.lib.OSGetEnvironmentString("Location", buffer, sizeof buffer - 1));
    EXPECT_EQ(JapaneseLmbcs(u8"東京オフィス"), std::string(buffer));
    ASSERT_TRUE(f.lib.OSGetEnvironmentString("Empty", buffer, sizeof buffer - 1));
    EXPECT_EQ("", std::string(buffer));
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(f.lib.OSGetEnvironmentString("NoSuchKey", buffer, sizeof buffer - 1));
    EXPECT_EQ('\0', buffer[0]);
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(f.lib.OSGetEnvironmentString("Location=", buffer, sizeof buffer - 1));
    EXPECT_EQ('\0', buffer[0]);
}

// The length counts the value without its NUL: up to that many bytes of whole characters,
// then the NUL, so the buffer holds length + 1 bytes and nothing past them is touched.
TEST(NnotesEnvironment, LengthCountsTheValueWithoutItsNulAndKeepsWholeCharacters) {
    NnotesFixture f;
    f.WriteIni(Sjis(u8"Location=AB東京C") + "\r\n");
    ASSERT_EQ(0, f.lib.NotesInitExtended(0, nullptr));
    const std::string full = JapaneseLmbcs(u8"AB東京C");
    // Character boundaries of the LMBCS value: A, B, 東 (3 bytes), 京 (3 bytes), C.
    const std::vector<size_t> boundaries = {0, 1, 2, 5, 8, 9};
    for (WORD length = 0; length <= full.size() + 2; ++length) {
        std::vector<char> buffer(length + 1u + 4u, 'x');
        ASSERT_TRUE(f.lib.OSGetEnvironmentString("Location", buffer.data(), length));
        size_t expectedLength = 0;
        for (size_t b : boundaries) {
            if (b <= length) expectedLength = b;
        }
        EXPECT_EQ(full.substr(0, expectedLength), std::string(buffer.data())) << "length " << length;
        for (size_t i = length + 1u; i < buffer.size(); ++i) EXPECT_EQ('x', buffer[i]) << "length " << length;
    }
}

struct NetPathCase {
    const char* label;
    const char* port;
    const char* server;
    const char* file;
    const char* expected;
};

class NnotesNetPath : public ::testing::TestWithParam<NetPathCase> {};

TEST_P(NnotesNetPath, JoinsServerAndFile) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSPathNetConstruct);
    char out[MAXPATH + 8];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, lib.OSPathNetConstruct(GetParam().port, GetParam().server, GetParam().file, out));
    EXPECT_STREQ(GetParam().expected, out);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesNetPath,
    ::testing::Values(NetPathCase{"LocalFile", "", "", "mail\\a.nsf", "mail\\a.nsf"},
                      NetPathCase{"NullPortAndServer", nullptr, nullptr, "a.nsf", "a.nsf"},
                      NetPathCase{"ServerAndFile", "", "Tokyo01/Acme", "db\\a.nsf",
                                  "Tokyo01/Acme!!db\\a.nsf"},
                      NetPathCase{"PortServerAndFile", "TCPIP", "srv", "a.nsf", "TCPIP!!srv!!a.nsf"},
                      NetPathCase{"ServerWithoutFile", "", "srv", "", "srv!!"}),
    CaseLabel());

TEST(NnotesNetPath, LongPathIsCutAt255BytesOfWholeCharacters) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSPathNetConstruct);
    // "srv!!" (5 bytes) and then three-byte LMBCS characters: 83 of them end at byte 254.
    std::string file;
    for (int i = 0; i < 100; ++i) file += JapaneseLmbcs(u8"あ");
    char out[MAXPATH + 16];
    memset(out, 'x', sizeof out);
    EXPECT_NE(0, lib.OSPathNetConstruct("", "srv", file.c_str(), out));
    EXPECT_EQ("srv!!" + file.substr(0, 249), std::string(out));
    for (size_t i = MAXPATH; i < sizeof out; ++i) EXPECT_EQ('x', out[i]);
}

class NnotesStatusText : public ::testing::TestWithParam<GenuineStatus> {};

TEST_P(NnotesStatusText, EveryRuntimeStatusIsTheGenuineOneWithItsOwnText) {
    EXPECT_EQ(GetParam().genuine, GetParam().runtime);
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    const std::string text = lib.StatusText(GetParam().genuine);
    EXPECT_FALSE(text.empty());
    // The text is LMBCS: its native form converts back to the same bytes.
    EXPECT_EQ(text, lib.ToLmbcs(lib.ToNative(text)));
    // Flag bits above the code do not change the text.
    EXPECT_EQ(text, lib.StatusText(static_cast<STATUS>(GetParam().genuine | 0x8000)));
    for (const GenuineStatus& other : kGenuineStatuses) {
        if (other.genuine != GetParam().genuine) {
            EXPECT_NE(text, lib.StatusText(other.genuine)) << other.label;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesStatusText, ::testing::ValuesIn(kGenuineStatuses), CaseLabel());

TEST(NnotesStatusText, DirectoryTextIsTheJapaneseOne) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    EXPECT_EQ(JapaneseLmbcs(u8"データベースではなくディレクトリが指定されました"),
              lib.StatusText(ERR_DIRECTORY));
}

TEST(NnotesStatusText, UnknownStatusGivesNothing) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    for (STATUS s : {1, 2, 257, 9999, 0x3FFF}) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(0, lib.OSLoadString(nullptr, s, buffer, sizeof buffer - 1)) << s;
        EXPECT_EQ('\0', buffer[0]);
    }
}

// The length counts the text without its NUL (sizeof buffer - 1, as the reference's
// callers pass it): the NUL may take the byte after `length`, and nothing past it is touched.
TEST(NnotesStatusText, LengthCountsTheTextWithoutItsNul) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    const std::string full = lib.StatusText(ERR_DIRECTORY);
    ASSERT_FALSE(full.empty());
    for (WORD length = 0; length <= full.size() + 2; ++length) {
        std::vector<char> buffer(length + 1u + 4u, 'x');
        WORD n = lib.OSLoadString(nullptr, ERR_DIRECTORY, buffer.data(), length);
        EXPECT_LE(n, length);
        EXPECT_EQ('\0', buffer[n]);
        EXPECT_EQ(full.substr(0, n), std::string(buffer.data(), n));
        // Whole characters only: every character here is 3 bytes, and as many as fit are there.
        EXPECT_EQ(0u, n % 3u);
        EXPECT_GT(n + 3u, length);
        for (size_t i = length + 1u; i < buffer.size(); ++i) EXPECT_EQ('x', buffer[i]) << "length " << length;
    }
}

// TimeGMToLocal expands a TIMEDATE in the zone it was given in; TimeGMToLocalZone in the zone
// TIME.zone names (hours west of GMT, east negative; four digits for a zone of 30 or 45
// minutes more). The runtime's times are Japan Standard Time (zone bits 0x49: east, 9 hours).
struct ClockCase {
    const char* label;
    TIMEDATE gm;
    bool ownZone;  // TimeGMToLocal, else TimeGMToLocalZone with `zone` and `dst`
    int zone;
    int dst;
    bool fails;
    int parts[10];  // year, month, day, weekday, hour, minute, second, hundredth, dst, zone
};

class NnotesClock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(NnotesClock, ExpandsTheTimeInItsZone) {
    NnotesFixture f;
    const ClockCase& c = GetParam();
    ASSERT_NE(nullptr, f.lib.TimeGMToLocal);
    TIME time{};
    time.GM = c.gm;
    time.zone = c.zone;
    time.dst = c.dst;
    const BOOL failed = c.ownZone ? f.lib.TimeGMToLocal(&time) : f.lib.TimeGMToLocalZone(&time);
    EXPECT_EQ(c.fails, failed != FALSE);
    if (c.fails) return;
    const int got[10] = {time.year,   time.month,  time.day,       time.weekday, time.hour,
                         time.minute, time.second, time.hundredth, time.dst,     time.zone};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(c.parts[i], got[i]) << "part " << i;
    EXPECT_EQ(c.gm.Innards[0], time.GM.Innards[0]) << "GM stays as it was";
    EXPECT_EQ(c.gm.Innards[1], time.GM.Innards[1]);
}

// 2024-03-05 05:07:09.25 GMT (Julian day 2460375, a Tuesday), given in Japan.
constexpr TIMEDATE kMarchFifth{{1842925, 0x49000000u | 2460375u}};
// 1999-12-31 15:00:00 GMT, 2000-01-01 00:00 in Japan (a Saturday).
constexpr TIMEDATE kNewYear{{5400000, 0x49000000u | 2451544u}};

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesClock,
    ::testing::Values(
        ClockCase{"OwnZoneIsJapan", kMarchFifth, true, 99, 1, false, {2024, 3, 5, 3, 14, 7, 9, 25, 0, -9}},
        ClockCase{
            "OwnZoneCrossesIntoTheNextYear", kNewYear, true, 0, 0, false, {2000, 1, 1, 7, 0, 0, 0, 0, 0, -9}},
        ClockCase{"GreenwichZone", kMarchFifth, false, 0, 0, false, {2024, 3, 5, 3, 5, 7, 9, 25, 0, 0}},
        ClockCase{
            "GreenwichGoesBackADay", kNewYear, false, 0, 0, false, {1999, 12, 31, 6, 15, 0, 0, 0, 0, 0}},
        ClockCase{"EasternStandardTime", kMarchFifth, false, 5, 0, false, {2024, 3, 5, 3, 0, 7, 9, 25, 0, 5}},
        ClockCase{"HalfHourEastOfIran",
                  kMarchFifth,
                  false,
                  -3003,
                  0,
                  false,
                  {2024, 3, 5, 3, 8, 37, 9, 25, 0, -3003}},
        ClockCase{"DaylightSavingTimeIsNotKept", kMarchFifth, false, 5, 1, true, {}},
        ClockCase{"ZoneBeyondTwelveHours", kMarchFifth, false, 13, 0, true, {}},
        ClockCase{
            "DateAloneHasNoClock", TIMEDATE{{0xFFFFFFFF, 0x49000000u | 2460375u}}, true, 0, 0, true, {}},
        ClockCase{"TimeAloneHasNoDate", TIMEDATE{{1842925, 0xFFFFFFFF}}, false, 0, 0, true, {}}),
    CaseLabel());

TEST(NnotesTime, NullTimeFails) {
    NnotesFixture f;
    EXPECT_NE(FALSE, f.lib.TimeGMToLocal(nullptr));
    EXPECT_NE(FALSE, f.lib.TimeGMToLocalZone(nullptr));
}

TEST(NnotesTime, EarliestTimeComesBeforeEveryDocument) {
    NnotesFixture f;
    TIMEDATE td{{0xDEAD, 0xBEEF}};
    f.lib.TimeConstant(TIMEDATE_MINIMUM, &td);
    EXPECT_EQ(0u, td.Innards[0]);
    EXPECT_EQ(0u, td.Innards[1]);
}
