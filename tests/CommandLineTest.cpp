// The unattended run in-process: reading the switches, the exit status of an export's
// outcome, the progress it prints, and whole jobs through the command line's job against
// databases of our runtime, printed to a record instead of a console.
#include "cli/CommandLine.h"
#include "cli/CommandLineJob.h"
#include "cli/Console.h"
#include "cli/ConsoleProgress.h"
#include "cli/ConsoleStop.h"
#include "cli/OpenedFile.h"
#include "job/PartialFile.h"
#include "job/RunLock.h"
#include "cli/RunSummary.h"
#include "cli/UnattendedJob.h"
#include "framework/ResourceString.h"
#include "job/ExitStatus.h"
#include "log/FileError.h"
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"
#include "res/resource.h"
#include "support/CaseName.h"
#include "support/ExpectedTexts.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using text::Replaced;

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
    if (o.subfolders) d.push_back("subfolders");
    if (o.list) d.push_back("list");
    if (!o.out.empty()) d.push_back("out=" + o.out);
    if (o.lossless) d.push_back("lossless");
    d.push_back("text=" + o.text);
    return d;
}

const ParseCase kParseCases[] = {
    {"EverySwitchInAnyCase",
     {L"/server", L"Tokyo01/Sales", L"-DB", L"apps\\a.nsf", L"/csv", L"C:\\out.csv", L"/log", L"D:\\job.log",
      L"-INI", L"D:\\n.ini"},
     {"server=Tokyo01/Sales", "db=apps\\a.nsf", "csv=C:\\out.csv", "log=D:\\job.log", "ini=D:\\n.ini",
      "text=/server Tokyo01/Sales -DB apps\\a.nsf /csv C:\\out.csv /log D:\\job.log -INI D:\\n.ini"},
     nullptr},
    {"FieldsInTheirOrderBlanksTrimmed",
     {L"/fields", L"Total, Name ,Date"},
     {"fields=[Total][Name][Date]", "text=/fields \"Total, Name ,Date\""},
     nullptr},
    {"StarMeansEveryField", {L"/fields", L"*"}, {"fields=", "text=/fields *"}, nullptr},
    // An estate: a folder and the folders below it, every form, the files under one folder.
    {"EveryFormOfAFolderTree",
     {L"/db", L"D:\nsf", L"/s", L"/form", L"*", L"-OUT", L"E:\export"},
     {"db=D:\nsf", "form=*", "subfolders", "out=E:\export", "text=/db D:\nsf /s /form * -OUT E:\export"},
     nullptr},
    {"ListTakesNoValue",
     {L"/list", L"/db", L"@D:\all.txt"},
     {"db=@D:\all.txt", "list", "text=/list /db @D:\all.txt"},
     nullptr},
    {"LosslessTakesNoValueInAnyCase",
     {L"-LOSSLESS", L"/db", L"a.nsf", L"/form", L"*", L"/out", L"E:\\x"},
     {"db=a.nsf", "form=*", "out=E:\\x", "lossless", "text=-LOSSLESS /db a.nsf /form * /out E:\\x"},
     nullptr},
    {"LosslessTwiceIsRefused",
     {L"/lossless", L"/Lossless"},
     {},
     "\x83X\x83"
     "C\x83"
     "b\x83` /Lossless \x82\xaa\x93\xf1\x93x\x8ew\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {"UsageUnderEveryName",
     {L"/?", L"-?", L"/HELP", L"-h", L"--help"},
     {"usage", "text=/? -? /HELP -h --help"},
     nullptr},
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
     "\x8e\x9f\x82\xcc\x88\xf8\x90\x94\x82\xc9\x82\xcd Shift_JIS \x82\xc5\x95\x5c\x82\xb9\x82\xc8\x82\xa2"
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

// A run that went through its whole table, with one count set.
ExportOutcome Counted(size_t ExportTotals::*count, size_t value) {
    ExportOutcome o = Outcome(false, true, true, 0, 0, 0, 0, 0);
    o.totals.*count = value;
    return o;
}

const StatusCase kStatusCases[] = {
    {"WholeRun", Outcome(false, true, true, 0, 0, 0, 0, 0), kExitWhole},
    {"OtherFormsAreNoWarning", Counted(&ExportTotals::otherForm, 7), kExitWhole},
    {"AttachmentsWrittenAreNoWarning", Counted(&ExportTotals::attachmentsWritten, 2), kExitWhole},
    {"SignatureFailure", Counted(&ExportTotals::signatureFailures, 1), kExitWarnings},
    {"UnjoinedValue", Counted(&ExportTotals::unjoinedValues, 1), kExitWarnings},
    {"AttachmentNotWritten", Counted(&ExportTotals::attachmentsNotWritten, 1), kExitWarnings},
    {"LineRefusedAlone", Counted(&ExportTotals::refusedLines, 1), kExitIncomplete},
    {"UnreadableNote", Outcome(false, true, true, 0, 1, 0, 0, 0), kExitWarnings},
    {"LostCharacters", Outcome(false, true, true, 0, 0, 2, 0, 0), kExitWarnings},
    {"Conflict", Outcome(false, true, true, 0, 0, 0, 1, 0), kExitWarnings},
    {"CutValue", Outcome(false, true, true, 0, 0, 0, 0, 1), kExitWarnings},
    {"RefusedLinesAndWarnings", Outcome(false, true, true, 2, 1, 1, 0, 0), kExitIncomplete},
    {"StoppedMidRun", Outcome(true, true, false, 0, 0, 0, 0, 0), kExitIncomplete},
    {"StoppedBeforeTheFile", Outcome(true, false, false, 0, 0, 0, 0, 0), kExitNothing},
    {"CloseFailedAfterAWholeRun", Outcome(true, true, true, 0, 0, 0, 0, 0), kExitWarnings},
};

class ExitStatusOfOutcome : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatusOfOutcome, Maps) { EXPECT_EQ(GetParam().status, ExitStatusOf(GetParam().outcome)); }

INSTANTIATE_TEST_SUITE_P(Cases, ExitStatusOfOutcome, ::testing::ValuesIn(kStatusCases), CaseLabel());

// The console's output sent to a file, as a batch file's redirection sends it.
class ConsoleToFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = GetStdHandle(STD_OUTPUT_HANDLE);
        m_previousError = GetStdHandle(STD_ERROR_HANDLE);
        m_file =
            CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_file);
        m_errorFile = CreateFileA(errorPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_errorFile);
        SetStdHandle(STD_OUTPUT_HANDLE, m_file);
        SetStdHandle(STD_ERROR_HANDLE, m_errorFile);
        console.Attach();
    }
    void TearDown() override {
        SetStdHandle(STD_OUTPUT_HANDLE, m_previous);
        SetStdHandle(STD_ERROR_HANDLE, m_previousError);
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        if (m_errorFile != INVALID_HANDLE_VALUE) CloseHandle(m_errorFile);
    }
    TempDir dir;
    std::string path = dir.File("console.txt");
    std::string errorPath = dir.File("errors.txt");
    CConsole console;
    HANDLE m_previous = nullptr;
    HANDLE m_previousError = nullptr;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_errorFile = INVALID_HANDLE_VALUE;
};

constexpr char kDocuments[] = " \x95\xb6\x8f\x91";  // " 文書"

// Sent to a file, the output holds what the run says, never its progress; what ended the run
// is on the standard error.
TEST_F(ConsoleToFile, NativeBytesWithCrLfAndNoProgress) {
    CConsoleProgress progress(console);
    progress.Advance(1, 2);
    console.Print("\x92\x8d\x95\xb6\nOrder");
    progress.Finish();
    console.PrintClosing("End");
    EXPECT_EQ("\x92\x8d\x95\xb6\r\nOrder\r\n", ReadFileBytes(path));
    EXPECT_EQ("End\r\n", ReadFileBytes(errorPath));
}

// Sent to a file from a console set to another code page (chcp 65001), the text is in that
// page, as the program that reads it at that console takes it; at 932, or without a console,
// it is the native bytes. The page is handed in as GetConsoleOutputCP would give it: Wine makes
// no console for a process without a terminal (docs/building.md).
TEST_F(ConsoleToFile, RedirectedTextFollowsTheConsolesCodePage) {
    for (const UINT page : {932u, static_cast<UINT>(CP_UTF8), 0u}) {
        CConsole redirected;
        redirected.Attach([page] { return page; });
        redirected.Print("\x92\x8d\x95\xb6");  // 注文
    }
    EXPECT_EQ("\x92\x8d\x95\xb6\r\n\xe6\xb3\xa8\xe6\x96\x87\r\n\x92\x8d\x95\xb6\r\n", ReadFileBytes(path));
}

struct InPlaceCase {
    const char* label;
    const char* text;
    const char* shown;
    const wchar_t* line;
};

// The count goes back to the start of the console's line and blanks what a longer text left,
// two columns for each double-byte character.
const InPlaceCase kInPlaceCases[] = {
    {"FirstCount", "1 / 9", "", L"\r1 / 9"},
    {"LongerCount", "10 / 90", "9 / 90", L"\r10 / 90"},
    {"ShorterText", "9 / 9", "10 / 10", L"\r9 / 9  "},
    {"BlanksUnderJapanese", "", "1 / 1 \x95\xb6\x8f\x91", L"\r          "},
};

class InPlaceLineOf : public ::testing::TestWithParam<InPlaceCase> {};

