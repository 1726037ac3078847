// The real quillsheet.exe started with switches, as a batch file or the Task Scheduler
// starts it: only its exit status, its output file, the CSV file and the log are read, so
// these cases need no window and run under emulation as well.
#include "EndToEndFixture.h"
#include "framework/ResourceString.h"
#include "job/RunLock.h"
#include "res/resource.h"
#include "support/Text.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

using namespace e2e;

// 受注.nsf, a database whose form has a Japanese title and Japanese fields.
constexpr char kJapaneseDbName[] = "\x8e\xf3\x92\x8d.nsf";
const char kJapaneseOrders[] = R"("title":"Juchu","design":[
  {"class":"form","title":"\u6ce8\u6587|Order","fields":[{"name":"\u6c0f\u540d","type":"text"},{"name":"\u91d1\u984d","type":"number"}]}],
  "documents":[
  {"id":200,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"\u6c0f\u540d","type":"text","value":"\u7530\u4e2d"},{"name":"\u91d1\u984d","type":"number","value":30}]},
  {"id":204,"items":[{"name":"Form","type":"text","value":"\u6ce8\u6587"},{"name":"\u6c0f\u540d","type":"text","value":"\u4f50\u85e4"},{"name":"\u91d1\u984d","type":"number","value":5}]}])";
// 氏名, 金額, 田中, 佐藤
constexpr char kSjisName[] = "\x8e\x81\x96\xbc";
constexpr char kSjisAmount[] = "\x8b\xe0\x8az";
constexpr char kSjisTanaka[] =
    "\x93"
    "c\x92\x86";
constexpr char kSjisSato[] = "\x8d\xb2\x93\xa1";

// What a case prepares besides the fixture's two orders databases and notes.ini.
enum class Setup {
    kNothing,
    kJapanese,        // 受注.nsf in the data folder
    kConflict,        // the local orders hold a save conflict
    kTableFault,      // the note table cannot be had: the run stops after the header
    kNotesInitFails,  // the Notes library does not start
    kOtherIni,        // the client's notes.ini fails Notes; {dir}\\other.ini is sound
    kOtherIniFails,   // {dir}\\other.ini fails Notes; the client's is sound
    kCsvHeld,         // another program holds the earlier CSV file ("held") for the whole run
    kEstate,          // {dir}\\list.txt names the server's orders, a damaged database and titles.nsf
    kServerFolders,   // the server hub's folders night (two databases, one below) and locked
};

// A server's folder tree of a night's export: night\\受注.nsf, night\\sub\\mixed.nsf (a
// database as a genuine library answers for it), other\\skip.nsf beside the tree, and the
// folder locked, which the library refuses to search.
// mixed.nsf: Note, its second form, is the default; Bob's signature does not verify; Dan's
// note is sealed with the newer keys and holds a file; Carol's has no Form item.
const char kMixedDatabase[] = R"("title":"Mixed","design":[
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]},
  {"class":"form","title":"Note","default":true,"fields":[{"name":"Name","type":"text"}]}],
  "documents":[
  {"id":100,"signed":true,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"Name","type":"text","value":"Alice"}]},
  {"id":104,"signed":true,"signatureBroken":true,"items":[{"name":"Form","type":"text","value":"Note"},{"name":"Name","type":"text","value":"Bob"}]},
  {"id":108,"sealed":true,"newerEncryption":true,"items":[{"name":"Form","type":"text","value":"Order"},{"name":"Name","type":"text","value":"Dan"},
    {"name":"$FILE","type":"file","fileName":"memo.txt","base64":"bWVtbw=="}]},
  {"id":112,"items":[{"name":"Name","type":"text","value":"Carol"}]}])";

