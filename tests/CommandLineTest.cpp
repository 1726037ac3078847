// The unattended run's pieces that need no Notes: reading the switches, the exit status of
// an export's outcome, and the progress it prints.
#include "app/CommandLine.h"
#include "app/Console.h"
#include "app/ConsoleProgress.h"
#include "app/ExitStatus.h"
#include "support/CaseName.h"
#include "res/resource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
    const char* label;
    std::vector<std::wstring> arguments;
    // The options read, each as "name=value" in a fixed order; empty when refused.
    std::vector<std::string> options;
    const char* message;  // the refusal's text; nullptr when accepted
};

std::vector<std::string> Described(const CommandLineOptions& o) {
    std::vector<std::string> d;
    if (o.usage) d.push_back("usage");
    if (o.serverGiven) d.push_back("server=" + o.server);
    if (!o.db.empty()) d.push_back("db=" + o.db);
    if (!o.form.empty()) d.push_back("form=" + o.form);
    if (o.fieldsGiven) {
        std::string fields = "fields=";
        for (const std::string& f : o.fields) fields += "[" + f + "]";
        d.push_back(fields);
    }
    if (!o.csv.empty()) d.push_back("csv=" + o.csv);
    if (o.logGiven) d.push_back("log=" + o.log);
    if (o.iniGiven) d.push_back("ini=" + o.ini);
    d.push_back("text=" + o.text);
    return d;
}

const ParseCase kParseCases[] = {
    {"FieldsInTheirOrderBlanksTrimmed",
     {L"/fields", L"Total, Name ,Date"},
     {"fields=[Total][Name][Date]", "text=/fields \"Total, Name ,Date\""},
     nullptr},
    {"StarMeansEveryField", {L"/fields", L"*"}, {"fields=", "text=/fields *"}, nullptr},
    {"UsageUnderEveryName",
     {L"/?", L"-?", L"/HELP", L"-h", L"--help"},
     {"usage", "text=/? -? /HELP -h --help"},
     nullptr},
    {"IniInAnyCase", {L"-INI", L"D:\\n.ini"}, {"ini=D:\\n.ini", "text=-INI D:\\n.ini"}, nullptr},
    {"LongFormOfAnotherSwitchIsUnknown",
     {L"--db", L"x"},
     {},
     "\x95s\x96\xbe\x82\xc8\x83X\x83"
     "C\x83"
     "b\x83`\x82\xc5\x82\xb7: --db"},
    {"EmptyFieldNameKept", {L"/fields", L"A,,B"}, {"fields=[A][][B]", "text=/fields A,,B"}, nullptr},
    {"EmptyValueQuotedInTheRecord",
     {L"/server", L"", L"/db", L"x"},
     {"server=", "db=x", "text=/server \"\" /db x"},
     nullptr},
    {"SwitchWhereAValueShouldBe",
     {L"/db", L"/form", L"Order"},
     {},
     "\x83X\x83"
     "C\x83"
     "b\x83` /db \x82\xc9\x92l\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1"},
    {"SameSwitchTwiceInTwoSpellings",
     {L"/csv", L"C:\\a.csv", L"-CSV", L"C:\\b.csv"},
     {},
     "\x83X\x83"
     "C\x83"
     "b\x83` -CSV \x82\xaa\x93\xf1\x93x\x8ew\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {"CharacterOutsideCodePage932",
     {L"/db", L"C:\\data\\\u00e9.nsf"},
     {},
     "\x8e\x9f\x82\xcc\x88\xf8\x90\x94\x82\xc9\x82\xcd\x83V\x83t\x83g JIS \x82\xc5\x95\x5c\x82\xb9\x82\xc8\x82\xa2"
     "\x95\xb6\x8e\x9a (\x3f) \x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7: C:\\data\\\x3f.nsf"},
};

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, ReadsOrRefuses) {
    const ParseCase& c = GetParam();
    CommandLineOptions options;
    std::string message;
    const bool accepted = ParseCommandLine(c.arguments, options, message);
    if (c.message == nullptr) {
        ASSERT_TRUE(accepted) << message;
        EXPECT_EQ(c.options, Described(options));
    } else {
        EXPECT_FALSE(accepted);
        EXPECT_EQ(c.message, message);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineParse, ::testing::ValuesIn(kParseCases), CaseLabel());

struct StatusCase {
    const char* label;
    ExportOutcome outcome;
    ExitStatus status;
};

ExportOutcome Outcome(bool stopped, bool fileCreated, bool finished, size_t refused, size_t unreadable,
                      size_t lossy, size_t conflicts, size_t cut) {
    ExportOutcome o;
    o.stopped = stopped;
    o.fileCreated = fileCreated;
    o.totals.finished = finished;
    o.totals.refusedLines = refused;
    o.totals.unreadable = unreadable;
    o.totals.lossyCells = lossy;
    o.totals.conflicts = conflicts;
    o.totals.cutValues = cut;
    o.totals.written = 3;
    return o;
}

const StatusCase kStatusCases[] = {
    {"Conflict", Outcome(false, true, true, 0, 0, 0, 1, 0), kExitWarnings},
    {"RefusedLinesAndWarnings", Outcome(false, true, true, 2, 1, 1, 0, 0), kExitIncomplete},
    {"StoppedMidRun", Outcome(true, true, false, 0, 0, 0, 0, 0), kExitIncomplete},
    {"StoppedBeforeTheFile", Outcome(true, false, false, 0, 0, 0, 0, 0), kExitNothing},
    {"CloseFailedAfterAWholeRun", Outcome(true, true, true, 0, 0, 0, 0, 0), kExitWarnings},
};

class ExitStatusOfOutcome : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatusOfOutcome, Maps) { EXPECT_EQ(GetParam().status, ExitStatusOf(GetParam().outcome)); }