TEST_P(InPlaceLineOf, RewritesTheWholeLine) {
    EXPECT_EQ(GetParam().line, InPlaceLine(GetParam().text, GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, InPlaceLineOf, ::testing::ValuesIn(kInPlaceCases), CaseLabel());

struct ProgressCase {
    const char* label;
    DWORD start;  // the tick count at the first note
    unsigned long total;
    DWORD msPerNote;                  // what the clock moves after each note
    std::vector<const char*> counts;  // the counts shown
};

// A count every half second at most, the first and the last always, the last once.
const ProgressCase kProgressCases[] = {
    {"QuickRunIsTheFirstAndTheLastCount", 1000, 2000, 0, {"1 / 2000", "2000 / 2000"}},
    {"EveryHalfSecond", 1000, 10, 200, {"1 / 10", "4 / 10", "7 / 10", "10 / 10"}},
    {"TickCountWrapping", 0xFFFFFF00, 3, 512, {"1 / 3", "2 / 3", "3 / 3"}},
    {"EmptyTableIsOneLine", 1000, 0, 0, {"0 / 0"}},
    {"LastCountNotRepeated", 1000, 1, 0, {"1 / 1"}},
};

// The lines an unattended run prints, kept.
class PrintedLines : public CTextOutput {
public:
    void Print(const std::string& text) override { Split(text, lines); }
    void PrintClosing(const std::string& text) override {
        Split(text, lines);
        Split(text, closing);
    }
    void ShowProgress(const std::string& text) override {
        progress.push_back(text);
        if (onProgress) onProgress();
    }
    bool Has(const std::string& line) const { return std::count(lines.begin(), lines.end(), line) != 0; }
    bool HasClosing(const std::string& line) const {
        return std::count(closing.begin(), closing.end(), line) != 0;
    }

    std::vector<std::string> lines;     // every line, in order
    std::vector<std::string> closing;   // those that ended the run
    std::vector<std::string> progress;  // the counts shown
    std::function<void()> onProgress;   // what happens as a count is shown

private:
    static void Split(const std::string& text, std::vector<std::string>& into) {
        for (size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
            end = std::min(text.find('\n', start), text.size());
            into.push_back(text.substr(start, end - start));
        }
    }
};

class ConsoleProgressTable : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ConsoleProgressTable, ShowsTheCounts) {
    const ProgressCase& c = GetParam();
    DWORD now = c.start;
    PrintedLines output;
    CConsoleProgress progress(output, [&now] { return now; });
    for (unsigned long done = 1; done <= c.total; ++done, now += c.msPerNote) progress.Advance(done, c.total);
    progress.Finish();
    std::vector<std::string> expected;
    for (const char* count : c.counts) expected.push_back(count + std::string(kDocuments));
    EXPECT_EQ(expected, output.progress);
    EXPECT_TRUE(output.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ConsoleProgressTable, ::testing::ValuesIn(kProgressCases), CaseLabel());

// Each count under its own name, in the order scripts were told (a run that exported nothing
// is the twin's case in EndToEndCommandLineTest.cpp).
TEST(RunSummary, NamesEveryCountInItsPlace) {
    ExportTotals t;
    t.written = 100, t.otherForm = 198, t.unreadable = 2, t.refusedLines = 3, t.lostCharacters = 40;
    t.lossyCells = 10, t.conflicts = 4, t.cutValues = 5, t.signatureFailures = 6, t.unjoinedValues = 7;
    EXPECT_EQ(
        "Summary: status=1 written=100 other-form=198 not-readable=2 lines-not-written=3 lost-characters=40 "
        "cells-with-lost-characters=10 conflicts=4 cut-values=5 signature-failures=6 unjoined-values=7 "
        "attachments-written=0 attachments-not-written=0",
        RunSummaryText(1, t));
    t.attachmentsWritten = 8, t.attachmentsNotWritten = 9;
    EXPECT_NE(std::string::npos,
              RunSummaryText(1, t).find(" attachments-written=8 attachments-not-written=9"));
}

// What a case prepares besides the orders database.
enum class JobSetup {
    kNothing,
    kCsvHeld,       // another program holds an earlier CSV file ("held") for the whole run
    kKept,          // an earlier CSV file ("kept") is there
    kKeptAndFault,  // and the note table cannot be had
    kKeptAndCtrlC,  // and Ctrl+C is pressed, as the console's handler hears it, at the first count
    kCtrlCAtOnce,   // Ctrl+C was pressed before the run began
    kClaimed,       // another run writes the CSV file, spelt OUT.CSV, and its log
    kFiles,         // the orders database is the one with files attached (four documents)
};

// The earlier file that another program holds, named as the run names it.
const std::string kHeldTarget = std::string("{dir}\\out.csv") + kTextSharing;
const std::string kClaimedTarget = kTextFileInUse + std::string("{dir}\\out.csv");

struct JobCase {
    const char* label;
    const wchar_t* arguments;  // as typed; {dir} stands for the test's folder
    int status;
    const char* csv;      // the CSV file's bytes; nullptr: no file is written
    const char* output;   // a line the run prints (each line of it; {dir}: the test's folder)
    const char* logLine;  // a line of the log after its time stamp; nullptr: no log
    // The run ended before the export stage and its log is the stage's opening lines, the
    // command line and each printed line of `output` as an error.
    bool outputLogged = false;
    const char* logFile = nullptr;  // the log's name in {dir}; nullptr: job.log with -log, else out.log
    JobSetup setup = JobSetup::kNothing;
    const char* partial = nullptr;  // the bytes of out.partial.csv; nullptr: no such file is left
};

const JobCase kJobCases[] = {
    {"ChosenFieldsInTheirOrder",
     L"/db {dir}\\orders.nsf /form Order /fields \"Total, Name\" /csv {dir}\\out.csv", 0,
     "Total,Name\r\n12,Alice\r\n7,Bob\r\n,\x8e\x81\x96\xbc\r\n", kTextFinished,
     "---INFO     Command line: /db {dir}\\orders.nsf /form Order /fields \"Total, Name\" /csv {dir}\\out.csv"},
    {"DashSwitchesAndFormNameInAnyCase",
     L"-DB {dir}\\orders.nsf -Form order -fields Name -csv {dir}\\out.csv -log {dir}\\job.log", 0,
     "Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", kTextFinished, "---DEBUG    Form Name=Order"},
    // A target that cannot be replaced ends the run before a note is read, and stays as it was.
    {"HeldTargetEndsTheRunAtOnce", L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 3, "held",
     kHeldTarget.c_str(), nullptr, true, nullptr, JobSetup::kCsvHeld},
    // A run that went through takes the earlier file's place; one that stopped leaves it and
    // keeps what it wrote beside it.
    {"WholeRunReplacesTheEarlierFile", L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv",
     0, "Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", kTextFinished, "---DEBUG    Form Name=Order", false,
     nullptr, JobSetup::kKept},
    {"StoppedRunKeepsTheEarlierFile", L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv",
     2, "kept", "Partial CSV file kept: {dir}\\out.partial.csv",
     "---WARNING  CSV file left as it was: {dir}\\out.csv", false, nullptr, JobSetup::kKeptAndFault,
     "Name\r\n"},
    // Stopped between documents, the run closes the database as always; its lines are whole.
    {"CtrlCStopsBetweenDocuments", L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv", 2,
     "kept", "Export stopped on request: the CSV file is incomplete",
     "---RESULT   Close Notes DataBase is success.", false, nullptr, JobSetup::kKeptAndCtrlC,
     "Name\r\nAlice\r\n"},
    // A second run of the same job touches neither the file nor the log of the first.
    {"SecondRunOfTheSameJobEndsAtOnce", L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 3, "kept",
     kClaimedTarget.c_str(), nullptr, false, nullptr, JobSetup::kClaimed, "first"},
    // Heard before the export stage, a stop ends the run as an early end does.
    {"CtrlCBeforeTheFirstDocument", L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 2, nullptr,
     kTextStoppedBeforeExport, nullptr, true, nullptr, JobSetup::kCtrlCAtOnce},
    {"Usage", L"/?", 0, nullptr, kTextUsageStart, nullptr},
    // UTF-8 after a byte order mark, each document's identity first, a value whole in quotes
    // where it holds a comma or a line break (the runtime's UNIDs: "QSIN", the note id, then
    // the creation, by default 2000-01-01 00:00 in Japan).
    {"LosslessFormatWithEachDocumentsIdentity",
     L"/db {dir}\\orders.nsf /form Note /fields Subject /csv {dir}\\out.csv /lossless", 0,
     "\xEF\xBB\xBF"
     "document-unid,note-id,parent-unid,created,modified,Subject\r\n"
     "5153494E0000006449256858005265C0,NT00000064,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,"
     "\"hello, world\"\r\n"
     "5153494E0000006849256858005265C0,NT00000068,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,\r\n"
     "5153494E0000006C49256858005265C0,NT0000006C,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,"
     "\"two\r\nlines\"\r\n",
     kTextFinished,
     "---INFO     Command line: /db {dir}\\orders.nsf /form Note /fields Subject /csv {dir}\\out.csv /lossless"},
    {"LosslessFormatOfANameOutsideAscii",
     L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv /lossless", 0,
     "\xEF\xBB\xBF"
     "document-unid,note-id,parent-unid,created,modified,Name\r\n"
     "5153494E0000006449256858005265C0,NT00000064,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,Alice\r\n"
     "5153494E0000006849256858005265C0,NT00000068,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,Bob\r\n"
     "5153494E0000006C49256858005265C0,NT0000006C,,2000-01-01T00:00:00+09:00,2000-01-01T00:00:00+09:00,"
     "\xE6\xB0\x8F\xE5\x90\x8D\r\n",
     kTextFinished, "---DEBUG    Form Name=Order"},
    // Every form and its fields in the field page's order, one line each; nothing exported.
    {"ListOfFormsAndFields", L"/list /db {dir}\\orders.nsf", 0, nullptr,
     "{dir}\\orders.nsf\tOrder\tDate,Name,Total\n"
     "{dir}\\orders.nsf\tNote\tBody,Subject",
     nullptr},
    {"FieldNamesInAnyLetterCase", L"/db {dir}\\orders.nsf /form Order /fields total,NAME /csv {dir}\\out.csv",
     0, "Total,Name\r\n12,Alice\r\n7,Bob\r\n,\x8e\x81\x96\xbc\r\n", kTextFinished,
     "---DEBUG    Form Name=Order"},
    // What the command line itself gets wrong is 4; what the machine lacks is 3.
    {"UnknownSwitch", L"/db {dir}\\orders.nsf /colour red", 4, nullptr, kTextUnknownSwitch, nullptr},
    {"SwitchWithoutValue", L"/db {dir}\\orders.nsf /form Order /csv", 4, nullptr, kTextNoValue, nullptr},
    {"ArgumentWithoutSwitch", L"/db {dir}\\orders.nsf extra", 4, nullptr, kTextStray, nullptr},
    {"SwitchTwice", L"/form Order /form Note", 4, nullptr, kTextTwice, nullptr},
    {"NoDatabase", L"/form Order /csv {dir}\\out.csv", 4, nullptr, kTextEnterPath, nullptr, true},
    {"RelativeDatabasePath", L"/db orders.nsf /form Order /csv {dir}\\out.csv", 4, nullptr, kTextNotAbsolute,
     nullptr, true},
    {"EmptyServerName", L"/server \"\" /db orders.nsf /form Order /csv {dir}\\out.csv", 4, nullptr,
     kTextEnterServer, nullptr, true},
    {"NoForm", L"/db {dir}\\orders.nsf /csv {dir}\\out.csv", 4, nullptr, kTextChooseForm, nullptr, true},
    {"EmptyFieldName", L"/db {dir}\\orders.nsf /form Order /fields Name,,Total /csv {dir}\\out.csv", 4,
     nullptr, kTextChooseFields, nullptr, true},
    {"NoCsv", L"/db {dir}\\orders.nsf /form Order", 4, nullptr, kTextChooseDestination, nullptr},
    {"CsvNameWithForbiddenCharacter", L"/db {dir}\\orders.nsf /form Order /csv {dir}\\a*b.csv", 4, nullptr,
     kTextBadCharsFirstLine, nullptr},
    {"IniRelative", L"/ini other.ini /db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 4, nullptr,
     kTextNotAbsolute, nullptr, true},
    {"IniNotFound", L"/ini {dir}\\missing.ini /db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 3,
     nullptr, kTextIniNotFound, nullptr, true},
    {"LogThatIsAFolder", L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /log {dir}", 3, nullptr,
     kTextFolder, nullptr},
    {"DatabaseNotFound", L"/db {dir}\\missing.nsf /form Order /csv {dir}\\out.csv", 3, nullptr,
     kTextNoSuchFile, nullptr, true},
    {"FormNotFound", L"/db {dir}\\orders.nsf /form Invoice /csv {dir}\\out.csv", 3, nullptr,
     kTextFormNotFound, nullptr, true},
    {"FieldNotOnTheForm", L"/db {dir}\\orders.nsf /form Order /fields Name,Price /csv {dir}\\out.csv", 3,
     nullptr, kTextFieldNotFound, nullptr, true},
    // Wherever the CSV file and the log stand, a refused switch is logged.
    {"UnknownSwitchBeforeTheCsv", L"/colour red /db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", 4,
     nullptr, kTextUnknownSwitch, nullptr, true},
    {"EarlyEndLoggedWhereLogSays",
     L"/db {dir}\\missing.nsf /form Order /csv {dir}\\out.csv -log {dir}\\job.log", 3, nullptr,
     kTextNoSuchFile, nullptr, true},
    // A log that cannot be created leaves the run as it was: its cause printed, nothing more.
    {"EarlyEndWithALogInNoFolder",
     L"/db {dir}\\missing.nsf /form Order /csv {dir}\\out.csv -log {dir}\\none\\job.log", 3, nullptr,
     kTextNoSuchFile, nullptr, false, "none\\job.log"},
    {"CsvExtensionInCapitals", L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\OUT.CSV", 0,
     "Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", kTextFinished, "---DEBUG    Form Name=Order", false,
     "OUT.log"},
    // Each document's files beside the CSV file, listed in its last column; a file that could
    // not be written is warned of and makes the run's status 1.
    {"AttachmentsBesideTheCsv",
     L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv /attachments files", 1,
     kOrdersWithFilesCsv, "Attachments written = 7, Attachments not written = 3",
     "---INFO     Attachments written = 7, Attachments not written = 3", false, nullptr, JobSetup::kFiles},
    // Under /out each database keeps its files in its own folder: a path of their own is refused.
    {"AttachmentsOfAnEstateByPath", L"/db {dir}\\orders.nsf /form * /out {dir}\\est /attachments C:\\files",
     4, nullptr, kTextAttachmentsNotRelative, nullptr},
    // An empty folder name is no value, under /out as for one database; the refusal names the
    // switch it is about.
    {"EmptyAttachmentsFolderOfAnEstate", L"/db {dir}\\orders.nsf /form * /out {dir}\\est /attachments \"\"",
     4, nullptr, kTextNoAttachmentsValue, nullptr},
    {"EmptyAttachmentsFolderOfOneDatabase",
     L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments \"\"", 4, nullptr,
     kTextNoAttachmentsValue, nullptr, true},
    {"AttachmentsFolderWithForbiddenCharacter",
     L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments a*b", 4, nullptr,
     kTextBadCharsFirstLine,
     "---INFO     Command line: /db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments a*b",
     false, nullptr, JobSetup::kFiles},
    {"EarlyEndOfACsvNameWithoutCsv", L"/db {dir}\\orders.nsf /form Invoice /csv {dir}\\out.txt", 3, nullptr,
     kTextFormNotFound, nullptr, true, "out.txt.log"},
};

class CommandLineJob : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureNotesInitialized());
        WriteNotesDatabase(dbPath, kOrders);
    }

    // Reads `arguments` ({dir}: the test's folder) as the program reads its own and runs the
    // job as the program does once Notes is up.
    int Run(const std::wstring& arguments, PrintedLines& output) {
        const std::wstring typed = Replaced<std::wstring>(arguments, L"{dir}", text::Widen(dir.path()));
        int count = 0;
        LPWSTR* argv = CommandLineToArgvW((L"quillsheet.exe " + typed).c_str(), &count);
        std::vector<std::wstring> words;
        for (int i = 1; i < count; ++i) words.emplace_back(argv[i]);
        LocalFree(argv);
        CommandLineOptions options;
        int status = -1;
        if (!ReadCommandLine(words, output, options, status)) return status;
        ExportTotals totals;
        return RunUnattendedJob(options, output, totals);
    }

    std::string WithDir(const char* text) const { return Replaced<std::string>(text, "{dir}", dir.path()); }
    std::string WithDir(const std::string& text) const { return WithDir(text.c_str()); }

    // The arguments as the log records them (these are typed without quotes but for "").
    static std::string Typed(const wchar_t* arguments) {
        std::string text;
        EXPECT_TRUE(ToCodePage932(arguments, text));
        return text;
    }

    // The log's lines after their time stamps.
    static std::vector<std::string> LogTexts(const std::string& path) {
        std::vector<std::string> texts;
        for (const std::string& line : SplitCrLf(ReadFileBytes(path))) {
            if (line.size() > kStampLength) texts.push_back(line.substr(kStampLength));
        }
        return texts;
    }

    static constexpr size_t kStampLength = 20;  // "YYYY/MM/DD  HH:MM:SS"
    TempDir dir;
    std::string dbPath = dir.File("orders.nsf");
    std::string csvPath = dir.File("out.csv");
    std::string logPath = dir.File("out.log");  // beside out.csv, named after it
    MessageBoxRecorder boxes;
};