void WriteServerFolders(const TempDir& dir) {
    const std::string hub = dir.File("data\\servers\\hub");
    for (const char* folder : {"\\night", "\\night\\sub", "\\other", "\\locked"})
        CreateDirectoryA((hub + folder).c_str(), nullptr);
    WriteNotesDatabase(hub + "\\night\\" + kJapaneseDbName, kJapaneseOrders);
    WriteNotesDatabase(hub + "\\night\\sub\\mixed.nsf", kMixedDatabase);
    WriteNotesDatabase(hub + "\\other\\skip.nsf", kJapaneseOrders);
    WriteNotesDatabase(hub + "\\locked\\a.nsf", kJapaneseOrders);
    WriteFileBytes(hub + "\\locked\\folder.faults", "NSFSearch=582\n");
    // A database without an extension, a folder without databases, and one whose database's
    // name Shift_JIS cannot hold (Hangul), which a server lists in LMBCS all the same.
    WriteNotesDatabase(hub + "\\names", kJapaneseOrders);
    for (const char* folder : {"\\empty", "\\intl"}) CreateDirectoryA((hub + folder).c_str(), nullptr);
    const std::wstring hangul = text::Widen(hub) + L"\\intl\\\uD55C.nsf";
    const HANDLE file = CreateFileW(hangul.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
}

// The rows of what a server's listing could not take in, as the run prints them.
const std::string kHangulRowText =
    ResStringWith(IDS_CMD_NOT_SEARCHED, "hub!!intl\\?.nsf (" + ResString(IDS_CMD_NAME_NOT_CP932) + ")");
const std::string kNoDatabasesText = ResStringWith(IDS_CMD_NO_DATABASES, "hub!!empty");

// A form whose title would climb out of the folder and holds characters no file name may.
const char kHostileTitle[] = R"("title":"Titles","design":[
  {"class":"form","title":"..\\..\\\u898b\u7a4d:\u8acb\u6c42?","fields":[{"name":"Name","type":"text"}]}],
  "documents":[
  {"id":100,"items":[{"name":"Form","type":"text","value":"..\\..\\\u898b\u7a4d:\u8acb\u6c42?"},{"name":"Name","type":"text","value":"Alice"}]}])";
// .._.._見積_請求_.csv, the form's file as the run names it
constexpr char kHostileTitleCsv[] = ".._.._\x8c\xa9\x90\xcf_\x90\xbf\x8b\x81_.csv";

struct CommandLineCase {
    const char* label;
    Setup setup;
    // The arguments as typed; {dir} stands for the test's folder.
    const wchar_t* arguments;
    DWORD status;
    const char* csv;      // the CSV file's bytes; nullptr: no file is written
    const char* output;   // a line the run prints ({dir}: the test's folder)
    const char* logLine;  // a line of the log after its time stamp; nullptr: no log
};

// The first log line of Notes that did not start: ERROR and the first line of the message
// printed (each printed line is a stamped line of the log).
const std::string kLoggedInitFailureText =
    "---ERROR    " + std::string(kTextInitFailed).substr(0, std::string(kTextInitFailed).find('\n'));
const char* const kLoggedInitFailure = kLoggedInitFailureText.c_str();

// The earlier file that another program holds, named as the run names it, printed and logged.
const std::string kHeldTargetText = std::string("{dir}\\out.csv") + kTextSharing;
const std::string kLoggedHeldTargetText = "---ERROR    " + kHeldTargetText;

// The last line of a run that exported nothing, after its status.
constexpr char kNothingCounted[] =
    " written=0 other-form=0 not-readable=0 lines-not-written=0 lost-characters=0 cells-with-lost-characters=0 "
    "conflicts=0 cut-values=0 signature-failures=0 unjoined-values=0 attachments-written=0 "
    "attachments-not-written=0";

