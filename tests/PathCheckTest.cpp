// Path checks: the rules in their order, Shift_JIS awareness, the one message they give;
// the checks of the source and the destination that the windows and the command line share.
#include "job/InputChecks.h"
#include "job/PathCheck.h"

#include "framework/ResourceString.h"
#include "res/resource.h"
#include "support/ExpectedTexts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct TrimCase {
    const char* name;
    const char* in;
    const char* out;
    bool result;
};

void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }

class TrimLeadingSpacesCases : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimLeadingSpacesCases, StripsOnlyLeadingAsciiBlanks) {
    std::string text = GetParam().in;
    EXPECT_EQ(GetParam().result, TrimLeadingSpaces(text));
    EXPECT_EQ(GetParam().out, text);
}

INSTANTIATE_TEST_SUITE_P(Table, TrimLeadingSpacesCases,
                         ::testing::Values(TrimCase{"Empty", "", "", true},
                                           TrimCase{"NoBlank", "C:\\a.csv", "C:\\a.csv", true},
                                           TrimCase{"InnerBlankOnly", "C:\\a b.csv", "C:\\a b.csv", true},
                                           TrimCase{"LeadingBlanks", "   C:\\a.csv", "C:\\a.csv", true},
                                           TrimCase{"OneBlankBeforeText", " x ", "x ", true},
                                           TrimCase{"BlanksOnlyUnchanged", "   ", "   ", false},
                                           TrimCase{"SingleBlankUnchanged", " ", " ", false},
                                           TrimCase{"TabIsNotABlank", "\t C:\\a", "\t C:\\a", true},
                                           TrimCase{"FullWidthBlankIsNotABlank",
                                                    "\x81\x40"
                                                    "C:\\a",
                                                    "\x81\x40"
                                                    "C:\\a",
                                                    true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RuleCase {
    const char* name;
    std::string path;
    const char* message;  // nullptr: accepted
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class CheckPathRulesCases : public ::testing::TestWithParam<RuleCase> {};

// The text of a check's message id; "" for a path that passes.
std::string MessageOf(unsigned messageId) { return messageId == 0 ? std::string() : ResString(messageId); }

TEST_P(CheckPathRulesCases, FirstBrokenRuleDecides) {
    MessageBoxRecorder recorder;
    EXPECT_EQ(GetParam().message == nullptr ? "" : GetParam().message, MessageOf(CheckPath(GetParam().path)));
    // The check only decides: whoever called it shows the message.
    EXPECT_TRUE(recorder.boxes.empty());
}

const std::string kMissing = "C:\\qs-no-such-folder\\";

INSTANTIATE_TEST_SUITE_P(
    Table, CheckPathRulesCases,
    ::testing::Values(
        RuleCase{"NetworkShare", "\\\\server\\share\\a.csv", kTextNetworkPath},
        RuleCase{"NetworkBeatsBadCharacters", "\\\\srv\\a:b", kTextNetworkPath},
        RuleCase{"DoubleBackslashInsideIsAllowed", kMissing + "a\\\\b.csv", nullptr},
        RuleCase{"BareFileName", "a.csv", kTextNotAbsolute},
        RuleCase{"DriveWithoutBackslash", "C:a.csv", kTextNotAbsolute},
        RuleCase{"DriveOnly", "C:", kTextNotAbsolute},
        RuleCase{"ForwardSlashes", "C:/dir/a.csv", kTextNotAbsolute}, RuleCase{"Empty", "", kTextNotAbsolute},
        RuleCase{"BlanksOnly", "   ", kTextNotAbsolute},
        RuleCase{"ColonBackslashTooLate", "CC:\\a.csv", kTextNotAbsolute},
        RuleCase{"DoubleByteBeforeColon", "\x83\x5c:\\a.csv", kTextNotAbsolute},
        RuleCase{"FirstCharacterNeedNotBeALetter", "1:\\qs-missing\\a.csv", nullptr},
        RuleCase{"DrivePrefixAlone", "C:\\", kTextBadChars},
        RuleCase{"EndsWithBackslash", kMissing + "dir\\", kTextBadChars},
        RuleCase{"ColonInRest", kMissing + "a:b.csv", kTextBadChars},
        RuleCase{"Slash", kMissing + "a/b.csv", kTextBadChars},
        RuleCase{"Comma", kMissing + "a,b.csv", kTextBadChars},
        RuleCase{"Semicolon", kMissing + "a;b.csv", kTextBadChars},
        RuleCase{"Asterisk", kMissing + "a*.csv", kTextBadChars},
        RuleCase{"QuestionMark", kMissing + "a?.csv", kTextBadChars},
        RuleCase{"DoubleQuote", kMissing + "a\".csv", kTextBadChars},
        RuleCase{"LessThan", kMissing + "a<.csv", kTextBadChars},
        RuleCase{"GreaterThan", kMissing + "a>.csv", kTextBadChars},
        RuleCase{"VerticalBar", kMissing + "a|.csv", kTextBadChars},
        RuleCase{"BadCharacterBeatsLength", "C:\\" + std::string(300, 'a') + "*", kTextBadChars},
        RuleCase{"BlankInRestIsAllowed", kMissing + "a b.csv", nullptr},
        // ソ is 0x83 0x5C: its trail byte is not a backslash, so the path does not end with one.
        RuleCase{"TrailByte5CAtEndIsNotABackslash", kMissing + "\x83\x5c", nullptr},
        RuleCase{"TrailByte5CInsideName", kMissing + "\x83\x5c\x83t\x83g.csv", nullptr},
        // ポ is 0x83 0x7C: its trail byte is not a vertical bar.
        RuleCase{"TrailByte7CIsNotAVerticalBar", kMissing + "\x83\x7c.csv", nullptr},
        RuleCase{"LoneLeadByteAtEnd", kMissing + "a\x83", nullptr},
        RuleCase{"Length259Accepted", "C:\\" + std::string(256, 'a'), nullptr},
        RuleCase{"Length260Refused", "C:\\" + std::string(257, 'a'), kTextNameTooLong},
        RuleCase{"VeryLongRefused", "C:\\" + std::string(10000, 'a'), kTextNameTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

class CheckPathFileSystem : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CheckPathFileSystem, ExistingFolderIsRefusedWithFolderMessage) {
    EXPECT_EQ(kTextFolder, MessageOf(CheckPath(dir.path())));
}

TEST_F(CheckPathFileSystem, ExistingReadOnlyFileIsRefused) {
    const std::string file = dir.File("ro.nsf");
    WriteFileBytes(file, "x");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(kTextReadOnly, MessageOf(CheckPath(file)));
}

TEST_F(CheckPathFileSystem, ExistingWritableFileAndNewFileAreAccepted) {
    const std::string file = dir.File("rw.csv");
    WriteFileBytes(file, "x");
    EXPECT_EQ(0u, CheckPath(file));
    EXPECT_EQ(0u, CheckPath(dir.File("new.csv")));
}

TEST_F(CheckPathFileSystem, ReadOnlyFolderIsRefusedAsAFolder) {
    ASSERT_TRUE(SetFileAttributesA(dir.path().c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    const unsigned messageId = CheckPath(dir.path());
    SetFileAttributesA(dir.path().c_str(), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(kTextFolder, MessageOf(messageId));
}

TEST(TrimThenCheck, BlanksBeforeTheDriveAreAcceptedOnceTrimmed) {
    std::string path = "   C:\\qs-no-such-folder\\a.csv";
    TrimLeadingSpaces(path);
    EXPECT_EQ(0u, CheckPath(path));
}

// The source dialog and the command line name a database through the same check, which
// hands on the path that is opened.
struct SourceCase {
    const char* label;
    bool onServer;
    const char* server;
    const char* path;
    const char* checked;  // the path handed on
};

const SourceCase kSourceCases[] = {
    {"ServerAndPath", true, "hub", "sales\\a.nsf", "sales\\a.nsf"},
    {"ServerPathTakenAsTyped", true, "hub", " a.nsf", " a.nsf"},
    {"LocalTrimmed", false, "", "  C:\\qs-no-such-folder\\a.nsf", "C:\\qs-no-such-folder\\a.nsf"},
    {"LocalServerNameIgnored", false, "hub", "C:\\qs-no-such-folder\\a.nsf", "C:\\qs-no-such-folder\\a.nsf"},
};

class CheckSourceCases : public ::testing::TestWithParam<SourceCase> {};

TEST_P(CheckSourceCases, AcceptsAndHandsOnThePath) {
    const SourceCase& c = GetParam();
    std::string path = c.path;
    EXPECT_EQ(0u, CheckSource(c.onServer, c.server, path));
    EXPECT_EQ(c.checked, path);
}

INSTANTIATE_TEST_SUITE_P(Table, CheckSourceCases, ::testing::ValuesIn(kSourceCases),
                         [](const auto& info) { return std::string(info.param.label); });

// The destination page and the command line's /csv and /log: blanks alone are no path, and an
// empty log has its own message.
TEST(CheckDestination, BlanksAreNoPathAndAnEmptyLogHasItsOwnMessage) {
    std::string blanks = "  ", empty;
    EXPECT_EQ(static_cast<unsigned>(IDS_PATH_NOT_ABSOLUTE), CheckDestination(blanks, IDS_CHOOSE_DESTINATION));
    EXPECT_EQ(static_cast<unsigned>(IDS_CMD_CHOOSE_LOG), CheckDestination(empty, IDS_CMD_CHOOSE_LOG));
}

}  // namespace

namespace {

struct EndCase {
    const char* name;
    std::string text;
    bool endsWithBackslash;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EndsWithBackslashCases : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndsWithBackslashCases, OnlyAWholeCharacterCounts) {
    EXPECT_EQ(GetParam().endsWithBackslash, EndsWithBackslash(GetParam().text, IsCp932LeadByte));
}

INSTANTIATE_TEST_SUITE_P(Table, EndsWithBackslashCases,
                         ::testing::Values(EndCase{"Empty", "", false}, EndCase{"Folder", "C:\\Docs", false},
                                           EndCase{"WithSeparator", "C:\\Docs\\", true},
                                           EndCase{"TrailByte5C", "C:\\\x83\x5c", false},
                                           EndCase{"TrailByte5CThenSeparator", "C:\\\x83\x5c\\", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