class CommandLineJobTable : public CommandLineJob, public ::testing::WithParamInterface<JobCase> {};

TEST_P(CommandLineJobTable, StatusFilesAndOutput) {
    const JobCase& c = GetParam();
    std::unique_ptr<ExclusiveHolder> holder;
    if (c.setup == JobSetup::kFiles) WriteNotesDatabase(dbPath, kOrdersWithFiles);
    if (c.setup == JobSetup::kKeptAndFault) {
        WriteNotesDatabase(dbPath, std::string(kOrders) + R"(,"faults":{"NSFDbGetModifiedNoteTable":582})");
    }
    if (c.setup == JobSetup::kKept || c.setup == JobSetup::kKeptAndFault ||
        c.setup == JobSetup::kKeptAndCtrlC || c.setup == JobSetup::kClaimed)
        WriteFileBytes(csvPath, "kept");
    CRunLock firstRun;
    if (c.setup == JobSetup::kClaimed) {
        ASSERT_TRUE(firstRun.Take(dir.File("OUT.CSV")));
        WriteFileBytes(dir.File("out.partial.csv"), "first");
    }
    PrintedLines output;
    if (c.setup == JobSetup::kKeptAndCtrlC) {
        output.onProgress = [] { EXPECT_TRUE(OnConsoleControl(CTRL_C_EVENT)); };
    }
    if (c.setup == JobSetup::kCtrlCAtOnce) {
        EXPECT_TRUE(OnConsoleControl(CTRL_C_EVENT));
    }
    if (c.setup == JobSetup::kCsvHeld) {
        WriteFileBytes(csvPath, "held");
        holder = std::make_unique<ExclusiveHolder>(csvPath);
    }
    EXPECT_EQ(c.status, Run(c.arguments, output));
    ResetConsoleStop();
    holder.reset();

    if (c.csv != nullptr) {
        EXPECT_EQ(c.csv, ReadFileBytes(csvPath));
    } else {
        EXPECT_FALSE(FileExists(csvPath));
    }
    const std::string partial = dir.File("out.partial.csv");
    if (c.partial != nullptr) {
        EXPECT_EQ(c.partial, ReadFileBytes(partial));
    } else {
        EXPECT_FALSE(FileExists(partial));
    }
    // A message of several lines is printed as those lines.
    PrintedLines expected;
    expected.Print(WithDir(c.output));
    for (const std::string& line : expected.lines) EXPECT_TRUE(output.Has(line)) << "not printed: " << line;
    // A run that reached its notes showed its count, the last one that of the whole table.
    if (c.status <= kExitWarnings && c.csv != nullptr) {
        ASSERT_FALSE(output.progress.empty());
        EXPECT_EQ((c.setup == JobSetup::kFiles ? "4 / 4" : "3 / 3") + std::string(kDocuments),
                  output.progress.back());
    }
    // A run that keeps its partial file ends by naming both files on the standard error.
    if (c.partial != nullptr && c.setup != JobSetup::kClaimed) {
        EXPECT_TRUE(output.HasClosing(WithDir("Partial CSV file kept: {dir}\\out.partial.csv")));
        EXPECT_TRUE(output.HasClosing(WithDir("CSV file left as it was: {dir}\\out.csv")));
    }
    // What ended the run is on the standard error, whether before the export or after it.
    if (c.status >= kExitNothing || c.output == std::string(kTextFinished)) {
        for (const std::string& line : expected.lines)
            EXPECT_TRUE(output.HasClosing(line)) << "not on the standard error: " << line;
    }
    const bool otherLog = std::wstring(c.arguments).find(L"-log") != std::wstring::npos;
    const std::string log = c.logFile != nullptr ? dir.File(c.logFile)
                            : otherLog           ? dir.File("job.log")
                                                 : logPath;
    if (c.logLine != nullptr) {
        const std::vector<std::string> texts = LogTexts(log);
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), WithDir(c.logLine)))
            << "not logged: " << c.logLine;
    } else if (c.outputLogged) {
        std::vector<std::string> logged = {"---INFO     " + ResString(IDS_LOG_SEPARATOR),
                                           "---NOTICE   " + ResString(IDS_LOG_COPYRIGHT),
                                           "---NOTICE   " + ResString(IDS_LOG_STARTED),
                                           "---NOTICE   " + ResString(IDS_LOG_START_CONVERSION),
                                           "---INFO     " + ResString(IDS_LOG_SEPARATOR),
                                           "---INFO     Command line: " + WithDir(Typed(c.arguments))};
        for (const std::string& line : expected.lines) logged.push_back("---ERROR    " + line);
        EXPECT_EQ(logged, LogTexts(log));
    } else {
        EXPECT_FALSE(FileExists(log));
    }
    // The default log goes only beside the CSV file, -log only where it says.
    if (lstrcmpiA(log.c_str(), logPath.c_str()) != 0) {
        EXPECT_FALSE(FileExists(logPath));
    }
    // Nobody is there to close a box: everything went to the output.
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineJobTable, ::testing::ValuesIn(kJobCases), CaseLabel());