// What needs the real process: the console it prints to, the exit status as the shell sees
// it (one case of each), arguments typed in Japanese, which front end one argument chooses,
// and Notes that does not start or starts with another notes.ini. Every check and refusal of
// the job is a case of the in-process table (CommandLineTest.cpp).
const CommandLineCase kCases[] = {
    {"LocalEveryField", Setup::kNothing, L"/db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv", 0,
     "Date,Name,Total\r\n2024/03/05,Alice,12\r\n,Bob,7\r\n,\x8e\x81\x96\xbc,\r\n",
     "Documents written = 3, Other form = 0, Not readable = 0, Lines not written to the file = 0",
     "---DEBUG    DB Path={dir}\\data\\orders.nsf"},
    {"ServerJob", Setup::kNothing,
     L"/server hub /db sales\\orders.nsf /form Note /fields * /csv {dir}\\out.csv", 0,
     "Body,Subject\r\n,hello; world\r\n,\r\n,two  lines\r\n",
     "Summary: status=0 written=3 other-form=0 not-readable=0 lines-not-written=0 lost-characters=0 "
     "cells-with-lost-characters=0 conflicts=0 cut-values=0 signature-failures=0 unjoined-values=0 "
     "attachments-written=0 attachments-not-written=0",
     "---DEBUG    DB Path=hub!!sales\\orders.nsf"},
    {"JapaneseFormFieldsAndPaths", Setup::kJapanese,
     L"/db {dir}\\data\\\u53d7\u6ce8.nsf /form \u6ce8\u6587 /fields \u91d1\u984d,\u6c0f\u540d /csv {dir}\\\u51fa\u529b.csv",
     0, nullptr, nullptr, "---DEBUG    Form Name=\x92\x8d\x95\xb6|Order"},
    {"ConflictWarnsWithStatus1", Setup::kConflict,
     L"/db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv", 1, "Name\r\nAlice\r\nAlice\r\n",
     "Note ID = 104 (NT00000068), Conflict", "---WARNING  Note ID = 104 (NT00000068), Conflict"},
    // An earlier good file stays where it was; what the stopped run wrote is kept beside it.
    {"NotesErrorMidExportKeepsTheEarlierFile", Setup::kTableFault,
     L"/db {dir}\\data\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv", 2, "kept",
     "Partial CSV file kept: {dir}\\out.partial.csv", "---WARNING  CSV file left as it was: {dir}\\out.csv"},
    // A CSV file that cannot be replaced is found before the first document.
    {"HeldCsvEndsTheRunAtOnce", Setup::kCsvHeld,
     L"/db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv", 3, "held", kHeldTargetText.c_str(),
     kLoggedHeldTargetText.c_str()},
    {"Usage", Setup::kNothing, L"/?", 0, nullptr, kTextUsageStart, nullptr},
    // The forms of a database and their fields, for a script to choose from.
    {"ListOfADatabase", Setup::kNothing, L"/list /db {dir}\\data\\orders.nsf", 0, nullptr,
     "{dir}\\data\\orders.nsf\tOrder\tDate,Name,Total\n{dir}\\data\\orders.nsf\tNote\tBody,Subject", nullptr},
    // Every form of the data folder and the folders below it, each under /out, in one run.
    {"EveryFormOfAFolderTree", Setup::kNothing, L"/db {dir}\\data /s /form * /out {dir}\\estate", 0, nullptr,
     "0  3  {dir}\\estate\\orders.nsf\\Order.csv\n0  0  {dir}\\estate\\orders.nsf\\Note.csv\n"
     "0  3  {dir}\\estate\\orders.nsf (2)\\Order.csv",
     nullptr},
    // A list file of a server's database and two local ones, one damaged: its row says so and
    // the run goes on; a hostile form title makes a file inside the folder.
    {"ListFileWithAServerDatabase", Setup::kEstate, L"/db @{dir}\\list.txt /form * /out {dir}\\estate", 3,
     nullptr,
     "0  3  {dir}\\estate\\orders.nsf\\Order.csv\n0  0  {dir}\\estate\\orders.nsf\\Note.csv\n"
     "3  0  {dir}\\data\\broken.nsf",
     nullptr},
    // A server's folder and the folders below it, listed by the library in name order.
    {"ListOfAServersFolderTree", Setup::kServerFolders, L"/list /server hub /db night /s", 0, nullptr,
     "hub!!night\\\x8e\xf3\x92\x8d.nsf\t\x92\x8d\x95\xb6|Order\t\x8b\xe0\x8az,\x8e\x81\x96\xbc\n"
     "hub!!night\\sub\\mixed.nsf\tOrder\tName\nhub!!night\\sub\\mixed.nsf\tNote\tName",
     nullptr},
    // A wildcard on a server matches in its own folder, letter case ignored.
    {"WildcardOnAServer", Setup::kServerFolders, L"/list /server hub /db night\\sub\\MIX*.NS?", 0, nullptr,
     "hub!!night\\sub\\mixed.nsf\tOrder\tName", nullptr},
    // "\\" is the server's data folder, "names" a database although it has no extension.
    {"WholeServerFromItsTop", Setup::kServerFolders, L"/list /server hub /db \\ /s", 1, nullptr,
     "hub!!sales\\orders.nsf\tOrder\tDate,Name,Total\nhub!!other\\skip.nsf\t\x92\x8d\x95\xb6|Order\t"
     "\x8b\xe0\x8az,\x8e\x81\x96\xbc",
     nullptr},
    {"ServerDatabaseWithoutAnExtension", Setup::kServerFolders, L"/list /server hub /db names", 0, nullptr,
     "hub!!names\t\x92\x8d\x95\xb6|Order\t\x8b\xe0\x8az,\x8e\x81\x96\xbc", nullptr},
    {"ServerNameOutsideShiftJis", Setup::kServerFolders, L"/list /server hub /db intl", 1, nullptr,
     kHangulRowText.c_str(), nullptr},
    {"ServerFolderWithoutDatabases", Setup::kServerFolders, L"/list /server hub /db empty", 3, nullptr,
     kNoDatabasesText.c_str(), nullptr},
    // A folder the library will not search, or a server that does not answer, is a row of its
    // own with status 3: never an empty run that says nothing.
    {"ServerFolderTheLibraryRefuses", Setup::kServerFolders,
     L"/server hub /db locked /form * /out {dir}\\estate", 3, nullptr, "3  0  hub!!locked", nullptr},
    {"ServerThatDoesNotAnswer", Setup::kServerFolders,
     L"/server nowhere /db night /s /form * /out {dir}\\estate", 3, nullptr, "3  0  nowhere!!night", nullptr},
    {"ArgumentOutsideCodePage932", Setup::kNothing, L"/form caf\u00e9", 4, nullptr, kTextNotCp932, nullptr},
    // One argument that names no file: the windows do not open, and the shell sees the status
    // of a wrong command line.
    {"LoneArgumentThatIsNoFile", Setup::kNothing, L"extra", 4, nullptr, kTextStray, nullptr},
    // Notes started with another notes.ini, which only a new process can show.
    {"IniInsteadOfTheClients", Setup::kOtherIni,
     L"/ini {dir}\\other.ini /db {dir}\\data\\orders.nsf /form Order /fields Name /csv {dir}\\out.csv", 0,
     "Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", nullptr, "---DEBUG    Form Name=Order"},
    {"IniThatNotesCannotStartWith", Setup::kOtherIniFails,
     L"/ini {dir}\\other.ini /db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv -log {dir}\\job.log",
     3, nullptr, kTextInitFailed, kLoggedInitFailure},
    // Notes that does not start is logged beside the CSV file, as the run printed it.
    {"NotesDoesNotStart", Setup::kNotesInitFails,
     L"/db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv", 3, nullptr, kTextInitFailed,
     kLoggedInitFailure},
};

