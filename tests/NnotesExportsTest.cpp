// nnotes.dll's export table and its process-wide operations: initialisation, notes.ini
// settings, network paths, status texts and time constants.

#include "NnotesLibrary.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace notes;

namespace {

constexpr Ordinal kAllOrdinals[] = {
    ORD_NotesInitExtended,
    ORD_NotesTerm,
    ORD_NSFDbOpen,
    ORD_NSFDbModeGet,
    ORD_NSFDbClose,
    ORD_NSFDbInfoGet,
    ORD_NSFDbInfoParse,
    ORD_NIFOpenCollection,
    ORD_NIFReadEntries,
    ORD_OSLockObject,
    ORD_OSUnlockObject,
    ORD_OSMemFree,
    ORD_NIFCloseCollection,
    ORD_NSFLocateSummaryValue,
    ORD_ListGetText,
    ORD_OSTranslate,
    ORD_NIFFindDesignNote,
    ORD_NSFNoteOpen,
    ORD_NSFItemScan,
    ORD_NSFNoteClose,
    ORD_NSFNoteIsSignedOrSealed,
    ORD_NSFNoteSign,
    ORD_NSFNoteDecrypt,
    ORD_NSFItemConvertToText,
    ORD_OSLoadString,
    ORD_OSPathNetConstruct,
    ORD_OSGetEnvironmentString,
    ORD_TimeConstant,
    ORD_NSFDbGetModifiedNoteTable,
    ORD_IDEntries,
    ORD_IDScan,
    ORD_IDDestroyTable,
};

// Every status the runtime itself returns.
constexpr STATUS kRuntimeStatuses[] = {259, 262, 421,  540,  546,  547,  549,  550,  551,
                                       560, 561, 1028, 1029, 4003, 4020, 3590, 3591, 3592};

}  // namespace

TEST(NnotesExports, EveryOrdinalResolvesToItsOwnFunction) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module) << "nnotes.dll beside the test, error " << GetLastError();
    std::set<FARPROC> seen;
    for (Ordinal ord : kAllOrdinals) {
        FARPROC f = GetProcAddress(module, MAKEINTRESOURCEA(ord));
        EXPECT_NE(nullptr, f) << "ordinal " << ord;
        EXPECT_TRUE(seen.insert(f).second) << "ordinal " << ord << " shares its address with another";
    }
    EXPECT_EQ(32u, seen.size());
    FreeLibrary(module);
}

TEST(NnotesExports, ExportsCarryNoNames) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module);
    for (const char* name :
         {"NSFDbOpen", "OSTranslate", "NotesInitExtended", "_NSFDbOpen@8", "NSFDbOpen@8"}) {
        EXPECT_EQ(nullptr, GetProcAddress(module, name)) << name;
    }
    FreeLibrary(module);
}

TEST(NnotesExports, UnusedOrdinalsAreNotExported) {
    HMODULE module = LoadLibraryA("nnotes.dll");
    ASSERT_NE(nullptr, module);
    for (WORD ord : {1, 14, 16, 2000, 2002, 2849, 3000}) {
        EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(ord))) << ord;
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
    EXPECT_FALSE(lib.OSGetEnvironmentString("Directory=", buffer, sizeof buffer));
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
                         ::testing::Values(FailInitCase{"Status421", "QuillsheetFailInit=1", 421},
                                           FailInitCase{"AnyCaseAndBlanks", "quillsheetfailinit = 1", 421},
                                           FailInitCase{"Status4020", "QuillsheetFailInit=4020", 4020},
                                           FailInitCase{"ZeroIsNoFault", "QuillsheetFailInit=0", 0},
                                           FailInitCase{"CommentedOut", "; QuillsheetFailInit=1", 0}),
                         CaseLabel());

TEST(NnotesEnvironment, DirectoryWithOrWithoutEqualsSignAndAnyCase) {
    NnotesFixture f;
    const std::string expected = f.lib.ToLmbcs(f.data.path());
    for (const char* name : {"Directory=", "Directory", "DIRECTORY=", "directory"}) {
        char buffer[780];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_TRUE(f.lib.OSGetEnvironmentString(name, buffer, sizeof buffer)) << name;
        EXPECT_EQ(expected, std::string(buffer)) << name;
    }
}