// Two jobs one after the other in one process, each with its own log and file, as a run over
// many databases needs: the second neither writes into the first's files nor inherits its
// reported failure.
TEST_F(CommandLineJob, TwoJobsInOneProcessKeepTheirOwnLogsAndFiles) {
    const std::string secondDb = dir.File("conflict.nsf");
    WriteNotesDatabase(secondDb, kOrdersWithConflict);
    PrintedLines first;
    ASSERT_EQ(
        kExitWhole,
        Run(L"/db {dir}\\orders.nsf /form Order /fields Name /csv {dir}\\a.csv /log {dir}\\a.log", first));
    PrintedLines second;
    ASSERT_EQ(kExitWarnings,
              Run(L"/db {dir}\\conflict.nsf /form Order /csv {dir}\\b.csv /log {dir}\\b.log", second));
    EXPECT_EQ("Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", ReadFileBytes(dir.File("a.csv")));
    EXPECT_EQ("Name\r\nAlice\r\nAlice\r\n", ReadFileBytes(dir.File("b.csv")));
    // Each log names its own database, and only that.
    for (const char* job : {"a", "b"}) {
        std::vector<std::string> named;
        for (const std::string& text : LogTexts(dir.File(job + std::string(".log"))))
            if (text.find("DB Path=") != std::string::npos) named.push_back(text);
        EXPECT_EQ(std::vector<std::string>{WithDir(*job == 'a' ? "---DEBUG    DB Path={dir}\\orders.nsf"
                                                               : "---DEBUG    DB Path={dir}\\conflict.nsf")},
                  named);
    }
    EXPECT_FALSE(first.Has("Note ID = 104 (NT00000068), Conflict"));
    EXPECT_TRUE(second.Has("Note ID = 104 (NT00000068), Conflict"));
    EXPECT_FALSE(FileExists(logPath));
}