using text::Replaced;
using text::Widen;

class CommandLine : public EndToEnd {
protected:
    // Runs the program with `arguments` ({dir}: the test's folder) and waits for its end.
    DWORD Run(const std::wstring& arguments, const std::string& program = "") {
        app = std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"),
                                           Replaced<std::wstring>(arguments, L"{dir}", Widen(dir.path())),
                                           dir.File("output.txt"), program);
        if (!app->started()) return STILL_ACTIVE;
        // A message box or any other window would keep it waiting: nobody answers here.
        if (!app->WaitForExit(drv::kDefaultTimeoutMs)) return STILL_ACTIVE;
        app->WaitForStartedProcesses(drv::kDefaultTimeoutMs);
        return app->ExitCode();
    }

    std::vector<std::string> OutputLines() const { return SplitCrLf(ReadFileBytes(dir.File("output.txt"))); }

    std::string WithDir(const char* text) const { return Replaced<std::string>(text, "{dir}", dir.path()); }
};

class CommandLineTable : public CommandLine, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineTable, StatusFilesAndOutput) {
    const CommandLineCase& c = GetParam();
    std::unique_ptr<ExclusiveHolder> holder;
    switch (c.setup) {
        case Setup::kJapanese:
            WriteNotesDatabase(dir.File(std::string("data\\") + kJapaneseDbName), kJapaneseOrders);
            break;
        case Setup::kConflict:
            WriteNotesDatabase(dbPath, kOrdersWithConflict);
            break;
        case Setup::kTableFault:
            WriteNotesDatabase(dbPath,
                               std::string(kOrders) + R"(,"faults":{"NSFDbGetModifiedNoteTable":582})");
            WriteFileBytes(csvPath, "kept");
            break;
        case Setup::kNotesInitFails:
            WriteIni("QuillsheetFailInit=1\r\n");
            break;
        case Setup::kOtherIni:
            WriteIni("QuillsheetFailInit=1\r\n");
            WriteFileBytes(dir.File("other.ini"), "[Notes]\r\nDirectory=" + dir.File("data") + "\r\n");
            break;
        case Setup::kOtherIniFails:
            WriteFileBytes(dir.File("other.ini"), "[Notes]\r\nQuillsheetFailInit=1\r\n");
            break;
        case Setup::kCsvHeld:
            WriteFileBytes(csvPath, "held");
            holder = std::make_unique<ExclusiveHolder>(csvPath);
            break;
        case Setup::kEstate:
            WriteFileBytes(dir.File("data\\broken.nsf"), "not a database");
            WriteNotesDatabase(dir.File("data\\titles.nsf"), kHostileTitle);
            WriteFileBytes(dir.File("list.txt"), "hub!!sales\\orders.nsf\r\n" + dir.File("data\\broken.nsf") +
                                                     "\r\n" + dir.File("data\\titles.nsf") + "\r\n");
            break;
        case Setup::kServerFolders:
            WriteServerFolders(dir);
            break;
        case Setup::kNothing:
            break;
    }
    EXPECT_EQ(c.status, Run(c.arguments));
    holder.reset();
    // The log: -log's, else beside the CSV file and named after it; never the wizard's.
    const bool otherLog = std::wstring(c.arguments).find(L"-log") != std::wstring::npos;
    const std::string log = otherLog                      ? dir.File("job.log")
                            : c.setup == Setup::kJapanese ? dir.File("\x8fo\x97\xcd.log")
                                                          : dir.File("out.log");
    EXPECT_FALSE(FileExists(logPath)) << "the wizard's log was written";

