// A run over several databases: which databases /db names, and the names of the files made
// from what the databases hold.
#include "estate/DatabaseList.h"
#include "attachments/AttachmentName.h"
#include "attachments/SafeName.h"
#include "estate/SummaryFile.h"
#include "job/PathCheck.h"
#include "support/CaseName.h"
#include "support/TestSupport.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct SafeNameCase {
    const char* label;
    std::string wanted;
    size_t maxBytes;
    std::string name;
};

// Whatever a title holds, one name that stays in its folder and that Windows keeps as it is.
const SafeNameCase kSafeNameCases[] = {
    {"Japanese", "\x92\x8d\x95\xb6", 64, "\x92\x8d\x95\xb6"},
    {"ForbiddenCharacters", "a/b\\c:d*e?f\"g<h>i|j", 64, "a_b_c_d_e_f_g_h_i_j"},
    {"TrailByteThatIsABackslash", "\x95\x5c|x", 64, "\x95\x5c_x"},
    {"ControlCharacters", "a\tb\x7f", 64, "a_b_"},
    {"TrailingDotAndBlank", "Order.", 64, "Order_"},
    {"ParentFolder", "..", 64, "._"},
    {"DeviceName", "con", 64, "_con"},
    {"DeviceNameWithExtension", "LPT1.csv", 64, "_LPT1.csv"},
    {"NotADeviceName", "CONSOLE", 64, "CONSOLE"},
    {"Nothing", "", 64, "_"},
    {"CutBeforeADoubleByteCharacter", "ab\x95\x5c", 3, "ab"},
    {"DeviceNameAtTheLimit", "AUX", 3, "_AU"},
    {"CommaAndSemicolon", "A,B;C", 64, "A_B_C"},
    {"DeviceNameBeforeBlanks", "NUL .x", 64, "_NUL .x"},
    {"NumberedDeviceBeforeBlanks", "COM1 .log", 64, "_COM1 .log"},
    {"ConsoleInput", "CONIN$", 64, "_CONIN$"},
    {"ConsoleOutputAnyCase", "conout$.txt", 64, "_conout$.txt"},
    {"PortZero", "lpt0", 64, "_lpt0"},
    {"TwoDigitsIsNoDevice", "COM10", 64, "COM10"},
    {"DeviceBeforeBlanksAndDots", "PRN. .txt", 64, "_PRN. .txt"},
};

class SafeNameOf : public ::testing::TestWithParam<SafeNameCase> {};

TEST_P(SafeNameOf, IsOnePlainName) {
    EXPECT_EQ(GetParam().name, SafeName(GetParam().wanted, GetParam().maxBytes, IsNativeLeadByte));
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeNameOf, ::testing::ValuesIn(kSafeNameCases), CaseLabel());

struct AttachmentNameCase {
    const char* label;
    std::string wanted;
    size_t maxBytes;
    std::string stem;
    std::string extension;
};

// An attachment's name is data: one plain name in its note's folder, whole in the cell that
// lists it, and cut in its stem so that it keeps the extension it opens with. Hostile names
// (parent folders, a drive, separators, devices) are cases of the job's file test.
const AttachmentNameCase kAttachmentNameCases[] = {
    {"Japanese", "\x8c\xa9\x90\xcf\x8f\x91.pdf", 64, "\x8c\xa9\x90\xcf\x8f\x91", ".pdf"},
    {"TrailByteThatIsABackslash", "\x95\x5c.xls", 64, "\x95\x5c", ".xls"},
    {"LongNameKeepsItsExtension", std::string(100, 'a') + ".pdf", 20, std::string(16, 'a'), ".pdf"},
    {"CutNeverSplitsACharacter", "\x8c\xa9\x90\xcf\x8f\x91.pdf", 9, "\x8c\xa9\x90\xcf", ".pdf"},
    {"LongTailIsNoExtension", "minutes.of the meeting with the client", 12, "minutes", ".of t"},
    {"ExtensionLongerThanHalfIsCut", "ab.pdf", 3, "ab_", ""},
    {"DotFirstIsNoExtension", ".profile", 64, ".profile", ""},
    {"Nothing", "", 64, "_", ""},
};

class AttachmentNameOf : public ::testing::TestWithParam<AttachmentNameCase> {};