// Every file under `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesUnder(const std::string& folder, const std::string& prefix = "") {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            for (auto& file : FilesUnder(folder + "\\" + name, prefix + name + "\\")) files.insert(file);
        } else {
            files[prefix + name] = ReadFileBytes(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

// The last cell of each line after the header, split where the files are joined.
std::vector<std::string> AttachmentCells(const std::string& csv) {
    std::vector<std::string> paths;
    const std::vector<std::string> lines = SplitCrLf(csv);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string cell = lines[i].substr(lines[i].rfind(',') + 1);
        for (size_t start = 0; start < cell.size();) {
            const size_t end = std::min(cell.find(';', start), cell.size());
            paths.push_back(cell.substr(start, end - start));
            start = end + 1;
        }
    }
    return paths;
}

// The files of the orders with files, as the database holds them, where the run puts them.
const std::map<std::string, std::string> kWrittenFiles = {
    {"NT00000064\\\x8c\xa9\x90\xcf\x8f\x91.pdf", std::string("%PDF-1.4\n\0\x1a\xff", 12)},
    {"NT00000064\\\x8c\xa9\x90\xcf\x8f\x91 (2).pdf", "second copy"},
    {"NT00000068\\.._.._x.dll", std::string("MZ\x90\0", 4)},
    {"NT00000068\\C__x", "root"},
    {"NT00000068\\_CON.txt", "device"},
    {"NT00000068\\a_b_c.txt", "a,b;c"},
    {"NT0000006C\\memo.txt", "memo\r\nline 2"},
};

// Whatever a name holds, each file lands in its note's folder with the database's bytes, and
// each path of the column opens the file it names; a second run writes the same files again,
// not numbered copies. A folder away from the CSV file's is named by its whole path.
TEST_F(CommandLineJob, AttachmentsAreTheDatabasesBytesInsideTheirFolder) {
    WriteNotesDatabase(dbPath, kOrdersWithFiles);
    for (int run = 0; run < 2; ++run) {
        PrintedLines output;
        ASSERT_EQ(kExitWarnings,
                  Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments files", output));
        EXPECT_EQ(kWrittenFiles, FilesUnder(dir.File("files")));
        // The fourth document's one file was refused: no empty folder stands for it.
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("files\\NT00000070").c_str()));
        const std::string csv = ReadFileBytes(csvPath);
        for (const std::string& path : AttachmentCells(csv)) {
            ASSERT_EQ(0u, path.rfind("files\\", 0)) << path;
            EXPECT_EQ(kWrittenFiles.at(path.substr(6)), ReadFileBytes(dir.File(path))) << path;
        }
        // Nothing else was written beside the CSV file and its log.
        std::vector<std::string> top;
        for (const auto& file : FilesUnder(dir.path()))
            top.push_back(file.first.substr(0, file.first.find('\\')));
        top.erase(std::unique(top.begin(), top.end()), top.end());
        EXPECT_EQ((std::vector<std::string>{"files", "orders.nsf", "out.csv", "out.log"}), top);
        // Each file not written is named with its note and the library's reason.
        const std::pair<const char*, notes::STATUS> refused[] = {
            {"Note ID = 104 (NT00000068), Attachment not written: sealed.doc: ",
             notes::ERR_NOEXTRACT_ENCRYPTED},
            {"Note ID = 104 (NT00000068), Attachment not written: signed.xls: ", notes::ERR_NOTE_BADATTSIGN},
            {"Note ID = 112 (NT00000070), Attachment not written: fault.bin: ", 258},
        };
        const std::vector<std::string> logged = LogTexts(logPath);
        for (const auto& r : refused) {
            const std::string text = r.first + CNsfError(r.second).m_message;
            EXPECT_TRUE(output.Has(text)) << text;
            EXPECT_NE(logged.end(), std::find(logged.begin(), logged.end(), "---WARNING  " + text)) << text;
        }
    }
    ASSERT_TRUE(CreateDirectoryA(dir.File("sub").c_str(), nullptr));
    PrintedLines output;
    ASSERT_EQ(
        kExitWarnings,
        Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\sub\\out.csv /attachments {dir}\\files", output));
    for (const std::string& path : AttachmentCells(ReadFileBytes(dir.File("sub\\out.csv"))))
        EXPECT_EQ(kWrittenFiles.at(path.substr(dir.File("files\\").size())), ReadFileBytes(path)) << path;
}

// A Japanese name that fits a Windows path may not fit the library's: 表 is two bytes of
// Shift_JIS but three of LMBCS, and the library takes MAXPATH (256) bytes of LMBCS with the
// NUL. The name is cut in its stem, by character, until the partial name's whole path fits,
// and no further.
TEST_F(CommandLineJob, LongJapaneseAttachmentNameFitsTheLibrarysPath) {
    std::string name;
    for (int i = 0; i < 100; ++i) name += "\\u8868";  // 表, whose second Shift_JIS byte is '\\'
    WriteNotesDatabase(dbPath, R"("title":"Orders","design":[
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]}],"documents":[
  {"id":100,"items":[{"name":"Name","type":"text","value":"Alice"},
    {"name":"$FILE","type":"file","fileName":")" +
                                   name + R"(.txt","base64":"bG9uZw=="}]}])");
    PrintedLines output;
    ASSERT_EQ(kExitWhole,
              Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments files", output));
    const auto files = FilesUnder(dir.File("files"));
    ASSERT_EQ(1u, files.size());
    const std::string written = files.begin()->first;  // NT00000064\表…表.txt
    EXPECT_EQ("long", files.begin()->second);
    const std::string prefix = "NT00000064\\";
    ASSERT_EQ(0u, written.rfind(prefix, 0)) << written;
    const std::string stem = written.substr(prefix.size(), written.size() - prefix.size() - 4);
    EXPECT_EQ(".txt", written.substr(written.size() - 4));
    ASSERT_FALSE(stem.empty());
    for (size_t i = 0; i < stem.size(); i += 2) EXPECT_EQ("\x95\x5c", stem.substr(i, 2)) << i;
    // The partial name's path, with room for a number given to a name met twice, fits; one
    // character more would not.
    const auto lmbcsLength = [](const std::string& native) {
        std::vector<char> out(native.size() * 3 + 1);
        return notes::TranslateInto(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, native.data(), native.size(),
                                    out.data(), out.size());
    };
    const size_t partialPath =
        lmbcsLength(dir.File("files\\") + prefix + stem + ".partial.txt") + std::string(" (99)").size();
    EXPECT_LE(partialPath, 255u);
    EXPECT_GT(partialPath + 3, 255u);
    EXPECT_EQ(
        "Name,\x93Y\x95t\x83t\x83@\x83"
        "C\x83\x8b\r\nAlice,files\\" +
            written + "\r\n",
        ReadFileBytes(csvPath));
}

// Under /out, each database's files go into a folder of its own folder; the summary counts them.
TEST_F(CommandLineJob, AttachmentsOfAnEstateStayInTheirDatabasesFolder) {
    WriteNotesDatabase(dbPath, kOrdersWithFiles);
    PrintedLines output;
    ASSERT_EQ(kExitWarnings, Run(L"/db {dir} /form * /out {dir}\\est /attachments files", output));
    EXPECT_EQ(kWrittenFiles, FilesUnder(dir.File("est\\orders.nsf\\files")));
    for (const std::string& path : AttachmentCells(ReadFileBytes(dir.File("est\\orders.nsf\\Order.csv"))))
        EXPECT_EQ(kWrittenFiles.at(path.substr(6)), ReadFileBytes(dir.File("est\\orders.nsf\\" + path)))
            << path;
    const std::vector<std::string> summary = SplitCrLf(ReadFileBytes(dir.File("est\\summary.csv")));
    ASSERT_EQ(3u, summary.size());  // the header, the one form's row, the last CR LF
    EXPECT_EQ(
        ",status,first-error,attachments-written,attachments-not-written,cells-with-lost-characters,"
        "signature-failures,unjoined-values",
        summary[0].substr(summary[0].find(",status,")));
    EXPECT_EQ(",1,,7,3,0,0,0", summary[1].substr(summary[1].rfind(",1,")));
}

// Forms whose titles make hostile names, two documents each, and files attached under device
// names: every form gets a CSV file of its own with its documents, every file counted as
// written stands with its bytes, and every row of the summary names a file that is there.
inline constexpr char kHostileTitles[] = R"("title":"Hostile","design":[
  {"class":"form","title":"Order.partial","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"\u30ec\u30dd\u30fc\u30c8","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"\u30dd\u30a4\u30f3\u30c8|Points","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"A,B","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"C;D","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"NUL .x","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"=1+1","fields":[{"name":"Name","type":"text"}]}],
  "documents":[
  {"id":100,"items":[{"name":"Form","type":"text","value":"Order.partial"},{"name":"Name","type":"text","value":"p1"}]},
  {"id":104,"items":[{"name":"Form","type":"text","value":"Order.partial"},{"name":"Name","type":"text","value":"p2"}]},
  {"id":108,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"Name","type":"text","value":"o1"},
    {"name":"$FILE","type":"file","fileName":"NUL .pdf","base64":"bnVs"},
    {"name":"$FILE","type":"file","fileName":"CON .txt","base64":"Y29u"},
    {"name":"$FILE","type":"file","fileName":"CONIN$","base64":"Y29uaW4="},
    {"name":"$FILE","type":"file","fileName":"COM1 .log","base64":"Y29tMQ=="}]},
  {"id":112,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"Name","type":"text","value":"o2"}]},
  {"id":116,"items":[{"name":"Form","type":"text","value":"\u30ec\u30dd\u30fc\u30c8"},{"name":"Name","type":"text","value":"r1"}]},
  {"id":120,"items":[{"name":"Form","type":"text","value":"\u30ec\u30dd\u30fc\u30c8"},{"name":"Name","type":"text","value":"r2"}]},
  {"id":124,"items":[{"name":"Form","type":"text","value":"Points"},{"name":"Name","type":"text","value":"i1"}]},
  {"id":128,"items":[{"name":"Form","type":"text","value":"\u30dd\u30a4\u30f3\u30c8"},{"name":"Name","type":"text","value":"i2"}]},
  {"id":132,"items":[{"name":"Form","type":"text","value":"A,B"},{"name":"Name","type":"text","value":"ab1"}]},
  {"id":136,"items":[{"name":"Form","type":"text","value":"A,B"},{"name":"Name","type":"text","value":"ab2"}]},
  {"id":140,"items":[{"name":"Form","type":"text","value":"C;D"},{"name":"Name","type":"text","value":"cd1"}]},
  {"id":144,"items":[{"name":"Form","type":"text","value":"C;D"},{"name":"Name","type":"text","value":"cd2"}]},
  {"id":148,"items":[{"name":"Form","type":"text","value":"NUL .x"},{"name":"Name","type":"text","value":"n1"}]},
  {"id":152,"items":[{"name":"Form","type":"text","value":"NUL .x"},{"name":"Name","type":"text","value":"n2"}]},
  {"id":156,"items":[{"name":"Form","type":"text","value":"=1+1"},{"name":"Name","type":"text","value":"f1"}]},
  {"id":160,"items":[{"name":"Form","type":"text","value":"=1+1"},{"name":"Name","type":"text","value":"f2"}]}])";