    if (c.setup == Setup::kEstate) {
        const std::string csv = dir.File(std::string("estate\\titles.nsf\\") + kHostileTitleCsv);
        EXPECT_EQ("Name\r\nAlice\r\n", ReadFileBytes(csv));
        const std::vector<std::string> lines = OutputLines();
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "0  1  " + csv));
    }
    if (c.setup == Setup::kJapanese) {
        // 出力.csv: the values in the order of /fields, the documents of both synonyms.
        EXPECT_EQ(std::string(kSjisAmount) + "," + kSjisName + "\r\n30," + kSjisTanaka + "\r\n5," +
                      kSjisSato + "\r\n",
                  ReadFileBytes(dir.File("\x8fo\x97\xcd.csv")));
    } else if (c.csv != nullptr) {
        EXPECT_EQ(c.csv, ReadFileBytes(csvPath));
    } else {
        EXPECT_FALSE(FileExists(csvPath));
    }
    if (c.output != nullptr) {
        // A message of several lines is printed as those lines.
        const std::vector<std::string> lines = OutputLines();
        const std::string expected = WithDir(c.output);
        for (size_t start = 0, end = 0; start <= expected.size(); start = end + 1) {
            end = std::min(expected.find('\n', start), expected.size());
            const std::string line = expected.substr(start, end - start);
            EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), line))
                << "not printed: " << line << "\nprinted:\n"
                << ReadFileBytes(dir.File("output.txt"));
        }
    }
    // Sent to a file, the output has no progress; every run but the usage ends with its summary.
    std::vector<std::string> printed = OutputLines();
    while (!printed.empty() && printed.back().empty()) printed.pop_back();
    for (const std::string& line : printed)
        EXPECT_EQ(std::string::npos, line.find(" / ")) << "progress in a file: " << line;
    if (std::wstring(c.arguments) != L"/?") {
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(0u, printed.back().find("Summary: status=" + std::to_string(c.status) + " "))
            << printed.back();
    }
    if (c.logLine != nullptr) {
        const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(log));
        std::vector<std::string> texts;
        for (const std::string& line : lines)
            texts.push_back(line.size() > kStampLength ? line.substr(kStampLength) : line);
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), WithDir(c.logLine)))
            << "not logged: " << c.logLine;
    } else {
        EXPECT_FALSE(FileExists(log));
    }
    // Only a stopped run leaves its partial file.
    const std::string partial = dir.File("out.partial.csv");
    if (c.setup == Setup::kTableFault) {
        EXPECT_EQ("Name\r\n", ReadFileBytes(partial));
    } else {
        EXPECT_FALSE(FileExists(partial));
    }
    // An unattended run never hands anything to the shell.
    EXPECT_TRUE(Opened().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTable, ::testing::ValuesIn(kCases), CaseLabel());