TEST(NnotesEnvironment, ValueIsLmbcsAndMissingKeyIsFalse) {
    NnotesFixture f;
    f.WriteIni(Sjis(u8"Location=東京オフィス") + "\r\nEmpty=\r\n");
    ASSERT_EQ(0, f.lib.NotesInitExtended(0, nullptr));
    char buffer[128];
    ASSERT_TRUE(f.lib.OSGetEnvironmentString("Location=", buffer, sizeof buffer));
    EXPECT_EQ(JapaneseLmbcs(u8"東京オフィス"), std::string(buffer));
    ASSERT_TRUE(f.lib.OSGetEnvironmentString("Empty", buffer, sizeof buffer));
    EXPECT_EQ("", std::string(buffer));
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(f.lib.OSGetEnvironmentString("NoSuchKey=", buffer, sizeof buffer));
    EXPECT_EQ('\0', buffer[0]);
}

TEST(NnotesEnvironment, EverySizeStaysInsideTheBufferAndKeepsWholeCharacters) {
    NnotesFixture f;
    f.WriteIni(Sjis(u8"Location=AB東京C") + "\r\n");
    ASSERT_EQ(0, f.lib.NotesInitExtended(0, nullptr));
    const std::string full = JapaneseLmbcs(u8"AB東京C");
    // Character boundaries of the LMBCS value: A, B, 東 (3 bytes), 京 (3 bytes), C.
    const std::vector<size_t> boundaries = {0, 1, 2, 5, 8, 9};
    for (WORD size = 1; size <= full.size() + 2; ++size) {
        std::vector<char> buffer(size + 4, 'x');
        ASSERT_TRUE(f.lib.OSGetEnvironmentString("Location=", buffer.data(), size));
        size_t expectedLength = 0;
        for (size_t b : boundaries) {
            if (b <= size - 1u) expectedLength = b;
        }
        EXPECT_EQ(full.substr(0, expectedLength), std::string(buffer.data())) << "size " << size;
        for (size_t i = size; i < buffer.size(); ++i) EXPECT_EQ('x', buffer[i]) << "size " << size;
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

class NnotesStatusText : public ::testing::TestWithParam<STATUS> {};

TEST_P(NnotesStatusText, EveryRuntimeStatusHasItsOwnText) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    const std::string text = lib.StatusText(GetParam());
    EXPECT_FALSE(text.empty());
    // The text is LMBCS: its native form converts back to the same bytes.
    EXPECT_EQ(text, lib.ToLmbcs(lib.ToNative(text)));
    // Flag bits above the code do not change the text.
    EXPECT_EQ(text, lib.StatusText(static_cast<STATUS>(GetParam() | 0x8000)));
    for (STATUS other : kRuntimeStatuses) {
        if (other != GetParam()) {
            EXPECT_NE(text, lib.StatusText(other)) << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesStatusText, ::testing::ValuesIn(kRuntimeStatuses),
                         [](const ::testing::TestParamInfo<STATUS>& info) {
                             return "Status" + std::to_string(info.param);
                         });

TEST(NnotesStatusText, DirectoryTextIsTheJapaneseOne) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    EXPECT_EQ(JapaneseLmbcs(u8"データベースではなくディレクトリが指定されました"),
              lib.StatusText(ERR_DIRECTORY));
}

TEST(NnotesStatusText, UnknownStatusGivesNothing) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    for (STATUS s : {1, 2, 258, 9999, 0x3FFF}) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(0, lib.OSLoadString(nullptr, s, buffer, sizeof buffer)) << s;
        EXPECT_EQ('\0', buffer[0]);
    }
}

TEST(NnotesStatusText, EverySizeStaysInsideTheBuffer) {
    NnotesLibrary lib;
    ASSERT_NE(nullptr, lib.OSLoadString);
    const std::string full = lib.StatusText(ERR_DIRECTORY);
    ASSERT_FALSE(full.empty());
    for (WORD size = 0; size <= full.size() + 2; ++size) {
        std::vector<char> buffer(size + 4, 'x');
        WORD n = lib.OSLoadString(nullptr, ERR_DIRECTORY, buffer.data(), size);
        if (size == 0) {
            EXPECT_EQ(0, n);
        } else {
            EXPECT_LE(n, size - 1);
            EXPECT_EQ('\0', buffer[n]);
            EXPECT_EQ(full.substr(0, n), std::string(buffer.data(), n));
            // Whole characters only: every character here is 3 bytes, and as many as fit are there.
            EXPECT_EQ(0u, n % 3u);
            EXPECT_GT(n + 3u, size - 1u);
        }
        for (size_t i = size; i < buffer.size(); ++i) EXPECT_EQ('x', buffer[i]) << "size " << size;
    }
}

TEST(NnotesTime, EarliestTimeComesBeforeEveryDocument) {
    NnotesFixture f;
    TIMEDATE td{{0xDEAD, 0xBEEF}};
    f.lib.TimeConstant(TIMEDATE_MINIMUM, &td);
    EXPECT_EQ(0u, td.Innards[0]);
    EXPECT_EQ(0u, td.Innards[1]);
}