TEST_F(CommandLineJob, EveryFormOfHostileTitlesGetsAFileOfItsOwn) {
    WriteNotesDatabase(dir.File("hostile.nsf"), kHostileTitles);
    PrintedLines output;
    ASSERT_EQ(kExitWhole, Run(L"/db {dir}\\hostile.nsf /form * /out {dir}\\out /attachments files", output));
    const std::string folder = dir.File("out\\hostile.nsf");
    // Each form's file, as the form page names it, and the names of its documents.
    const std::pair<std::string, std::string> files[] = {
        {"Order.partial (2).csv", "p1\r\np2\r\n"},
        {"Order.csv",
         "o1,files\\NT0000006C\\_NUL .pdf;files\\NT0000006C\\_CON .txt;files\\NT0000006C\\_CONIN$;"
         "files\\NT0000006C\\_COM1 .log\r\no2,\r\n"},
        {"\x83\x8c\x83\x7c\x81\x5b\x83\x67.csv", "r1\r\nr2\r\n"},
        {"\x83\x7c\x83\x43\x83\x93\x83\x67.csv", "i1\r\ni2\r\n"},
        {"A_B.csv", "ab1\r\nab2\r\n"},
        {"C_D.csv", "cd1\r\ncd2\r\n"},
        {"_NUL .x.csv", "n1\r\nn2\r\n"},
        {"=1+1.csv", "f1\r\nf2\r\n"},
    };
    std::map<std::string, std::string> expected;
    for (const auto& file : files) {
        // The header, then each document with its files' cell, empty for most.
        const bool withFiles = file.second.find(',') != std::string::npos;
        expected[file.first] =
            std::string(
                "Name,\x93Y\x95t\x83t\x83@\x83"
                "C\x83\x8b\r\n") +
            (withFiles ? file.second : Replaced<std::string>(file.second, "\r\n", ",\r\n"));
    }
    expected["hostile.log"] = "";
    expected["files\\NT0000006C\\_NUL .pdf"] = "nul";
    expected["files\\NT0000006C\\_CON .txt"] = "con";
    expected["files\\NT0000006C\\_CONIN$"] = "conin";
    expected["files\\NT0000006C\\_COM1 .log"] = "com1";
    std::map<std::string, std::string> found = FilesUnder(folder);
    found["hostile.log"] = "";
    EXPECT_EQ(expected, found);
    // Every row names a file that is there, the formula of a title as text.
    const std::vector<std::string> rows = SplitCrLf(ReadFileBytes(dir.File("out\\summary.csv")));
    ASSERT_EQ(10u, rows.size());  // the header, eight forms, the last CR LF
    for (size_t i = 1; i + 1 < rows.size(); ++i) {
        // The path is the cell that starts with the run's folder (a title may hold a comma).
        const size_t csv = rows[i].find("," + dir.File("out\\")) + 1;
        ASSERT_NE(0u, csv) << rows[i];
        const std::string path = rows[i].substr(csv, rows[i].find(',', csv) - csv);
        EXPECT_TRUE(FileExists(path)) << rows[i];
    }
    EXPECT_NE(std::string::npos, rows[8].find(",'=1+1,")) << rows[8];
}

// A run that does not go through (stopped here by Ctrl+C on its first document) leaves last
// night's attachments as they were, takes back the files it wrote, and says so.
TEST_F(CommandLineJob, AStoppedRunLeavesLastNightsAttachments) {
    WriteNotesDatabase(dbPath, kOrdersWithFiles);
    PrintedLines night;
    ASSERT_EQ(kExitWarnings,
              Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments files", night));
    // Last night's files, one of them changed since, as a user may have.
    WriteFileBytes(dir.File("files\\NT00000064\\\x8c\xa9\x90\xcf\x8f\x91.pdf"), "kept");
    std::map<std::string, std::string> before = FilesUnder(dir.File("files"));
    PrintedLines output;
    output.onProgress = [] { EXPECT_TRUE(OnConsoleControl(CTRL_C_EVENT)); };
    EXPECT_EQ(kExitIncomplete,
              Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments files", output));
    ResetConsoleStop();
    EXPECT_EQ(before, FilesUnder(dir.File("files")));
    EXPECT_TRUE(output.HasClosing("Attachments left as they were: 2 files of this run removed"));
    // The files taken back are not counted as written.
    EXPECT_TRUE(output.Has("Attachments written = 0, Attachments not written = 2"));
    EXPECT_NE(std::string::npos, ReadFileBytes(logPath).find("Attachments left as they were: 2 files"));
}

// /lossless under /out: every form's file and summary.csv in the lossless format, and the files
// attached listed one per line of their cell.
TEST_F(CommandLineJob, LosslessEstateWritesEveryFileAndTheSummaryInTheLosslessFormat) {
    WriteNotesDatabase(dbPath, kOrdersWithFiles);
    PrintedLines output;
    ASSERT_EQ(kExitWarnings, Run(L"/db {dir} /form * /out {dir}\\est /attachments files /lossless", output));
    const std::string csv = ReadFileBytes(dir.File("est\\orders.nsf\\Order.csv"));
    const std::string header =
        "\xEF\xBB\xBF"
        "document-unid,note-id,parent-unid,created,modified,Name,"
        "\xE6\xB7\xBB\xE4\xBB\x98\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\r\n";
    EXPECT_EQ(header, csv.substr(0, header.size()));
    // The first document's two files of one name, one per line of its quoted cell.
    EXPECT_NE(std::string::npos,
              csv.find(",Alice,\"files\\NT00000064\\\xE8\xA6\x8B\xE7\xA9\x8D\xE6\x9B\xB8.pdf\r\n"
                       "files\\NT00000064\\\xE8\xA6\x8B\xE7\xA9\x8D\xE6\x9B\xB8 (2).pdf\"\r\n"))
        << csv;
    const std::string summary = ReadFileBytes(dir.File("est\\summary.csv"));
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "database,form,csv,",
        summary.substr(0, 21));
    // The row's path in UTF-8, quoted only if it must be.
    EXPECT_NE(std::string::npos, summary.find("\r\n" + dir.File("orders.nsf") + ",Order," +
                                              dir.File("est\\orders.nsf\\Order.csv")))
        << summary;
}

// Counts the job's NSFDbOpen calls while it lives, through the bound operation itself.
class DatabaseOpenCounter {
public:
    DatabaseOpenCounter() {
        s_opens = 0;
        s_real = Slot();
        Slot() = Counting;
    }
    ~DatabaseOpenCounter() { Slot() = s_real; }
    int opens() const { return s_opens; }

private:
    // The binding's table is the program's own, writable storage; only its accessor is const.
    static notes::PFN_NSFDbOpen& Slot() { return const_cast<notes::NotesFunctions&>(notes::Api()).NSFDbOpen; }
    static notes::STATUS LNPUBLIC Counting(const char* path, notes::DBHANDLE* db) {
        ++s_opens;
        return s_real(path, db);
    }
    static inline int s_opens = 0;
    static inline notes::PFN_NSFDbOpen s_real = nullptr;
};

// A reader that opens the log, as a text viewer does, when the job opens a database (the
// export stage's open comes after its first log lines) and holds it until it ends.
class LogReaderAtOpen {
public:
    explicit LogReaderAtOpen(const std::string& log) {
        s_log = log;
        s_reader = INVALID_HANDLE_VALUE;
        s_real = Slot();
        Slot() = Opening;
    }
    ~LogReaderAtOpen() {
        Slot() = s_real;
        if (s_reader != INVALID_HANDLE_VALUE) CloseHandle(s_reader);
    }
    bool held() const { return s_reader != INVALID_HANDLE_VALUE; }

private:
    static notes::PFN_NSFDbOpen& Slot() { return const_cast<notes::NotesFunctions&>(notes::Api()).NSFDbOpen; }
    static notes::STATUS LNPUBLIC Opening(const char* path, notes::DBHANDLE* db) {
        if (s_reader == INVALID_HANDLE_VALUE && GetFileAttributesA(s_log.c_str()) != INVALID_FILE_ATTRIBUTES)
            s_reader = CreateFileA(s_log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return s_real(path, db);
    }
    static inline std::string s_log;
    static inline HANDLE s_reader = INVALID_HANDLE_VALUE;
    static inline notes::PFN_NSFDbOpen s_real = nullptr;
};

// A log held open by a reader loses no line: the run ends as one without a reader, with the
// same lines.
TEST_F(CommandLineJob, ReaderHoldingTheLogLosesNoLine) {
    const wchar_t* arguments = L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv";
    PrintedLines alone;
    ASSERT_EQ(kExitWhole, Run(arguments, alone));
    const std::vector<std::string> expected = LogTexts(logPath);
    // An earlier log held open stops a run before it starts; this reader comes during the run.
    ASSERT_TRUE(DeleteFileA(logPath.c_str()));
    PrintedLines output;
    int status = -1;
    {
        LogReaderAtOpen reader(logPath);
        status = Run(arguments, output);
        ASSERT_TRUE(reader.held()) << "the reader could not open the log";
    }
    EXPECT_EQ(kExitWhole, status);
    EXPECT_TRUE(output.Has(kTextFinished));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(expected, LogTexts(logPath));
}

// Every form of every database of a folder, each to DIR\<database>\<form>.csv with the
// database's one log beside them, the same bytes as the form's single export, and a summary
// row for each. The documents without a Form item go into the default form's file alone, or
// the first form's where there is no default form.
TEST_F(CommandLineJob, EveryFormOfAFolderGoesUnderOut) {
    WriteNotesDatabase(dir.File("orders2.nsf"), kOrders);
    std::string withDefault = kOrders;
    const std::string note = R"("title":"Note",)";
    withDefault.insert(withDefault.find(note) + note.size(), R"("default":true,)");
    // and a form without a title, which no document can name: a warning row, not an export
    withDefault.insert(withDefault.find('[') + 1, R"({"class":"form"},)");
    WriteNotesDatabase(dir.File("withdefault.nsf"), withDefault);
    WriteFileBytes(dir.File("broken.nsf"), "not a database");
    PrintedLines output;
    {
        // Each database once for its forms and once for each form's export; a damaged one once.
        DatabaseOpenCounter counter;
        EXPECT_EQ(kExitNothing, Run(L"/db {dir} /form * /out {dir}\\out", output));
        EXPECT_EQ(1 + 3 * (1 + 2), counter.opens());
    }
    {
        // One form named: its file in each database's folder, with every document without a
        // Form item, as its single export writes them; no other form's fields are read.
        DatabaseOpenCounter counter;
        PrintedLines named;
        EXPECT_EQ(kExitNothing, Run(L"/db {dir} /form note /out {dir}\\named", named));
        EXPECT_EQ(1 + 3 * (1 + 1), counter.opens());
        EXPECT_EQ("Body,Subject\r\n,hello; world\r\n,\r\n,two  lines\r\n",
                  ReadFileBytes(dir.File("named\\orders.nsf\\Note.csv")));
        EXPECT_FALSE(FileExists(dir.File("named\\orders.nsf\\Order.csv")));
    }
    {
        DatabaseOpenCounter counter;
        PrintedLines listed;
        EXPECT_EQ(kExitNothing, Run(L"/list /db {dir}", listed));
        EXPECT_EQ(4, counter.opens());
    }
    PrintedLines single;
    ASSERT_EQ(kExitWhole, Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\single.csv", single));
    const std::string order = ReadFileBytes(dir.File("single.csv"));
    const std::string notes = "Body,Subject\r\n,hello; world\r\n,\r\n,two  lines\r\n";
    const struct {
        const char* db;
        const char* log;
        std::string orderCsv, noteCsv;
        const char* formlessLine;
    } expected[] = {
        {"orders.nsf", "orders.log", order, "Body,Subject\r\n",
         "no default form; written with its first form Order"},
        {"orders2.nsf", "orders2.log", order, "Body,Subject\r\n", "written with its first form Order"},
        {"withdefault.nsf", "withdefault.log", order.substr(0, order.find('\n') + 1), notes,
         "written with the default form Note"},
    };
    for (const auto& e : expected) {
        const std::string folder = dir.File(std::string("out\\") + e.db);
        EXPECT_EQ(e.orderCsv, ReadFileBytes(folder + "\\Order.csv")) << e.db;
        EXPECT_EQ(e.noteCsv, ReadFileBytes(folder + "\\Note.csv")) << e.db;
        const std::string log = ReadFileBytes(folder + "\\" + e.log);
        EXPECT_NE(std::string::npos, log.find("Form Name=Order")) << e.db;
        EXPECT_NE(std::string::npos, log.find("Form Name=Note")) << e.db;
        EXPECT_NE(std::string::npos, log.find(e.formlessLine)) << e.db;
        // The counts of the summary's rows, as each form's export logged them.
        EXPECT_NE(std::string::npos, log.find("Documents written = 3, Other form = 0, Not readable = 0"))
            << e.db;
        EXPECT_NE(std::string::npos, log.find("Documents written = 0, Other form = 3, Not readable = 0"))
            << e.db;
        EXPECT_FALSE(FileExists(folder + "\\Order.log")) << e.db;
    }
    EXPECT_NE(std::string::npos, ReadFileBytes(dir.File("out\\broken.nsf\\broken.log")).find("---ERROR"));
    const std::vector<std::string> rows = SplitCrLf(ReadFileBytes(dir.File("out\\summary.csv")));
    ASSERT_EQ(10u, rows.size());  // the header, a row for the broken database, seven forms, the last CR LF
    EXPECT_EQ(
        "database,form,csv,written,other-form,not-readable,lines-not-written,lost-characters,conflicts,"
        "cut-values,status,first-error,cells-with-lost-characters,signature-failures,unjoined-values",
        rows[0]);
    EXPECT_EQ(0u, rows[1].find(dir.File("broken.nsf") + ",,,0,0,0,0,0,0,0,3,")) << rows[1];
    EXPECT_EQ(WithDir("{dir}\\orders.nsf,Order,{dir}\\out\\orders.nsf\\Order.csv,3,0,0,0,0,0,0,0,,0,0,0"),
              rows[2]);
    EXPECT_EQ(WithDir("{dir}\\orders.nsf,Note,{dir}\\out\\orders.nsf\\Note.csv,0,3,0,0,0,0,0,0,,0,0,0"),
              rows[3]);
    EXPECT_EQ(WithDir("{dir}\\withdefault.nsf,not available,,0,0,0,0,0,0,0,1,") +
                  ResString(IDS_CMD_FORM_UNNAMED) + ",0,0,0",
              rows[6]);
    EXPECT_FALSE(FileExists(dir.File("out\\summary.partial.csv")));
    EXPECT_TRUE(boxes.boxes.empty());
}

// Counts the signing and the checking of signatures while it lives, through the bound
// operations themselves.
class SignatureCalls {
public:
    SignatureCalls() {
        s_signs = s_checks = 0;
        s_sign = Table().NSFNoteSign;
        s_check = Table().NSFNoteVerifySignature;
        Table().NSFNoteSign = Signing;
        Table().NSFNoteVerifySignature = Checking;
    }
    ~SignatureCalls() {
        Table().NSFNoteSign = s_sign;
        Table().NSFNoteVerifySignature = s_check;
    }
    int signs() const { return s_signs; }
    int checks() const { return s_checks; }

private:
    static notes::NotesFunctions& Table() { return const_cast<notes::NotesFunctions&>(notes::Api()); }
    static notes::STATUS LNPUBLIC Signing(notes::NOTEHANDLE note) {
        ++s_signs;
        return s_sign(note);
    }
    static notes::STATUS LNPUBLIC Checking(notes::NOTEHANDLE note, char* item, notes::TIMEDATE* when,
                                           char* signer, char* certifier) {
        ++s_checks;
        return s_check(note, item, when, signer, certifier);
    }
    static inline int s_signs = 0;
    static inline int s_checks = 0;
    static inline notes::PFN_NSFNoteSign s_sign = nullptr;
    static inline notes::PFN_NSFNoteVerifySignature s_check = nullptr;
};

// A text the run writes: `before`, the library's text for `status` when there is one, `after`.
struct RunText {
    std::string before;
    notes::STATUS status = 0;
    std::string after;

    std::string Text() const { return before + (status != 0 ? CNsfError(status).m_message : "") + after; }
};

// Databases as a genuine library answers for them: signatures that do not verify, attachments
// whose objects are damaged, a default form that cannot be had. A server's folder of such
// databases runs through the real program as well (EndToEndCommandLineTest.cpp).
struct GenuineCase {
    const char* label;
    std::string members;  // the database orders.nsf
    const wchar_t* arguments;
    int status;
    // Files under the test's folder and the bytes each must hold; the CSV files among them.
    std::vector<std::pair<const char*, std::string>> files;
    std::vector<RunText> printed;  // lines the run prints, each whole
    const char* log;               // the log under the test's folder
    std::vector<RunText> logged;   // texts the log holds
    int checks;                    // signatures checked; none is ever signed
};

const char kOrderForm[] = R"({"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]})";
const std::string kAttachmentHeader =
    "Name,\x93Y\x95t\x83t\x83@\x83"
    "C\x83\x8b\r\n";