// A run that finds another run writing into its /out folder (here this test's claim, made as
// a run makes it) ends with 3 before it writes anything, naming the run that holds the folder.
TEST_F(CommandLine, ASecondRunOnTheSameFolderEndsWithThreeBeforeItWrites) {
    CRunLock first;
    ASSERT_TRUE(first.Take(dir.File("estate"), "PID 77, 2026/12/09 02:00:00"));
    EXPECT_EQ(3u, Run(L"/db {dir}\\data /form * /out {dir}\\estate"));
    const std::vector<std::string> lines = OutputLines();
    const std::string expected =
        ResStringWith(IDS_CMD_OUT_IN_USE, dir.File("estate") + " (PID 77, 2026/12/09 02:00:00)");
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), expected)) << expected;
    EXPECT_FALSE(FileExists(dir.File("estate")));
}

// A night's export of a server's folder tree: each database's files are what its single runs
// write, byte for byte, but for the documents without a Form item, which only the default
// form's file takes; the genuine library's answers (a signature that does not verify, a note
// sealed with the newer keys) are warned of or written through, and nothing outside the tree
// is exported.
TEST_F(CommandLine, AServersFolderTreeIsItsDatabasesSingleRuns) {
    WriteServerFolders(dir);
    EXPECT_EQ(1u, Run(L"/server hub /db night /s /form * /out {dir}\\estate /attachments files"));
    const std::string mixed = dir.File("estate\\mixed.nsf\\");
    const std::vector<std::string> lines = OutputLines();
    for (const std::string& row :
         {"0  2  " + dir.File("estate\\") + kJapaneseDbName + "\\\x92\x8d\x95\xb6.csv",
          "0  2  " + mixed + "Order.csv", "1  2  " + mixed + "Note.csv"})
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), row)) << "not printed: " << row;
    EXPECT_FALSE(FileExists(dir.File("estate\\skip.nsf")));
    EXPECT_EQ("memo", ReadFileBytes(mixed + "files\\NT0000006C\\memo.txt"));
    EXPECT_NE(std::string::npos, ReadFileBytes(mixed + "mixed.log").find("Signature not verified: "));

    struct Single {
        std::wstring db, form;
        std::string estateCsv;
        const char* onlyInTheSingleRun;  // the line of the document without a Form item
    };
    const Single singles[] = {
        {L"night\\\u53d7\u6ce8.nsf", L"\u6ce8\u6587",
         dir.File("estate\\") + kJapaneseDbName + "\\\x92\x8d\x95\xb6.csv", ""},
        {L"night\\sub\\mixed.nsf", L"Order", mixed + "Order.csv", "Carol,\r\n"},
        {L"night\\sub\\mixed.nsf", L"Note", mixed + "Note.csv", ""},
    };
    CreateDirectoryA(dir.File("single").c_str(), nullptr);
    for (const Single& single : singles) {
        SCOPED_TRACE(single.estateCsv);
        EXPECT_EQ(single.form == L"Note" ? 1u : 0u,
                  Run(L"/server hub /db " + single.db + L" /form " + single.form +
                      L" /csv {dir}\\single\\one.csv /attachments files"))
            << ReadFileBytes(dir.File("output.txt"));
        std::string expected = ReadFileBytes(dir.File("single\\one.csv"));
        const size_t only =
            *single.onlyInTheSingleRun == '\0' ? std::string::npos : expected.find(single.onlyInTheSingleRun);
        if (*single.onlyInTheSingleRun != '\0') {
            ASSERT_NE(std::string::npos, only);
            expected.erase(only, std::string(single.onlyInTheSingleRun).size());
        }
        EXPECT_EQ(expected, ReadFileBytes(single.estateCsv));
    }
}