TEST_P(AttachmentNameOf, StaysInItsFolderAndKeepsItsExtension) {
    const AttachmentNameCase& c = GetParam();
    const AttachmentFileName name = MakeAttachmentFileName(c.wanted, c.maxBytes, IsNativeLeadByte);
    EXPECT_EQ(c.stem, name.stem);
    EXPECT_EQ(c.extension, name.extension);
    EXPECT_LE(name.stem.size() + name.extension.size(), c.maxBytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, AttachmentNameOf, ::testing::ValuesIn(kAttachmentNameCases), CaseLabel());

// A name given again in one folder, in any letter case of any script, is numbered.
TEST(NameBook, NumbersWhatTheFileSystemWouldTakeForOneName) {
    CNameBook book;
    EXPECT_EQ("Order.csv", book.Claim("Order", ".csv"));
    EXPECT_EQ("Order (2).csv", book.Claim("Order", ".csv"));
    EXPECT_EQ("ORDER (3).csv", book.Claim("ORDER", ".csv"));
    EXPECT_EQ("Order", book.Claim("Order", ""));
    EXPECT_EQ("\x82\x60.csv", book.Claim("\x82\x60", ".csv"));      // full-width A
    EXPECT_EQ("\x82\x81 (2).csv", book.Claim("\x82\x81", ".csv"));  // full-width a
}

// Files written under a partial name first: no finished name is another's partial name or
// reads like one, in whichever order the names come.
TEST(NameBook, NoFinishedNameIsAPartialName) {
    CNameBook first(kPartialTag);
    EXPECT_EQ("Order.csv", first.Claim("Order", ".csv"));
    EXPECT_EQ("Order.partial (2).csv", first.Claim("Order.partial", ".csv"));
    EXPECT_EQ("ORDER.PARTIAL (3).csv", first.Claim("ORDER.PARTIAL", ".csv"));
    CNameBook second(kPartialTag);
    EXPECT_EQ("Order.partial (2).csv", second.Claim("Order.partial", ".csv"));
    EXPECT_EQ("Order.csv", second.Claim("Order", ".csv"));
    EXPECT_EQ("order (2).csv", second.Claim("order", ".csv"));
    // A name given with its own number already is passed over.
    CNameBook third;
    EXPECT_EQ("a (2).txt", third.Claim("a (2)", ".txt"));
    EXPECT_EQ("a.txt", third.Claim("a", ".txt"));
    EXPECT_EQ("a (3).txt", third.Claim("a", ".txt"));
    third.Reserve("b.txt");
    EXPECT_EQ("b (2).txt", third.Claim("b", ".txt"));
}

// As many files of one name as a note can hold each get a name of their own, the last the
// highest number (how fast is the benchmark's to show).
TEST(NameBook, EveryOneOfANotesWorthOfOneName) {
    CNameBook book;
    std::set<std::string> names;
    for (unsigned i = 0; i < 0xFFFF; ++i) names.insert(book.Claim("scan", ".pdf"));
    EXPECT_EQ(0xFFFFu, names.size());
    EXPECT_EQ(1u, names.count("scan (65535).pdf"));
}

struct ExpandCase {
    const char* label;
    std::string value;  // {dir}: the test's folder
    bool subfolders;
    std::vector<std::string> databases;  // "server!!path" or a path ({dir}); empty: refused
    const char* message;                 // the refusal's start
    const char* leaveOut = nullptr;      // the folder the run writes into ({dir})
};

// The test's folder holds a.nsf, B.NSF, notes.txt, sub\d.nsf, empty\ and list.txt.
const ExpandCase kExpandCases[] = {
    {"OneDatabaseAsTyped", "{dir}\\a.nsf", false, {"{dir}\\a.nsf"}, nullptr},
    {"Folder", "{dir}", false, {"{dir}\\a.nsf", "{dir}\\B.NSF"}, nullptr},
    {"FolderAndSubfolders",
     "{dir}\\",
     true,
     {"{dir}\\a.nsf", "{dir}\\B.NSF", "{dir}\\sub\\d.nsf", "[1] {dir}\\empty\\?"},
     nullptr},
    {"RunsOwnFolderLeftOut",
     "{dir}",
     true,
     {"{dir}\\a.nsf", "{dir}\\B.NSF", "[1] {dir}\\empty\\?", "[0] {dir}\\sub"},
     nullptr,
     "{dir}\\sub"},
    {"Wildcard", "{dir}\\*.nsf", false, {"{dir}\\a.nsf", "{dir}\\B.NSF"}, nullptr},
    {"ListFile", "@{dir}\\list.txt", false, {"Tokyo01/Sales!!apps\\x.nsf", "C:\\y.nsf"}, nullptr},
    {"ListFileCommentsAndLinesWithoutAServerOrPath",
     "@{dir}\\comments.txt",
     false,
     {"C:\\a.nsf", "[3] apps\\x.nsf", "[3] Tokyo01!!"},
     nullptr},
    {"ListFileUtf8WithBom", "@{dir}\\bom.txt", false, {"C:\\\x95\x5c.nsf", "Tokyo01!!\x83\x7c.nsf"}, nullptr},
    {"ListFileUtf8WithoutBom", "@{dir}\\utf8.txt", false, {"C:\\\x83\x7c.nsf"}, nullptr},
    // Bytes that are Shift_JIS as well are taken for Shift_JIS: the code page of the program.
    {"ListFileUtf8ThatIsShiftJisToo", "@{dir}\\both.txt", false, {"C:\\\xE8\xA1\xA8.nsf"}, nullptr},
    {"ListFileShiftJis", "@{dir}\\sjis.txt", false, {"C:\\\x95\x5c.nsf"}, nullptr},
    {"ListFileNotThere",
     "@{dir}\\none.txt",
     false,
     {},
     "\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xcc\x88\xea\x97\x97\x83t\x83@\x83"
     "C\x83\x8b\x82\xf0\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1: "},
    {"FolderWithoutDatabases",
     "{dir}\\empty",
     false,
     {},
     "\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1: "},
};

class ExpandDatabasesOf : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandDatabasesOf, NamesTheDatabases) {
    const ExpandCase& c = GetParam();
    TempDir dir;
    for (const char* file : {"a.nsf", "B.NSF", "notes.txt"}) WriteFileBytes(dir.File(file), "{}");
    ASSERT_TRUE(CreateDirectoryA(dir.File("sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir.File("empty").c_str(), nullptr));
    WriteFileBytes(dir.File("sub\\d.nsf"), "{}");
    WriteFileBytes(dir.File("list.txt"), "  Tokyo01/Sales!!apps\\x.nsf \r\n\r\nC:\\y.nsf\n");
    WriteFileBytes(dir.File("comments.txt"),
                   "# night list\r\n  #C:\\old.nsf\r\nC:\\a.nsf\r\n!!apps\\x.nsf\r\nTokyo01!!\r\n");
    // 表 and ポ: their Shift_JIS second bytes are '\\' and '|'.
    WriteFileBytes(dir.File("bom.txt"),
                   "\xEF\xBB\xBF"
                   "C:\\\xE8\xA1\xA8.nsf\r\nTokyo01!!\xE3\x83\x9D.nsf\r\n");
    WriteFileBytes(dir.File("utf8.txt"), "C:\\\xE3\x83\x9D.nsf\r\n");
    WriteFileBytes(dir.File("both.txt"), "C:\\\xE8\xA1\xA8.nsf\r\n");
    WriteFileBytes(dir.File("sjis.txt"), "C:\\\x95\x5c.nsf\r\n");
    // A folder whose name code page 932 cannot hold (Hangul): the walk passes it by and says so.
    const std::wstring hangul = text::Widen(dir.File("empty")).append(L"\\\uD55C");
    ASSERT_TRUE(CreateDirectoryW(hangul.c_str(), nullptr));
    // The test folder's own clean-up goes by native names, which cannot name this one.
    struct RemoveHangul {
        const std::wstring& path;
        ~RemoveHangul() { RemoveDirectoryW(path.c_str()); }
    } removeHangul{hangul};
    const auto withDir = [&dir](const std::string& text) {
        std::string out = text;
        for (size_t at = out.find("{dir}"); at != std::string::npos; at = out.find("{dir}"))
            out.replace(at, 5, dir.path());
        return out;
    };
    std::vector<DatabaseSource> found;
    std::string message;
    EXPECT_EQ(c.message == nullptr,
              ExpandDatabases(std::string(), withDir(c.value), c.subfolders, found, message,
                              c.leaveOut == nullptr ? std::string() : withDir(c.leaveOut)));
    std::vector<std::string> named;
    for (const DatabaseSource& source : found) {
        // What was passed by is named with the status of its row.
        const std::string status =
            source.problem.empty() ? std::string() : "[" + std::to_string(source.problemStatus) + "] ";
        named.push_back(status + (source.server.empty() ? source.path : source.server + "!!" + source.path));
        if (!source.problem.empty()) {
            EXPECT_NE(std::string::npos, source.problem.find(source.path)) << source.problem;
        }
    }
    std::vector<std::string> expected;
    for (const std::string& database : c.databases) expected.push_back(withDir(database));
    EXPECT_EQ(expected, named);
    if (c.message != nullptr) {
        EXPECT_EQ(0u, message.find(c.message)) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpandDatabasesOf, ::testing::ValuesIn(kExpandCases), CaseLabel());

// A summary cell is read back as it was written: a path with a comma, a title with quotes and
// a message that runs over lines are quoted; plain text and Shift_JIS are not.
TEST(SummaryCells, QuoteOnlyWhatWouldSplitThem) {
    SummaryRow row;
    row.database = "D:\\nsf\\a,b.nsf";
    row.form = "say \"hi\"";
    row.csv = "E:\\out\\\x95\x5c.csv";  // 表: a second byte that is a backslash
    row.error = "line 1\nline 2";
    row.status = 3;
    // A different count in every column, so that two columns swapped are seen.
    ExportTotals& t = row.totals;
    t.written = 5, t.otherForm = 11, t.unreadable = 12, t.refusedLines = 13, t.lostCharacters = 14;
    t.lossyCells = 15, t.conflicts = 16, t.cutValues = 17, t.signatureFailures = 18, t.unjoinedValues = 19;
    t.attachmentsWritten = 6, t.attachmentsNotWritten = 1;
    const std::vector<std::string> expected = {"\"D:\\nsf\\a,b.nsf\"",
                                               "\"say \"\"hi\"\"\"",
                                               "E:\\out\\\x95\x5c.csv",
                                               "5",
                                               "11",
                                               "12",
                                               "13",
                                               "14",
                                               "16",
                                               "17",
                                               "3",
                                               "\"line 1\nline 2\"",
                                               "15",
                                               "18",
                                               "19"};
    EXPECT_EQ(expected, SummaryCells(row));
    // A run that writes attachments has their counts after the first error, where they were
    // before the last three counts came.
    std::vector<std::string> withFiles = expected;
    withFiles.insert(withFiles.begin() + 12, {"6", "1"});
    EXPECT_EQ(withFiles, SummaryCells(row, true));
}

// A title or a message that a spreadsheet would take for a formula stays text; a count, a
// number of its own, does not change.
TEST(SummaryCells, WhatWouldRunAsAFormulaIsText) {
    const std::pair<const char*, const char*> cases[] = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
    };
    for (const auto& c : cases) {
        SummaryRow row;
        row.form = c.first;
        row.error = c.first;
        row.totals.written = 2;
        const std::vector<std::string> cells = SummaryCells(row);
        EXPECT_EQ(c.second, cells[1]) << c.first;
        EXPECT_EQ(c.second, cells[11]) << c.first;
        EXPECT_EQ("2", cells[3]);
    }
}

// In the lossless format the summary's texts go in UTF-8, quoted as RFC 4180 has it, after
// the byte order mark; the counts are where they are in the fixed one.
TEST(SummaryFileLossless, WritesUtf8QuotedAsRfc4180) {
    TempDir dir;
    RecordingSink sink;
    CSummaryFile summary;
    ASSERT_TRUE(summary.Create(dir.File("summary.csv"), sink, false, true));
    SummaryRow row;
    row.database = "D:\\nsf\\a,b.nsf";
    row.form = " \x8c\xda\x8b\x71";     // " 顧客", a blank first
    row.csv = "E:\\out\\\x95\x5c.csv";  // 表: a second byte that is a backslash
    row.error = "say \"hi\"";
    row.status = 3;
    row.totals.written = 5;
    summary.Append(row);
    const std::string bytes = ReadFileBytes(dir.File("summary.csv"));
    const std::string header =
        "\xEF\xBB\xBF"
        "database,form,csv,written,";
    EXPECT_EQ(header, bytes.substr(0, header.size()));
    EXPECT_NE(std::string::npos, bytes.find("\r\n\"D:\\nsf\\a,b.nsf\",\" \xE9\xA1\xA7\xE5\xAE\xA2\",E:\\out\\"
                                            "\xE8\xA1\xA8.csv,5,0,0,0,0,0,0,3,\"say \"\"hi\"\"\",0,0,0\r\n"))
        << bytes;
    EXPECT_TRUE(sink.fileErrors.empty());
}

// The header names each column after the count's key in the run's last line.
TEST(SummaryCells, HeaderNamesTheSummaryLinesKeys) {
    const std::vector<std::string> plain = {"database",
                                            "form",
                                            "csv",
                                            "written",
                                            "other-form",
                                            "not-readable",
                                            "lines-not-written",
                                            "lost-characters",
                                            "conflicts",
                                            "cut-values",
                                            "status",
                                            "first-error",
                                            "cells-with-lost-characters",
                                            "signature-failures",
                                            "unjoined-values"};
    EXPECT_EQ(plain, SummaryHeader());
    std::vector<std::string> withFiles = plain;
    withFiles.insert(withFiles.begin() + 12, {"attachments-written", "attachments-not-written"});
    EXPECT_EQ(withFiles, SummaryHeader(true));
}

// Each count's log text stands on the log line it belongs to, and a run over several exports
// adds them up.
TEST(ExportTotalsTable, SumsAndWritesTheLogLines) {
    ExportTotals a, b;
    a.written = 1, a.otherForm = 2, a.unreadable = 3, a.refusedLines = 4, a.attachmentsWritten = 5;
    b.written = 100, b.attachmentsNotWritten = 6, b.lossyCells = 7;
    a += b;
    EXPECT_EQ("Documents written = 101, Other form = 2, Not readable = 3, Lines not written to the file = 4",
              ExportTotalsText(a));
    EXPECT_EQ("Attachments written = 5, Attachments not written = 6", AttachmentTotalsText(a));
    EXPECT_EQ(7u, a.lossyCells);
}

}  // namespace
