// The SysLog writer: line layout, CR LF, one report per Create, causes of open failures.
#include "log/SysLog.h"

#include "log/FileError.h"
#include "support/ExpectedTexts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

// "yyyy/mm/dd  hh:mm:ss": the date, two blanks and the time make 20 characters, and the
// text follows the stamp, "---" and the 9-character tag at offset 32.
constexpr size_t kStamp = 20;
constexpr size_t kTextAt = kStamp + 3 + 9;

std::string Stamp(const SYSTEMTIME& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d/%02d/%02d  %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return s;
}

class SysLogTest : public ::testing::Test {
protected:
    TempDir dir;
    MessageBoxRecorder recorder;
    CSysLog log;
    std::string path = dir.File("LOG.TXT");
};

TEST_F(SysLogTest, CreateLeavesAnEmptyFileAndTruncatesAnOldOne) {
    WriteFileBytes(path, "old content\r\n");
    ASSERT_TRUE(log.Create(path.c_str()));
    bool exists = false;
    EXPECT_EQ("", ReadFileBytes(path, &exists));
    EXPECT_TRUE(exists);
    EXPECT_TRUE(recorder.boxes.empty());
}

// An end past 4 GiB does not fit the 32 bits SetFilePointer takes without its high word;
// Windows fails such a seek (Wine does not), and every line would then be lost.
TEST_F(SysLogTest, LineAfterFourGibibytesAndOneByteGoesToTheVeryEnd) {
    constexpr unsigned long long kSize = (4ull << 30) + 1;
    ASSERT_TRUE(log.Create(path.c_str()));
    std::string reason;
    if (!GrowSparse(path, kSize, &reason))
        GTEST_SKIP() << "no sparse file of 4 GiB + 1 byte here: " << reason;
    ASSERT_TRUE(log.Write(LEVEL_COMMAND, "Open Notes DataBase"));
    const std::string line = "---COMMAND  Open Notes DataBase\r\n";
    EXPECT_EQ(kSize + kStamp + line.size(), FileSizeOf(path));
    const std::string tail = ReadFileRange(path, kSize - 1, 64);
    ASSERT_EQ(1 + kStamp + line.size(), tail.size());
    EXPECT_EQ('\0', tail[0]);
    EXPECT_EQ(line, tail.substr(1 + kStamp));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(SysLogTest, LineIsStampHyphensTagTextAndCrLf) {
    ASSERT_TRUE(log.Create(path.c_str()));
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_TRUE(log.Write(LEVEL_COMMAND, "Open Notes DataBase"));
    SYSTEMTIME after;
    GetLocalTime(&after);

    const std::string bytes = ReadFileBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    EXPECT_EQ(std::string::npos, bytes.substr(0, bytes.size() - 2).find_first_of("\r\n"));
    const std::string stamp = bytes.substr(0, kStamp);
    EXPECT_LE(Stamp(before), stamp);
    EXPECT_GE(Stamp(after), stamp);
    EXPECT_EQ("---COMMAND  Open Notes DataBase\r\n", bytes.substr(kStamp));
}

TEST_F(SysLogTest, EveryLevelTagIsNineCharactersAndTextStartsAtOffset32) {
    ASSERT_TRUE(log.Create(path.c_str()));
    const struct {
        int level;
        const char* tag;
    } levels[] = {{LEVEL_INFO, "INFO     "},    {LEVEL_NOTICE, "NOTICE   "}, {LEVEL_DEBUG, "DEBUG    "},
                  {LEVEL_WARNING, "WARNING  "}, {LEVEL_ERROR, "ERROR    "},  {LEVEL_COMMAND, "COMMAND  "},
                  {LEVEL_RESULT, "RESULT   "}};
    for (const auto& level : levels) ASSERT_TRUE(log.Write(level.level, "text"));
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(path));
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ("", lines.back());
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(std::string("---") + levels[i].tag, lines[i].substr(kStamp, 12));
        EXPECT_EQ("text", lines[i].substr(kTextAt));
    }
}

TEST_F(SysLogTest, BannerIsFiveLinesBetweenSeparators) {
    ASSERT_TRUE(log.Create(path.c_str()));
    log.WriteBanner();
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(path));
    ASSERT_EQ(6u, lines.size());
    const std::string separator = "---INFO     " + std::string(41, '-');
    EXPECT_EQ(separator, lines[0].substr(kStamp));
    EXPECT_EQ(0u, lines[1].find("---NOTICE   ", kStamp) - kStamp);
    EXPECT_EQ("---NOTICE   Quillsheet is started.", lines[2].substr(kStamp));
    EXPECT_EQ("---NOTICE   Start Conversion", lines[3].substr(kStamp));
    EXPECT_EQ(separator, lines[4].substr(kStamp));
}