// The same choices through the wizard and through the command line give the same CSV bytes
// and the same log, apart from the time stamps and the line that records the command line;
// the wizard's log is LOG.TXT, the command line's the one beside its CSV file.
TEST_F(CommandLine, SameChoicesGiveTheSameFileAndLogAsTheWizard) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {}, csvPath, nullptr}));
    EXPECT_EQ(kTextFinished, NextMessage());
    Exit(source);
    const std::string wizardCsv = ReadFileBytes(csvPath);
    const std::vector<std::string> wizardLog = LogTexts();
    DeleteFileA(csvPath.c_str());
    DeleteFileA(logPath.c_str());

    EXPECT_EQ(0u, Run(L"/db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv"));
    EXPECT_EQ(wizardCsv, ReadFileBytes(csvPath));
    EXPECT_FALSE(FileExists(logPath)) << "the command line wrote the wizard's log";
    logPath = dir.File("out.log");  // the command line's, beside the CSV file
    std::vector<std::string> commandLog = LogTexts();
    const std::string recorded =
        WithDir("---INFO     Command line: /db {dir}\\data\\orders.nsf /form Order /csv {dir}\\out.csv");
    const auto line = std::find(commandLog.begin(), commandLog.end(), recorded);
    ASSERT_NE(commandLog.end(), line);
    commandLog.erase(line);
    EXPECT_EQ(wizardLog, commandLog);
}

// The console twin, which batch files and prompts start: it prints the program's lines and
// returns its status.
std::string Twin() { return ProgramFolder() + "\\quillsheet.com"; }

// Typed at a prompt without its extension, "quillsheet" is the twin (PATHEXT puts .COM
// first): the prompt waits for it, so its lines come before the prompt's next, and the
// prompt's %errorlevel% is the export's status. What ended the run went to the standard
// error; the standard output ends with the summary.
TEST_F(CommandLine, TwinTypedAtAPromptIsWaitedForAndGivesTheStatus) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::wstring typed =
        Widen(ProgramFolder()) + L"\\quillsheet /db {dir}\\data\\orders.nsf /form Invoice";
    // echo leaves the errorlevel as it is, and the prompt ends with it.
    EXPECT_EQ(
        3u, Run(L"/v:on /c " + typed + L" /csv {dir}\\out.csv 2>{dir}\\errors.txt & echo status !errorlevel!",
                std::string(system) + "\\cmd.exe"));
    std::vector<std::string> lines = OutputLines();
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    const std::vector<std::string> expected = {std::string("Summary: status=3") + kNothingCounted,
                                               "status 3"};
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(std::string(kTextFormNotFound) + "\r\n", ReadFileBytes(dir.File("errors.txt")));
}

struct OpenedCase {
    const char* label;
    bool twin;      // started as quillsheet.com, which starts quillsheet.exe
    bool argument;  // the database's path as the one argument
};

class OpenedWith : public CommandLine {};

// A database dropped on the icon (or opened with "Open with") opens the source dialog with
// it filled in as a local path; no argument opens it empty, as always. The twin starts the
// windowed program and returns at once.
TEST_F(OpenedWith, OneFileOrNothing) {
    for (const OpenedCase& c : {OpenedCase{"Program", false, true}, OpenedCase{"Twin", true, true},
                                OpenedCase{"TwinWithoutArguments", true, false}}) {
        SCOPED_TRACE(c.label);
        app = std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"),
                                           c.argument ? Widen(dbPath) : std::wstring(),
                                           dir.File("output.txt"), c.twin ? Twin() : std::string());
        ASSERT_TRUE(app->started());
        DWORD windowed = app->pid();
        if (c.twin) {
            ASSERT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs)) << "the twin waits for the windows";
            EXPECT_EQ(0u, app->ExitCode());
            const std::vector<DWORD> left = app->JobProcesses();
            ASSERT_EQ(1u, left.size()) << "quillsheet.exe started by the twin";
            windowed = left[0];
        }
        HWND source = drv::WaitForDialog(windowed, "Quillsheet");
        ASSERT_NE(nullptr, source);
        EXPECT_EQ(c.argument ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(source, kRadioLocal));
        EXPECT_EQ(c.argument ? dbPath : std::string(), drv::Text(GetDlgItem(source, kLocalPath)));
        drv::ClickDlgItem(source, IDCANCEL);
        EXPECT_TRUE(app->WaitForStartedProcesses(drv::kDefaultTimeoutMs));
    }
}

}  // namespace