std::string Members(const std::string& design, const std::string& documents) {
    return R"("title":"Orders","design":[)" + design + R"(],"documents":[)" + documents + "]";
}

const std::string kSignedMembers = Members(kOrderForm, R"(
  {"id":100,"signed":true,"items":[{"name":"Name","type":"text","value":"Alice"}]},
  {"id":104,"signed":true,"signatureBroken":true,"items":[{"name":"Name","type":"text","value":"Bob"}]},
  {"id":108,"items":[{"name":"Name","type":"text","value":"Carol"}]})");
const std::string kDamagedMembers = Members(kOrderForm, R"(
  {"id":100,"items":[{"name":"Name","type":"text","value":"Alice"},
    {"name":"$FILE","type":"file","fileName":"gone.txt","base64":"Z29uZQ==","missingObject":true},
    {"name":"$FILE","type":"file","fileName":"short.txt","base64":"c2hvcnQ=","truncatedObject":true},
    {"name":"$FILE","type":"file","fileName":"whole.txt","base64":"d2hvbGU="}]})");
// Two forms, the second the default, a document of each and one without a Form item.
const std::string kDefaultSecond = Members(
    R"({"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"Note","default":true,"fields":[{"name":"Name","type":"text"}]})",
    R"(
  {"id":100,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"Name","type":"text","value":"Alice"}]},
  {"id":104,"items":[{"name":"Form","type":"text","value":"Note"},{"name":"Name","type":"text","value":"Bob"}]},
  {"id":108,"items":[{"name":"Name","type":"text","value":"Carol"}]})");

constexpr notes::STATUS kSignatureDoesNotVerify = 603;  // ERR_NOTE_INVSIG2, our runtime's answer
constexpr notes::STATUS kNoAccess = 582;                // ERR_NOACCESS

const GenuineCase kGenuineCases[] = {
    {"SignatureThatDoesNotVerifyIsWarnedAndTheLineWritten",
     kSignedMembers,
     L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv",
     kExitWarnings,
     {{"out.csv", "Name\r\nAlice\r\nBob\r\nCarol\r\n"}},
     {{"Note ID = 104 (NT00000068), Signature not verified: ", kSignatureDoesNotVerify, ""}},
     "out.log",
     {{"---WARNING  Note ID = 104 (NT00000068), Signature not verified: ", kSignatureDoesNotVerify, ""}},
     2},
    {"DamagedObjectsAreTheirFilesWarningsNotAFullDisk",
     kDamagedMembers,
     L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv /attachments files",
     kExitWarnings,
     {{"out.csv", kAttachmentHeader + "Alice,files\\NT00000064\\whole.txt\r\n"},
      {"files\\NT00000064\\whole.txt", "whole"}},
     {{"Note ID = 100 (NT00000064), Attachment not written: gone.txt: ", notes::ERR_BADOBJECT, ""},
      {"Note ID = 100 (NT00000064), Attachment not written: short.txt: ", notes::ERR_OBJECT_TRUNCATED, ""}},
     "out.log",
     {{"Attachments written = 1, Attachments not written = 2", 0, ""}},
     0},
    {"DefaultFormThatCannotBeHadIsSaidSo",
     kDefaultSecond + R"(,"faults":{"NSFDbGetSpecialNoteID":582})",
     L"/db {dir} /form * /out {dir}\\est",
     kExitWhole,
     {{"est\\orders.nsf\\Order.csv", "Name\r\nAlice\r\nCarol\r\n"},
      {"est\\orders.nsf\\Note.csv", "Name\r\nBob\r\n"}},
     {},
     "est\\orders.nsf\\orders.log",
     {{"Documents without a Form item: the default form could not be read (", kNoAccess,
       " (status 582)); written with the first form Order"}},
     0},
};