INSTANTIATE_TEST_SUITE_P(Cases, ExitStatusOfOutcome, ::testing::ValuesIn(kStatusCases), CaseLabel());

struct RefusalCase {
    const char* label;
    unsigned messageId;
    ExitStatus status;
};

// A fault of the command line's own text is 4, whatever the machine; what the machine lacks is 3.
const RefusalCase kRefusalCases[] = {
    {"NoDatabase", IDS_ENTER_DB_PATH, kExitBadArgument},
    {"NoServerName", IDS_ENTER_SERVER_NAME, kExitBadArgument},
    {"NoForm", IDS_CHOOSE_FORM, kExitBadArgument},
    {"EmptyFieldName", IDS_CHOOSE_FIELDS, kExitBadArgument},
    {"NoCsv", IDS_CHOOSE_DESTINATION, kExitBadArgument},
    {"EmptyLog", IDS_CMD_CHOOSE_LOG, kExitBadArgument},
    {"NetworkPath", IDS_PATH_NETWORK, kExitBadArgument},
    {"RelativePath", IDS_PATH_NOT_ABSOLUTE, kExitBadArgument},
    {"ForbiddenCharacter", IDS_PATH_BAD_CHARS, kExitBadArgument},
    {"PathTooLong", IDS_PATH_TOO_LONG, kExitBadArgument},
    {"FolderInTheWay", IDS_PATH_FOLDER, kExitNothing},
    {"ReadOnlyFileInTheWay", IDS_PATH_READONLY, kExitNothing},
};

class ExitStatusOfRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ExitStatusOfRefusal, SaysWhoseFaultItIs) {
    EXPECT_EQ(GetParam().status, StatusOfRefusal(GetParam().messageId));
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitStatusOfRefusal, ::testing::ValuesIn(kRefusalCases), CaseLabel());

// The console's output sent to a file, as a batch file's redirection sends it.
class ConsoleToFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = GetStdHandle(STD_OUTPUT_HANDLE);
        m_file =
            CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_file);
        SetStdHandle(STD_OUTPUT_HANDLE, m_file);
        console.Attach();
    }
    void TearDown() override {
        SetStdHandle(STD_OUTPUT_HANDLE, m_previous);
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    std::vector<std::string> Lines() {
        FlushFileBuffers(m_file);
        std::vector<std::string> lines = SplitCrLf(ReadFileBytes(path));
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }

    TempDir dir;
    std::string path = dir.File("console.txt");
    CConsole console;
    HANDLE m_previous = nullptr;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

constexpr char kDocuments[] = " \x95\xb6\x8f\x91";  // " 文書"

TEST_F(ConsoleToFile, PrintsNativeBytesWithCrLf) {
    console.Print("\x92\x8d\x95\xb6\nOrder");
    EXPECT_EQ("\x92\x8d\x95\xb6\r\nOrder\r\n", ReadFileBytes(path));
}

TEST_F(ConsoleToFile, ProgressOfAQuickRunIsTheFirstAndTheLastCount) {
    CConsoleProgress progress(console);
    for (unsigned long done = 1; done <= 2000; ++done) progress.Advance(done, 2000);
    progress.Finish();
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    // Two thousand notes in well under a second: a line or two between, never one a note.
    EXPECT_LE(lines.size(), 4u);
    EXPECT_EQ(std::string("1 / 2000") + kDocuments, lines.front());
    EXPECT_EQ(std::string("2000 / 2000") + kDocuments, lines.back());
}

TEST_F(ConsoleToFile, ProgressOfAnEmptyTableIsOneLine) {
    CConsoleProgress progress(console);
    progress.Finish();
    EXPECT_EQ(std::vector<std::string>{std::string("0 / 0") + kDocuments}, Lines());
}

TEST_F(ConsoleToFile, ProgressShownAtTheLastCountIsNotRepeated) {
    CConsoleProgress progress(console);
    progress.Advance(1, 1);
    progress.Finish();
    EXPECT_EQ(std::vector<std::string>{std::string("1 / 1") + kDocuments}, Lines());
}

}  // namespace