// A name read from a database may hold a line feed: it is written escaped, so that one entry
// stays one line and no name starts a line that reads like the program's own.
TEST_F(SysLogTest, TextIsStoredUnchangedAndAnInnerLineFeedIsEscaped) {
    ASSERT_TRUE(log.Create(path.c_str()));
    const std::string text = "DB Path=\x83\x5c\x83t\x83g,\"q\"\nsecond";  // ソフト with a 0x5C trail byte
    ASSERT_TRUE(log.Write(LEVEL_DEBUG, text));
    EXPECT_EQ("---DEBUG    DB Path=\x83\x5c\x83t\x83g,\"q\"\\nsecond\r\n",
              ReadFileBytes(path).substr(kStamp));
}

TEST_F(SysLogTest, LevelWithoutTagWritesNothingAndShowsNothing) {
    ASSERT_TRUE(log.Create(path.c_str()));
    EXPECT_FALSE(log.Write(1299, "dropped"));
    EXPECT_EQ("", ReadFileBytes(path));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(SysLogTest, WriteNeverCreatesTheFile) {
    log.m_path = path;
    EXPECT_FALSE(log.Write(LEVEL_INFO, "x"));
    EXPECT_FALSE(FileExists(path));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextNotFound, recorder.boxes[0].text);
}

TEST_F(SysLogTest, MissingFolderIsReportedOnceAsBadPathAndLaterWritesAreSilent) {
    const std::string bad = dir.File("no-such-folder\\LOG.TXT");
    EXPECT_FALSE(log.Create(bad.c_str()));
    EXPECT_EQ(bad, log.m_path);
    EXPECT_FALSE(log.Write(LEVEL_INFO, "a"));
    EXPECT_FALSE(log.Write(LEVEL_INFO, "b"));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(bad + kTextBadPath, recorder.boxes[0].text);
    EXPECT_EQ(kTextFileErrorCaption, recorder.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].style);
    EXPECT_EQ(0x30u, recorder.boxes[0].style);
}

TEST_F(SysLogTest, NewCreateAllowsOneMoreReport) {
    const std::string bad = dir.File("missing\\LOG.TXT");
    EXPECT_FALSE(log.Create(bad.c_str()));
    EXPECT_FALSE(log.Create(bad.c_str()));
    EXPECT_FALSE(log.Write(LEVEL_INFO, "x"));
    EXPECT_EQ(2u, recorder.boxes.size());
}

TEST_F(SysLogTest, FileHeldWithoutSharingAtCreateIsASharingViolation) {
    WriteFileBytes(path, "kept");
    ExclusiveHolder other(path);
    ASSERT_TRUE(other.held());
    EXPECT_FALSE(log.Create(path.c_str()));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextSharing, recorder.boxes[0].text);
    other.Release();
    EXPECT_EQ("kept", ReadFileBytes(path));
}

TEST_F(SysLogTest, FileHeldDuringWriteIsReportedOnceAndWritingResumesWhenFreed) {
    ASSERT_TRUE(log.Create(path.c_str()));
    ASSERT_TRUE(log.Write(LEVEL_INFO, "one"));
    {
        ExclusiveHolder other(path);
        EXPECT_FALSE(log.Write(LEVEL_INFO, "lost-a"));
        EXPECT_FALSE(log.Write(LEVEL_INFO, "lost-b"));
    }
    ASSERT_TRUE(log.Write(LEVEL_INFO, "two"));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextSharing, recorder.boxes[0].text);
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(path));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("one", lines[0].substr(kTextAt));
    EXPECT_EQ("two", lines[1].substr(kTextAt));
}

TEST_F(SysLogTest, FileDeletedBetweenLinesIsReportedAsFileNotFound) {
    ASSERT_TRUE(log.Create(path.c_str()));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(log.Write(LEVEL_INFO, "x"));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(path + kTextNotFound, recorder.boxes[0].text);
}

TEST_F(SysLogTest, UnopenablePathsFailWithACauseAndNoOverrun) {
    const std::string tooLong = dir.path() + "\\" + std::string(5000, 'a') + ".txt";
    const std::string badChars = dir.File("a<b>|.txt");
    for (const std::string& p : {tooLong, badChars}) {
        MessageBoxRecorder local;
        CSysLog fresh;
        EXPECT_FALSE(fresh.Create(p.c_str()));
        ASSERT_EQ(1u, local.boxes.size());
        EXPECT_GT(local.boxes[0].text.size(), p.size()) << "the cause text follows the path";
        EXPECT_EQ(p, local.boxes[0].text.substr(0, p.size()));
    }
}

}  // namespace