class GenuineLibraryRun : public CommandLineJob, public ::testing::WithParamInterface<GenuineCase> {};

// An unattended run never signs a note (signing asks for the ID's password, which nobody is
// there to type): a signed note's signature is checked, and only that.
TEST_P(GenuineLibraryRun, WritesWhatTheLibraryGivesAndNeverSigns) {
    const GenuineCase& c = GetParam();
    WriteNotesDatabase(dbPath, c.members);
    PrintedLines output;
    SignatureCalls calls;
    EXPECT_EQ(c.status, Run(c.arguments, output));
    EXPECT_EQ(0, calls.signs());
    EXPECT_EQ(c.checks, calls.checks());
    for (const auto& file : c.files)
        EXPECT_EQ(file.second, ReadFileBytes(dir.File(file.first))) << file.first;
    for (const RunText& line : c.printed) EXPECT_TRUE(output.Has(line.Text())) << line.Text();
    const std::string log = ReadFileBytes(dir.File(c.log));
    for (const RunText& text : c.logged) EXPECT_NE(std::string::npos, log.find(text.Text())) << text.Text();
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, GenuineLibraryRun, ::testing::ValuesIn(kGenuineCases), CaseLabel());

// Ctrl+C in the middle of an estate ends it after the form being written: that form's file is
// kept under its partial name, nothing after it is started, and the summary stays partial.
TEST_F(CommandLineJob, CtrlCStopsTheEstateAfterTheFormBeingWritten) {
    WriteNotesDatabase(dir.File("orders2.nsf"), kOrders);
    PrintedLines output;
    output.onProgress = [] { EXPECT_TRUE(OnConsoleControl(CTRL_C_EVENT)); };
    EXPECT_EQ(kExitIncomplete, Run(L"/db {dir} /form * /out {dir}\\out", output));
    ResetConsoleStop();
    const std::string order = dir.File("out\\orders.nsf\\Order");
    EXPECT_EQ(ReadFileBytes(dir.File("out\\orders.nsf\\Order.partial.csv")).substr(0, 15), "Date,Name,Total");
    EXPECT_FALSE(FileExists(order + ".csv"));
    EXPECT_FALSE(FileExists(dir.File("out\\orders.nsf\\Note.partial.csv")));
    EXPECT_FALSE(FileExists(dir.File("out\\orders2.nsf")));
    EXPECT_FALSE(FileExists(dir.File("out\\summary.csv")));
    const std::vector<std::string> rows = SplitCrLf(ReadFileBytes(dir.File("out\\summary.partial.csv")));
    ASSERT_EQ(3u, rows.size());  // the header, the stopped form, the last CR LF
    EXPECT_EQ(0u,
              rows[1].find(WithDir("{dir}\\orders.nsf,Order,{dir}\\out\\orders.nsf\\Order.partial.csv,1,")))
        << rows[1];
    EXPECT_NE(std::string::npos, rows[1].find(",2,")) << rows[1];
}

// A job whose log cannot be written reports it once, on the output, and ends before a note is
// read, leaving no file; the next job's log, which can be written, reports nothing.
TEST_F(CommandLineJob, ALogFailureIsReportedOncePerJob) {
    PrintedLines first;
    {
        WriteFileBytes(logPath, "");
        ExclusiveHolder holder(logPath);
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(kExitNothing, Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", first));
    }
    EXPECT_FALSE(FileExists(csvPath));
    EXPECT_FALSE(FileExists(dir.File("out.partial.csv")));
    const size_t reports = static_cast<size_t>(std::count_if(
        first.lines.begin(), first.lines.end(),
        [&](const std::string& line) { return line.compare(0, logPath.size(), logPath) == 0; }));
    EXPECT_EQ(1u, reports);
    PrintedLines second;
    EXPECT_EQ(kExitWhole, Run(L"/db {dir}\\orders.nsf /form Order /csv {dir}\\out.csv", second));
    for (const std::string& line : second.lines) EXPECT_NE(0u, line.find(logPath)) << line;
    EXPECT_TRUE(boxes.boxes.empty());
}

struct OpenedFileCase {
    const char* label;
    std::vector<std::wstring> arguments;  // {dir}: the test's folder, which holds orders.nsf
    const wchar_t* opened;                // the full path the windows are given; nullptr: a run with switches
};

const OpenedFileCase kOpenedFileCases[] = {
    {"PathMadeWhole", {L"{dir}\\sub\\..\\orders.nsf"}, L"{dir}\\orders.nsf"},
    {"Folder", {L"{dir}"}, nullptr},
    {"FileAndMore", {L"{dir}\\orders.nsf", L"/form"}, nullptr},
};

class OpenedFileOfArguments : public ::testing::TestWithParam<OpenedFileCase> {};

// Only one existing file, and nothing else, opens the windows with it; anything else is a
// run with switches, whose refusal says what was wrong.
TEST_P(OpenedFileOfArguments, ChoosesTheFrontEnd) {
    const OpenedFileCase& c = GetParam();
    TempDir dir;
    WriteFileBytes(dir.File("orders.nsf"), "{}");
    ASSERT_TRUE(CreateDirectoryA(dir.File("sub").c_str(), nullptr));
    const std::wstring folder = text::Widen(dir.path());
    std::vector<std::wstring> arguments;
    for (const std::wstring& argument : c.arguments)
        arguments.push_back(Replaced<std::wstring>(argument, L"{dir}", folder));
    std::wstring opened = L"left over";
    EXPECT_EQ(c.opened != nullptr, OpenedFile(arguments, opened));
    EXPECT_EQ(c.opened != nullptr ? Replaced<std::wstring>(c.opened, L"{dir}", folder) : std::wstring(),
              opened);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenedFileOfArguments, ::testing::ValuesIn(kOpenedFileCases), CaseLabel());

struct PartialNameCase {
    const char* label;
    const char* target;
    const char* partial;
};

class PartialName : public ::testing::TestWithParam<PartialNameCase> {};

TEST_P(PartialName, SaysWhatItIsBeforeTheExtension) {
    EXPECT_EQ(GetParam().partial, PartialPathOf(GetParam().target));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PartialName,
    ::testing::Values(PartialNameCase{"Csv", "C:\\out\\night.csv", "C:\\out\\night.partial.csv"},
                      PartialNameCase{"ExtensionAsTyped", "C:\\OUT.CSV", "C:\\OUT.partial.CSV"},
                      PartialNameCase{"DotInAFolderOnly", "C:\\v1.2\\out", "C:\\v1.2\\out.partial"},
                      PartialNameCase{"NameThatIsAnExtension", "C:\\d\\.csv", "C:\\d\\.csv.partial"},
                      PartialNameCase{"TrailByteThatIsABackslash", "C:\\d\\a.\x95\x5c",
                                      "C:\\d\\a.partial.\x95\x5c"}),
    CaseLabel());

// One claim for every spelling of a path, another for another path; released with its holder.
TEST(RunLock, OnePathOneClaim) {
    EXPECT_EQ(RunLockName("C:\\Out\\Night.csv"), RunLockName("c:\\out\\sub\\..\\NIGHT.CSV"));
    EXPECT_NE(RunLockName("C:\\out\\night.csv"), RunLockName("C:\\out\\night.log"));
    TempDir dir;
    {
        CRunLock first;
        ASSERT_TRUE(first.Take(dir.File("out.csv")));
        CRunLock second;
        EXPECT_FALSE(second.Take(dir.File("out.csv")));
    }
    CRunLock again;
    EXPECT_TRUE(again.Take(dir.File("out.csv")));
}

// The partial file takes the target's place only as a whole: held, the target and the
// partial file both stay as they were; free, the target holds the partial file's bytes.
TEST(ReplaceTarget, WholeOrNotAtAll) {
    TempDir dir;
    const std::string target = dir.File("out.csv"), partial = dir.File("out.partial.csv");
    WriteFileBytes(target, "old");
    WriteFileBytes(partial, "new");
    {
        ExclusiveHolder holder(target);
        ASSERT_TRUE(holder.held());
        EXPECT_NE(kFileErrNone, ReplaceTarget(partial, target));
    }
    EXPECT_EQ("old", ReadFileBytes(target));
    EXPECT_EQ("new", ReadFileBytes(partial));
    EXPECT_EQ(kFileErrNone, ReplaceTarget(partial, target));
    EXPECT_EQ("new", ReadFileBytes(target));
    EXPECT_FALSE(FileExists(partial));
}

}  // namespace
