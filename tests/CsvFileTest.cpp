// The CSV writer: the bytes of the file, one report per destination, causes of failures.
#include "export/CsvFile.h"

#include "log/FileError.h"
#include "support/CaseName.h"
#include "support/ExpectedTexts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Cells = std::vector<std::string>;

class CsvFileTest : public ::testing::Test {
protected:
    TempDir dir;
    MessageBoxRecorder recorder;
    CCsvFile csv;
    std::string path = dir.File("out.csv");
};

struct LineCase {
    const char* name;
    Cells cells;
    const char* bytes;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class CsvLineBytes : public CsvFileTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CsvLineBytes, AreCellsJoinedByCommaThenCrLf) {
    ASSERT_TRUE(csv.Create(path));
    ASSERT_TRUE(csv.AppendLine(GetParam().cells));
    EXPECT_EQ(std::string(GetParam().bytes), ReadFileBytes(path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvLineBytes,
    ::testing::Values(
        LineCase{"OneCellHasNoComma", {"Name"}, "Name\r\n"},
        LineCase{"EmptyMiddleCell", {"1", "", "2"}, "1,,2\r\n"},
        LineCase{"QuotesAreNotEscaped", {"say \"hi\"", "x"}, "say \"hi\",x\r\n"},
        LineCase{"BlanksAreKept", {" a ", "  "}, " a ,  \r\n"},
        LineCase{"ShiftJisBytesUnchanged", {"\x83\x5c\x83t\x83g", "\x95\\"}, "\x83\x5c\x83t\x83g,\x95\\\r\n"},
        LineCase{"EmptyCellListIsAnEmptyLine", {}, "\r\n"},
        LineCase{"AllCellsEmpty", {"", "", ""}, ",,\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The lossless format: UTF-8 after a byte order mark, RFC 4180 quoting, the cells' bytes kept.
class LosslessLineBytes : public CsvFileTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LosslessLineBytes, AreQuotedAsRfc4180AfterTheByteOrderMark) {
    for (const bool held : {false, true}) {
        CCsvFile file;
        file.m_lossless = true;
        file.m_hold = held;
        ASSERT_TRUE(file.Create(path)) << held;
        ASSERT_TRUE(file.AppendLine(GetParam().cells)) << held;
        file.Release();
        EXPECT_EQ("\xEF\xBB\xBF" + std::string(GetParam().bytes), ReadFileBytes(path)) << held;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LosslessLineBytes,
    ::testing::Values(LineCase{"PlainCellsStayBare", {"Name", "1"}, "Name,1\r\n"},
                      LineCase{"CommaIsQuoted", {"a,b", "c"}, "\"a,b\",c\r\n"},
                      LineCase{"QuotesAreDoubled", {"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
                      LineCase{"CrLfKeptInsideQuotes", {"a\r\nb", "c"}, "\"a\r\nb\",c\r\n"},
                      LineCase{"BareCrAndLfKeptAsTheyAre", {"a\rb", "c\nd"}, "\"a\rb\",\"c\nd\"\r\n"},
                      LineCase{"BlankAtEitherEndQuoted", {" a", "b ", " "}, "\" a\",\"b \",\" \"\r\n"},
                      LineCase{"TabAtEitherEndQuoted", {"\ta", "a\tb"}, "\"\ta\",a\tb\r\n"},
                      LineCase{"EmptyCellsStayEmpty", {"", "", ""}, ",,\r\n"},
                      LineCase{"FormulaKeptAsItIs", {"=1+1", "+1", "-1"}, "=1+1,+1,-1\r\n"},
                      LineCase{"Utf8BytesUnchanged", {u8"𠮷野家", u8"ｶﾞ"}, u8"𠮷野家,ｶﾞ\r\n"},
                      LineCase{"EmptyCellListIsAnEmptyLine", {}, "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CsvFileTest, LosslessFileThatCannotBeCreatedWritesNoMarkAndReportsOnce) {
    csv.m_lossless = true;
    const std::string missing = dir.File("missing\\out.csv");
    EXPECT_FALSE(csv.Create(missing));
    EXPECT_FALSE(csv.AppendLine({"a"}));
    EXPECT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missing.c_str()));
}

TEST(NativeToUtf8Test, ShiftJisBecomesUtf8AndAsciiStays) {
    EXPECT_EQ(u8"東京, ｶﾞ", NativeToUtf8("\x93\x8c\x8b\x9e, \xb6\xde"));
    EXPECT_EQ("C:\\out\\a.csv", NativeToUtf8("C:\\out\\a.csv"));
    EXPECT_EQ("", NativeToUtf8(""));
}

// An end past 4 GiB does not fit the 32 bits SetFilePointer takes without its high word;
// Windows fails such a seek (Wine does not), and every line would then be lost.
TEST_F(CsvFileTest, LinesAfterFourGibibytesAndOneByteGoToTheVeryEnd) {
    constexpr unsigned long long kSize = (4ull << 30) + 1;
    ASSERT_TRUE(csv.Create(path));
    std::string reason;
    if (!GrowSparse(path, kSize, &reason))
        GTEST_SKIP() << "no sparse file of 4 GiB + 1 byte here: " << reason;
    EXPECT_TRUE(csv.AppendLine({"a", "b"}));
    EXPECT_TRUE(csv.AppendLine({"c"}));
    EXPECT_EQ(kSize + 8, FileSizeOf(path));
    EXPECT_EQ(std::string("\0a,b\r\nc\r\n", 9), ReadFileRange(path, kSize - 1, 16));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(CsvFileTest, HeaderAndThreeDocumentsGiveFourCrLfLinesWithoutByteOrderMark) {
    ASSERT_TRUE(csv.Create(path));
    csv.AppendLine({"Name", "Date"});
    csv.AppendLine({"a", "1"});
    csv.AppendLine({"b", "2"});
    csv.AppendLine({"c", "3"});
    EXPECT_EQ("Name,Date\r\na,1\r\nb,2\r\nc,3\r\n", ReadFileBytes(path));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(CsvFileTest, CreateEmptiesAnExistingFileOfAnySize) {
    WriteFileBytes(path, std::string(100000, 'x'));
    ASSERT_TRUE(csv.Create(path));
    bool exists = false;
    EXPECT_EQ("", ReadFileBytes(path, &exists));
    EXPECT_TRUE(exists);
}

TEST_F(CsvFileTest, AppendNeverCreatesTheFile) {
    csv.m_path = path;
    EXPECT_FALSE(csv.AppendLine({"a"}));
    EXPECT_FALSE(FileExists(path));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextNotFound, recorder.boxes[0].text);
}

TEST_F(CsvFileTest, MissingFolderIsBadPathShownOnceForCreateAndAllAppends) {
    const std::string bad = dir.File("no-such-folder\\out.csv");
    EXPECT_FALSE(csv.Create(bad));
    EXPECT_EQ(bad, csv.m_path);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(csv.AppendLine({"x"}));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(bad + kTextBadPath, recorder.boxes[0].text);
    EXPECT_EQ(kTextFileErrorCaption, recorder.boxes[0].caption);
    EXPECT_EQ(0x30u, recorder.boxes[0].style);
}

TEST_F(CsvFileTest, SecondCreateReportsAgain) {
    const std::string bad = dir.File("gone\\out.csv");
    EXPECT_FALSE(csv.Create(bad));
    EXPECT_FALSE(csv.AppendLine({"x"}));
    EXPECT_FALSE(csv.Create(bad));
    EXPECT_EQ(2u, recorder.boxes.size());
}

TEST_F(CsvFileTest, HeldAtCreateIsSharingViolationNotEmptiedAndLaterLinesAppendAfterOldContent) {
    WriteFileBytes(path, "old\r\n");
    ExclusiveHolder other(path);
    ASSERT_TRUE(other.held());
    EXPECT_FALSE(csv.Create(path));
    EXPECT_FALSE(csv.AppendLine({"h"}));
    other.Release();
    EXPECT_TRUE(csv.AppendLine({"d1"}));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextSharing, recorder.boxes[0].text);
    EXPECT_EQ("old\r\nd1\r\n", ReadFileBytes(path));
}

TEST_F(CsvFileTest, HeldDuringAppendLosesOnlyThatLineAndShowsOneBox) {
    ASSERT_TRUE(csv.Create(path));
    csv.AppendLine({"h"});
    {
        ExclusiveHolder other(path);
        EXPECT_FALSE(csv.AppendLine({"lost1"}));
        EXPECT_FALSE(csv.AppendLine({"lost2"}));
    }
    EXPECT_TRUE(csv.AppendLine({"d3"}));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextSharing, recorder.boxes[0].text);
    EXPECT_EQ("h\r\nd3\r\n", ReadFileBytes(path));
}

TEST_F(CsvFileTest, FolderAsDestinationIsAccessDenied) {
    // A read-only file cannot be used here: Wine lets root write to it.
    const std::string folder = dir.File("sub");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_FALSE(csv.Create(folder));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(folder + kTextAccessDenied, recorder.boxes[0].text);
}

TEST_F(CsvFileTest, PathsThePlatformCannotOpenFailWithAReportedCause) {
    const std::string tooLong = dir.path() + "\\" + std::string(40000, 'b') + ".csv";
    const std::string badChars = dir.File("a?b*.csv");
    for (const std::string& p : {tooLong, badChars}) {
        MessageBoxRecorder local;
        CCsvFile fresh;
        EXPECT_FALSE(fresh.Create(p));
        EXPECT_FALSE(fresh.AppendLine({"x"}));
        ASSERT_EQ(1u, local.boxes.size());
        EXPECT_GT(local.boxes[0].text.size(), p.size());
        EXPECT_EQ(p, local.boxes[0].text.substr(0, p.size()));
    }
}

struct CauseCase {
    DWORD osError;
    int cause;
};

void PrintTo(const CauseCase& c, std::ostream* os) { *os << c.osError; }

class CauseFromOsError : public ::testing::TestWithParam<CauseCase> {};

TEST_P(CauseFromOsError, MapsToTheFrameworkCause) {
    EXPECT_EQ(GetParam().cause, FileErrorCauseFromOsError(GetParam().osError));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CauseFromOsError,
    ::testing::Values(CauseCase{ERROR_FILE_NOT_FOUND, 2}, CauseCase{ERROR_PATH_NOT_FOUND, 3},
                      CauseCase{ERROR_TOO_MANY_OPEN_FILES, 4}, CauseCase{ERROR_ACCESS_DENIED, 5},
                      CauseCase{ERROR_SHARING_VIOLATION, 11}, CauseCase{ERROR_LOCK_VIOLATION, 12},
                      CauseCase{ERROR_DISK_FULL, 13}, CauseCase{ERROR_HANDLE_DISK_FULL, 13},
                      CauseCase{ERROR_INVALID_NAME, 3}, CauseCase{ERROR_FILENAME_EXCED_RANGE, 3},
                      CauseCase{ERROR_NOT_SUPPORTED, 1}, CauseCase{12345, 1}),
    [](const ::testing::TestParamInfo<CauseCase>& info) {
        return "OsError" + std::to_string(info.param.osError);
    });

TEST(FileErrorCauseText, OutsideTheTableIsEmpty) {
    EXPECT_EQ("", FileErrorCauseText(0));
    EXPECT_EQ("", FileErrorCauseText(15));
    EXPECT_EQ("", FileErrorCauseText(-1));
    EXPECT_EQ(kTextDiskFull, FileErrorCauseText(13));
}

TEST(ReportFileErrorTest, CauseOutsideTheTableShowsThePathAlone) {
    MessageBoxRecorder recorder;
    int32_t reported = 0;
    ReportFileError("C:\\x.csv", reported, 99, MessageBoxes());
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ("C:\\x.csv", recorder.boxes[0].text);
    EXPECT_EQ(1, reported);
}

// A file handed a job's sink reports there, once, and shows no box: the command line's file
// errors are lines of its output.
TEST(ReportFileErrorTest, FileHandedASinkReportsThereOnce) {
    MessageBoxRecorder recorder;
    RecordingSink sink;
    TempDir dir;
    CCsvFile file;
    file.m_messages = &sink;
    const std::string path = dir.File("missing\\out.csv");
    EXPECT_FALSE(file.Create(path));
    EXPECT_FALSE(file.AppendLine({"a"}));
    EXPECT_TRUE(recorder.boxes.empty());
    ASSERT_EQ(1u, sink.fileErrors.size());
    EXPECT_EQ(0u, sink.fileErrors[0].find(path));
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
