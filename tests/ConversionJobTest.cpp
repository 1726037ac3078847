// Whole conversion jobs in-process against databases of our runtime: the wizard is walked
// by a driver thread as a user would, message boxes and the shell are recorded.
#include "wizard/ConversionJob.h"
#include "wizard/ShellOpen.h"
#include "res/resource.h"
#include "support/Driver.h"
#include "support/ExpectedTexts.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

// The Order form has Name, Date and Total; three orders, the second one sealed for good.
std::string OrdersDb(const std::string& extraMembers = "", const std::string& secondDocExtra = "") {
    return R"("title":"Orders","design":[
      {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"},{"name":"Date","type":"time"},{"name":"Total","type":"number"}]},
      {"class":"form","title":"Other","fields":[{"name":"X","type":"text"}]}],
    "documents":[
      {"id":100,"items":[{"name":"Name","type":"text","value":"Alice, A."},{"name":"Date","type":"text","value":"2024/03/05"},{"name":"Total","type":"number","value":12}]},
      {"id":104)" +
           secondDocExtra +
           R"(,"items":[{"name":"Name","type":"text","value":"Bob"},{"name":"Total","type":"number","value":7}]},
      {"id":108,"items":[{"name":"Name","type":"text","value":"Carol\r\nSmith"},{"name":"Date","type":"text","value":"2024/12/31"}]}])" +
           extraMembers;
}

// Records the texts that the progress window's percent control is given.
class PercentRecorder {
public:
    PercentRecorder() {
        s_texts = &texts;
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~PercentRecorder() {
        UnhookWindowsHookEx(m_hook);
        s_texts = nullptr;
    }
    PercentRecorder(const PercentRecorder&) = delete;
    PercentRecorder& operator=(const PercentRecorder&) = delete;
    std::vector<std::string> texts;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && msg->message == WM_SETTEXT &&
            GetDlgCtrlID(msg->hwnd) == IDC_PROGRESS_PERCENT && s_texts != nullptr) {
            s_texts->push_back(reinterpret_cast<const char*>(msg->lParam));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static std::vector<std::string>* s_texts;
    HHOOK m_hook;
};
std::vector<std::string>* PercentRecorder::s_texts = nullptr;

// A log line's time stamp: "YYYY/MM/DD HH:MM:SS " (20 bytes).
constexpr size_t kStampLength = 20;

class ConversionJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureNotesInitialized());
        places.logPath = dir.File("LOG.TXT");
        places.documentsFolder = dir.path();
        m_previousShell =
            SetShellOpenHandler([this](HWND, const std::string& path) { opened.push_back(path); });
        dbPath = dir.File("orders.nsf");
        csvPath = dir.File("out.csv");
    }
    void TearDown() override { SetShellOpenHandler(std::move(m_previousShell)); }

    // Runs a job on this thread while a driver thread walks the wizard.
    bool RunJob(const drv::WizardChoices& choices, const std::string& server = "") {
        bool walked = false;
        std::thread driver([&] { walked = drv::WalkWizard(GetCurrentProcessId(), choices); });
        RunConversionJob(nullptr, places, server, dbPath);
        driver.join();
        return walked;
    }

    // The log's lines without their 20-byte time stamps. Every line is kept, one too short
    // for a stamp marked, so that a cut or stray line fails the comparisons; only the empty
    // rest after the last CR LF is no line.
    std::vector<std::string> LogTexts() const {
        std::vector<std::string> lines = SplitCrLf(ReadFileBytes(places.logPath));
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        std::vector<std::string> texts;
        for (const std::string& line : lines) {
            texts.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : "(no stamp) " + line);
        }
        return texts;
    }

    // What the job could write when it is not given a destination: the log, the CSV file
    // the destination page proposes (the documents folder is the test's folder) and
    // anything else in that folder.
    std::vector<std::string> Written() const { return FolderListing(dir.path()); }

    TempDir dir;
    // What the application hands the source dialog: the test's own folder for both.
    WizardPlaces places;
    MessageBoxRecorder recorder;
    std::vector<std::string> opened;
    std::string dbPath;
    std::string csvPath;

private:
    ShellOpenHandler m_previousShell;
};

const char* const kFinished = kTextFinished;

std::vector<std::string> Banner() {
    return {"---INFO     " + std::string(41, '-'), "", "---NOTICE   Quillsheet is started.",
            "---NOTICE   Start Conversion", "---INFO     " + std::string(41, '-')};
}

TEST_F(ConversionJobTest, ChosenFieldsInChosenOrderAndTheWholeLog) {
    WriteNotesDatabase(dbPath, OrdersDb("", R"(,"sealed":true,"undecryptable":true)"));
    PercentRecorder percents;
    ASSERT_TRUE(RunJob({"Order", {"Date", "Name"}, csvPath, nullptr}));

    // The list shows Date before Name (sorted), so the columns are Date, Name.
    EXPECT_EQ("Date,Name\r\n2024/03/05,Alice; A.\r\n2024/12/31,Carol  Smith\r\n", ReadFileBytes(csvPath));

    std::vector<std::string> expected = Banner();
    const std::vector<std::string> rest = {
        "---COMMAND  Open Notes DataBase",
        "---DEBUG    DB Path=" + dbPath,
        "---RESULT   Open Command is success.",
        "---COMMAND  Write All Document By Form",
        "---DEBUG    Form Name=Order",
        "---COMMAND  Make Indicater",
        "---COMMAND  Make ExportFile Header",
        "---COMMAND  NSFDbGetModifiedNoteTable",
        "---RESULT   NSFDbGetModifiedNoteTable is success.",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 100",
        "---RESULT   nsfNote.Open is success.",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 104",
        std::string("---WARNING  Note ID = 104 (NT00000068), Not written: ") + kTextNoDecryptKey,
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 108",
        "---RESULT   nsfNote.Open is success.",
        "---INFO     Documents written = 2, Other form = 0, Not readable = 1, Lines not written to the file = 0",
        "---RESULT   Write All Document By Form is success.",
        "---COMMAND  Close Notes DataBase",
        "---RESULT   Close Notes DataBase is success.",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    std::vector<std::string> actual = LogTexts();
    ASSERT_EQ(expected.size(), actual.size());
    actual[1] = "";  // the copyright notice
    EXPECT_EQ(expected, actual);

    // A note that fails to open still counts.
    EXPECT_EQ((std::vector<std::string>{"0%", "33%", "66%", "100%"}), percents.texts);
    EXPECT_EQ((std::vector<std::string>{places.logPath, csvPath}), opened);
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kFinished, recorder.boxes[0].text);
}

// Two forms laid out as a designer saves them. The chosen one is titled "レポート|ord": the
// trail byte of "ポ" in code page 932 is the byte of "|". Its documents name it by the
// whole first synonym, by the alias, by the alias in capitals, or not at all.
const char kTwoFormsDb[] = R"("design":[
      {"class":"form","title":"\u30ec\u30dd\u30fc\u30c8|ord","body":[{"name":"Name","type":"text"},{"name":"Total","type":"number"}]},
      {"class":"form","title":"Invoice","body":[{"name":"Name","type":"text"}]}],
    "documents":[
      {"id":100,"items":[{"name":"Form","type":"text","value":"\u30ec\u30dd\u30fc\u30c8"},{"name":"Name","type":"text","value":"Alice"},{"name":"Total","type":"number","value":12}]},
      {"id":104,"items":[{"name":"Form","type":"text","value":"Invoice"},{"name":"Name","type":"text","value":"Inv"}]},
      {"id":108,"items":[{"name":"Form","type":"text","value":"ord"},{"name":"Name","type":"text","value":"Bob"}]},
      {"id":112,"items":[{"name":"Form","type":"text","value":"ORD"},{"name":"Name","type":"text","value":"Carol"}]},
      {"id":116,"items":[{"name":"Name","type":"text","value":"Dave"},{"name":"Total","type":"number","value":3}]}])";

TEST_F(ConversionJobTest, OnlyTheChosenFormsDocumentsGetALine) {
    WriteNotesDatabase(dbPath, kTwoFormsDb);
    PercentRecorder percents;
    ASSERT_TRUE(RunJob({"\x83\x8c\x83\x7c\x81\x5b\x83\x67|ord", {}, csvPath, nullptr}));

    // The field page offered the form's two fields, none of its $TITLE, $Info or $Body.
    EXPECT_EQ("Name,Total\r\nAlice,12\r\nBob,\r\nCarol,\r\nDave,3\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    const std::vector<std::string> invoice = {
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 104",
        "---RESULT   nsfNote.Open is success.",
        "---DEBUG    Skip Document: Form=Invoice",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 108",
    };
    const auto at = std::find(log.begin(), log.end(), invoice[1]);
    ASSERT_NE(log.end(), at);
    EXPECT_EQ(invoice,
              std::vector<std::string>(at - 1, at - 1 + static_cast<std::ptrdiff_t>(invoice.size())));
    EXPECT_EQ(1, std::count_if(log.begin(), log.end(), [](const std::string& line) {
                  return line.find("Skip Document") != std::string::npos;
              }));
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(),
                                   "---INFO     Documents written = 4, Other form = 1, Not readable = 0, "
                                   "Lines not written to the file = 0"));
    // The document left out is counted like every other.
    EXPECT_EQ((std::vector<std::string>{"0%", "20%", "40%", "60%", "80%", "100%"}), percents.texts);
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kFinished, recorder.boxes[0].text);
}

TEST_F(ConversionJobTest, DatabaseWithoutDocumentsGivesTheHeaderAndCompletes) {
    WriteNotesDatabase(dbPath,
                       R"("design":[{"class":"form","title":"Order","body":[{"name":"Name","type":"text"}]}],
        "documents":[])");
    PercentRecorder percents;
    ASSERT_TRUE(RunJob({"Order", {}, csvPath, nullptr}));
    EXPECT_EQ("Name\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    const std::vector<std::string> tail = {
        "---COMMAND  NSFDbGetModifiedNoteTable",
        "---RESULT   NSFDbGetModifiedNoteTable is success.",
        "---INFO     Documents written = 0, Other form = 0, Not readable = 0, Lines not written to the file = 0",
        "---RESULT   Write All Document By Form is success.",
        "---COMMAND  Close Notes DataBase",
        "---RESULT   Close Notes DataBase is success.",
    };
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(tail,
              std::vector<std::string>(log.end() - static_cast<std::ptrdiff_t>(tail.size()), log.end()));
    EXPECT_EQ((std::vector<std::string>{"0%", "100%"}), percents.texts);
    EXPECT_EQ((std::vector<std::string>{places.logPath, csvPath}), opened);
    ASSERT_EQ(1u, recorder.boxes.size()) << "no error box, only the completion";
    EXPECT_EQ(kFinished, recorder.boxes[0].text);
}

// A form titled "A×B": 𠮷 and Hangul beside Japanese, texts that grow in code page 932.
const char kMeasuresDb[] = R"("title":"Measures","design":[
      {"class":"form","title":"A×B","fields":[{"name":"Address","type":"text"},{"name":"Measure","type":"text"},
        {"name":"Name","type":"text"},{"name":"Place","type":"text"}]}],
    "documents":[
      {"id":100,"items":[{"name":"Name","type":"text","value":"𠮷野 서울"},{"name":"Place","type":"text","value":"東京"}]},
      {"id":104,"items":[{"name":"Measure","type":"text","value":"30×40 ±5 25°C §"},{"name":"Name","type":"text","value":"plain"}]},
      {"id":108,"items":[{"name":"Name","type":"text","value":"😀"},{"name":"Address","type":"text","value":"서울특별시 강남구"},
        {"name":"Place","type":"text","value":"大阪"}]}])";

TEST_F(ConversionJobTest, CharactersCodePage932CannotHoldAreWarnedPerCellAndInTotal) {
    WriteNotesDatabase(dbPath, kMeasuresDb);
    ASSERT_TRUE(
        RunJob({"A\x81\x7e"
                "B",
                {},
                csvPath,
                nullptr}));

    // The lines are written as before: each character without a native form is one "?".
    EXPECT_EQ(
        "Address,Measure,Name,Place\r\n"
        ",,?\x96\xec ??,\x93\x8c\x8b\x9e\r\n"
        ",30\x81\x7e"
        "40 \x81\x7d"
        "5 25\x81\x8b"
        "C \x81\x98,plain,\r\n"
        "????? ???,,?,\x91\xe5\x8d\xe3\r\n",
        ReadFileBytes(csvPath));

    std::vector<std::string> expected = Banner();
    const std::vector<std::string> rest = {
        "---COMMAND  Open Notes DataBase",
        "---DEBUG    DB Path=" + dbPath,
        "---RESULT   Open Command is success.",
        "---COMMAND  Write All Document By Form",
        "---DEBUG    Form Name=A\x81\x7e"
        "B",
        "---COMMAND  Make Indicater",
        "---COMMAND  Make ExportFile Header",
        "---COMMAND  NSFDbGetModifiedNoteTable",
        "---RESULT   NSFDbGetModifiedNoteTable is success.",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 100",
        "---RESULT   nsfNote.Open is success.",
        // 𠮷 and the two Hangul syllables of Name; Place's Japanese is whole.
        "---WARNING  Note ID = 100 (NT00000064), Field Name=Name, Characters not written = 3",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 104",
        "---RESULT   nsfNote.Open is success.",
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 108",
        "---RESULT   nsfNote.Open is success.",
        "---WARNING  Note ID = 108 (NT0000006C), Field Name=Address, Characters not written = 8",
        "---WARNING  Note ID = 108 (NT0000006C), Field Name=Name, Characters not written = 1",
        "---WARNING  Characters not written: Cells = 3, Notes = 2",
        "---INFO     Documents written = 3, Other form = 0, Not readable = 0, Lines not written to the file = 0",
        "---RESULT   Write All Document By Form is success.",
        "---COMMAND  Close Notes DataBase",
        "---RESULT   Close Notes DataBase is success.",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    std::vector<std::string> actual = LogTexts();
    ASSERT_EQ(expected.size(), actual.size());
    actual[1] = "";  // the copyright notice
    EXPECT_EQ(expected, actual);
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kFinished, recorder.boxes[0].text) << "the completion message is unchanged";
}

TEST_F(ConversionJobTest, TextsThatGrowInCodePage932ComeOutWholeWithoutWarning) {
    WriteNotesDatabase(dbPath, kMeasuresDb);
    ASSERT_TRUE(
        RunJob({"A\x81\x7e"
                "B",
                {"Measure", "Place"},
                csvPath,
                nullptr}));
    EXPECT_EQ(
        "Measure,Place\r\n"
        ",\x93\x8c\x8b\x9e\r\n"
        "30\x81\x7e"
        "40 \x81\x7d"
        "5 25\x81\x8b"
        "C \x81\x98,\r\n"
        ",\x91\xe5\x8d\xe3\r\n",
        ReadFileBytes(csvPath));
    for (const std::string& line : LogTexts()) EXPECT_EQ(std::string::npos, line.find("WARNING")) << line;
}

// Notes keeps a line break inside a text as a NUL byte; each becomes two blanks, so that a
// value stays on one line. Near the 60 KB the conversion writes at most, the library's cut
// decides what is left, and a break it leaves last ends the text.
TEST_F(ConversionJobTest, TextsWithLineBreaksComeOutWholeOnOneLine) {
    const std::string longLine(61430, 'x');
    const std::string atTheCut(61438, 'x');
    const struct {
        const char* name;
        std::string item;  // the JSON item, the value's line breaks as JSON escapes
        std::string cell;  // the CSV cell, Shift_JIS
    } cases[] = {
        {"ThreeLines", R"("type":"text","value":"one\ntwo\nthree")", "one  two  three"},
        {"EmptyMiddleLine", R"("type":"text","value":"first\r\n\r\nthird")", "first    third"},
        {"BreakBeforeJapanese", R"("type":"text","value":"abc\n\u65e5\u672c")", "abc  \x93\xfa\x96{"},
        {"ListEntriesWithBreaks", R"("type":"textlist","value":["a\nb","c,d","e\r\n"])", "a  b;c;d;e"},
        {"BreakAtTheEnd", R"("type":"text","value":"end\n")", "end"},
        {"BreakNearTheCut", R"("type":"text","value":")" + longLine + R"(\n)" + std::string(20, 'y') + "\"",
         longLine + "  " + std::string(8, 'y')},
        {"BreakAtTheCut", R"("type":"text","value":")" + atTheCut + R"(\nzz")", atTheCut},
    };
    std::string documents;
    std::string csv = "Note\r\n";
    for (const auto& c : cases) {
        documents +=
            std::string(documents.empty() ? "" : ",") + R"({"items":[{"name":"Note",)" + c.item + "}]}";
        csv += c.cell + "\r\n";
    }
    WriteNotesDatabase(dbPath,
                       R"("design":[{"class":"form","title":"Memo","body":[{"name":"Note","type":"text"}]}],
        "documents":[)" + documents +
                           "]");
    ASSERT_TRUE(RunJob({"Memo", {}, csvPath, nullptr}));
    const std::vector<std::string> expected = SplitCrLf(csv);
    const std::vector<std::string> actual = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 1; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], actual[i]) << cases[i - 1].name;
    }
}

// A note whose signature step fails is still read and written, with a warning; a note that
// cannot be opened or decrypted has no line, and a warning names it as Notes shows it.
TEST_F(ConversionJobTest, EveryDocumentLeftOutOrDoubtedIsNamedInTheLog) {
    WriteNotesDatabase(dbPath, R"("design":[{"class":"form","title":"F","body":[{"name":"X","type":"text"}]}],
        "documents":[
          {"id":2102,"signed":true,"faults":{"NSFNoteSign":603},"items":[{"name":"X","type":"text","value":"signed"}]},
          {"id":2106,"faults":{"NSFNoteOpen":582},"items":[{"name":"X","type":"text","value":"hidden"}]},
          {"id":2110,"items":[{"name":"X","type":"text","value":"plain"}]}])");
    ASSERT_TRUE(RunJob({"F", {}, csvPath, nullptr}));
    EXPECT_EQ("X\r\nsigned\r\nplain\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    const std::vector<std::string> notes = {
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 2102",
        "---RESULT   nsfNote.Open is success.",
        std::string("---WARNING  Note ID = 2102 (NT00000836), Signature step failed: ") + kTextSignature,
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 2106",
        std::string("---WARNING  Note ID = 2106 (NT0000083A), Not written: ") + kTextNotAuthorized,
        "---COMMAND  nsfNote.Open",
        "---DEBUG    Note ID = 2110",
        "---RESULT   nsfNote.Open is success.",
        "---INFO     Documents written = 2, Other form = 0, Not readable = 1, Lines not written to the file = 0",
        "---RESULT   Write All Document By Form is success.",
    };
    const auto first = std::find(log.begin(), log.end(), notes[1]);
    ASSERT_NE(log.end(), first);
    ASSERT_GE(log.end() - first + 1, static_cast<std::ptrdiff_t>(notes.size()));
    EXPECT_EQ(notes,
              std::vector<std::string>(first - 1, first - 1 + static_cast<std::ptrdiff_t>(notes.size())));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kFinished, recorder.boxes[0].text);
}

TEST_F(ConversionJobTest, AllFieldsInTheListsSortedOrder) {
    WriteNotesDatabase(dbPath, OrdersDb());
    ASSERT_TRUE(RunJob({"Order", {}, csvPath, nullptr}));
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("Date,Name,Total", lines[0]);
    EXPECT_EQ(",Bob,7", lines[2]);
}

TEST_F(ConversionJobTest, SevenNotesGiveTheirPercentSequence) {
    std::string docs;
    for (int i = 0; i < 7; ++i) {
        docs += std::string(i ? "," : "") + R"({"items":[{"name":"X","type":"text","value":"v"}]})";
    }
    WriteNotesDatabase(
        dbPath,
        R"("design":[{"class":"form","title":"Other","fields":[{"name":"X","type":"text"}]}],"documents":[)" +
            docs + "]");
    PercentRecorder percents;
    ASSERT_TRUE(RunJob({"Other", {}, csvPath, nullptr}));
    EXPECT_EQ((std::vector<std::string>{"0%", "14%", "28%", "42%", "57%", "71%", "85%", "100%"}),
              percents.texts);
    EXPECT_EQ(8u, SplitCrLf(ReadFileBytes(csvPath)).size() - 1);
}

TEST_F(ConversionJobTest, ChosenNameTheFormNoLongerHasMakesNoColumn) {
    WriteNotesDatabase(dbPath, OrdersDb());
    // Between the wizard and the export the form loses its Date field.
    std::string changed = OrdersDb();
    changed.replace(changed.find(R"({"name":"Date","type":"time"},)"),
                    std::strlen(R"({"name":"Date","type":"time"},)"), "");
    ASSERT_TRUE(RunJob({"Order", {"Date", "Name"}, csvPath, [&] { WriteNotesDatabase(dbPath, changed); }}));
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("Name", lines[0]);
    EXPECT_EQ("Alice; A.", lines[1]);
}

// A Notes error that stops the export after the log was made: the user sees Notes' text
// alone, the files are not opened, and the log ends with that text, the count of what was
// written and a warning that the file is not whole; after a finished run, with the text only.
struct StoppedCase {
    const char* name;
    std::string fault;                // the database's faults from the moment of Finish
    std::vector<std::string> fields;  // the chosen fields
    std::string lastStep;             // the log's line before the error ("": the path's)
    std::string csv;                  // the destination afterwards; it held "old content"
    std::vector<std::string> after;   // the log's lines after the error line
};

void PrintTo(const StoppedCase& c, std::ostream* os) { *os << c.name; }

class ConversionJobStopped : public ConversionJobTest, public ::testing::WithParamInterface<StoppedCase> {};

const char kNothingWritten[] =
    "---INFO     Documents written = 0, Other form = 0, Not readable = 0, Lines not written to the file = 0";

TEST_P(ConversionJobStopped, LogEndsWithTheErrorTheCountAndTheWarning) {
    const StoppedCase& c = GetParam();
    WriteNotesDatabase(dbPath, OrdersDb());
    WriteFileBytes(csvPath, "old content");
    ASSERT_TRUE(RunJob({"Order", c.fields, csvPath,
                        [&] { WriteNotesDatabase(dbPath, OrdersDb(R"(,"faults":{)" + c.fault + "}")); }}));
    EXPECT_EQ(c.csv, ReadFileBytes(csvPath));
    const std::string lastStep = c.lastStep.empty() ? "---DEBUG    DB Path=" + dbPath : c.lastStep;
    std::vector<std::string> tail = {lastStep, std::string("---ERROR    Notes error: ") + kTextNotAuthorized};
    tail.insert(tail.end(), c.after.begin(), c.after.end());
    const std::vector<std::string> log = LogTexts();
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(tail,
              std::vector<std::string>(log.end() - static_cast<std::ptrdiff_t>(tail.size()), log.end()));
    ASSERT_EQ(1u, recorder.boxes.size()) << "only the Notes error, no completion";
    EXPECT_EQ(kTextNotAuthorized, recorder.boxes[0].text);
    EXPECT_TRUE(opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConversionJobStopped,
    ::testing::Values(
        // The destination was not touched yet: what it holds is not this export's.
        StoppedCase{"DatabaseOpen",
                    R"("NSFDbOpen":582)",
                    {"Name"},
                    "",
                    "old content",
                    {kNothingWritten, "---WARNING  Export stopped: no CSV file was written"}},
        StoppedCase{"FieldListing",
                    R"("NSFItemScan":582)",
                    {},
                    "---RESULT   Open Command is success.",
                    "",
                    {kNothingWritten, "---WARNING  Export stopped: the CSV file is incomplete"}},
        StoppedCase{"NoteTable",
                    R"("NSFDbGetModifiedNoteTable":582)",
                    {"Name"},
                    "---COMMAND  NSFDbGetModifiedNoteTable",
                    "Name\r\n",
                    {kNothingWritten, "---WARNING  Export stopped: the CSV file is incomplete"}},
        // Every document was written and counted before the close failed: the file is whole.
        StoppedCase{"DatabaseClose",
                    R"("NSFDbClose":582)",
                    {"Name"},
                    "---COMMAND  Close Notes DataBase",
                    "Name\r\nAlice; A.\r\nBob\r\nCarol  Smith\r\n",
                    {}}),
    [](const ::testing::TestParamInfo<StoppedCase>& info) { return std::string(info.param.name); });

// Shapes a genuine database gives its documents: a save conflict's copy, a value longer
// than the conversion's buffer, a long rich text that Notes split into several items, a
// bare carriage return. Each document is written; what the line cannot hold as stored is
// named in the log.
struct ShapeCase {
    const char* name;
    std::string database;  // further members of the database
    std::string document;  // further members of document 2102
    std::string items;     // its items (JSON)
    std::string line;      // its CSV line: Body, Note
    std::vector<std::string> warnings;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class ConversionJobShapes : public ConversionJobTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ConversionJobShapes, EveryDocumentIsWrittenAndWhatItCannotHoldIsNamed) {
    const ShapeCase& c = GetParam();
    WriteNotesDatabase(dbPath,
                       R"("design":[{"class":"form","title":"Memo","body":[{"name":"Note","type":"text"},
        {"name":"Body","type":"richtext"}]}],"documents":[{"id":2102)" +
                           c.document + R"(,"items":[)" + c.items + "]}]" + c.database);
    ASSERT_TRUE(RunJob({"Memo", {}, csvPath, nullptr}));
    EXPECT_EQ("Body,Note\r\n" + c.line + "\r\n", ReadFileBytes(csvPath));
    std::vector<std::string> warnings;
    for (const std::string& line : LogTexts()) {
        if (line.compare(0, 10, "---WARNING") == 0) warnings.push_back(line);
    }
    EXPECT_EQ(c.warnings, warnings);
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kFinished, recorder.boxes[0].text);
}

std::string Paragraphs(size_t count, size_t length) {
    std::string list;
    for (size_t i = 0; i < count; ++i) {
        list +=
            std::string(i == 0 ? "" : ",") + "\"" + std::string(length, static_cast<char>('a' + i)) + "\"";
    }
    return "[" + list + "]";
}

std::string JoinedParagraphs(size_t count, size_t length, size_t lastLength) {
    std::string cell;
    for (size_t i = 0; i < count; ++i) {
        cell += std::string(i == 0 ? "" : "  ") +
                std::string(i + 1 == count ? lastLength : length, static_cast<char>('a' + i));
    }
    return cell;
}

// "a" and then 東 after 東: 64000 bytes of LMBCS, one more than the buffer holds with its NUL.
std::string EastText(size_t count) {
    std::string text = "a";
    for (size_t i = 0; i < count; ++i) text += "\\u6771";
    return text;
}

std::string EastCell(size_t count) {
    std::string cell = "a";
    for (size_t i = 0; i < count; ++i) cell += "\x93\x8c";
    return cell;
}

const char kNoteName[] = "Note ID = 2102 (NT00000836)";

INSTANTIATE_TEST_SUITE_P(
    Table, ConversionJobShapes,
    ::testing::Values(
        ShapeCase{
            "SaveConflictCopy",
            "",
            "",
            R"({"name":"Note","type":"text","value":"copy"},{"name":"$Conflict","type":"text","value":""})",
            ",copy",
            {std::string("---WARNING  ") + kNoteName + ", Conflict"}},
        // The conversion writes at most 60 KB, whatever room the buffer has.
        ShapeCase{"ValuePastWhatTheConversionWrites",
                  "",
                  "",
                  R"({"name":"Note","type":"text","value":")" + std::string(65000, 'x') + "\"}",
                  "," + std::string(61439, 'x'),
                  {std::string("---WARNING  ") + kNoteName + ", Value cut: Note (61440 bytes)"}},
        // The library cut inside the last 東: its first two bytes are not translated.
        ShapeCase{"CutInsideACharacter",
                  R"(,"cutTextAnywhere":true)",
                  "",
                  R"({"name":"Note","type":"text","value":")" + EastText(21333) + "\"}",
                  "," + EastCell(20479),
                  {std::string("---WARNING  ") + kNoteName + ", Value cut: Note (61440 bytes)"}},
        // Near the smaller limit of the conversion (60 KB), a text whose stored length shows
        // it whole is not named; rich text, whose stored length tells nothing of its text, is.
        ShapeCase{"LongTextThatFits",
                  "",
                  "",
                  R"({"name":"Note","type":"text","value":")" + std::string(61438, 't') + "\"}",
                  "," + std::string(61438, 't'),
                  {}},
        ShapeCase{"RichTextEndingAtTheSmallerLimit",
                  "",
                  "",
                  R"({"name":"Body","type":"richtext","value":[")" + std::string(61438, 'r') + "\"]}",
                  std::string(61438, 'r') + ",",
                  {std::string("---WARNING  ") + kNoteName + ", Value cut: Body (61440 bytes)"}},
        // Items split inside a paragraph go on with its line; the records of p1 and p2 each
        // end one item, their texts begin the next.
        ShapeCase{"RichTextSplitInsideParagraphs",
                  "",
                  "",
                  R"({"name":"Body","type":"richtext","itemSize":14,"splitInParagraphs":true,)"
                  R"("value":["p1","p2","p3"]})",
                  "p1  p2  p3,",
                  {}},
        ShapeCase{"RichTextInSeveralItems",
                  "",
                  "",
                  R"({"name":"Body","type":"richtext","itemSize":30,"value":["p1","p2","p3","p4","p5"]})",
                  "p1  p2  p3  p4  p5,",
                  {}},
        ShapeCase{
            "RichTextItemsPastTheCell",
            "",
            "",
            R"({"name":"Body","type":"richtext","itemSize":30000,"value":)" + Paragraphs(4, 20000) + "}",
            JoinedParagraphs(4, 20000, 3993) + ",",
            {std::string("---WARNING  ") + kNoteName + ", Value cut: Body (64000 bytes)"}},
        ShapeCase{"RichTextItemThatCannotBeRead",
                  "",
                  R"(,"faults":{"NSFItemInfoNext":582})",
                  R"({"name":"Body","type":"richtext","itemSize":30,"value":["p1","p2","p3"]})",
                  "p1  p2,",
                  {std::string("---WARNING  ") + kNoteName + ", Only the first item read: Body"}},
        ShapeCase{
            "BareCarriageReturn",
            "",
            "",
            R"({"name":"Note","type":"text","value":"a\rb"},{"name":"Body","type":"richtext","value":["c\rd"]})",
            "c d,a b",
            {}}),
    [](const ::testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST_F(ConversionJobTest, CancelledWizardWritesNothing) {
    WriteNotesDatabase(dbPath, OrdersDb());
    WriteFileBytes(places.logPath, "previous log");
    const std::string proposed = dir.File("Orders.csv");
    WriteFileBytes(proposed, "previous csv");
    const std::vector<std::string> before = Written();
    std::thread driver([&] {
        HWND sheet = drv::WaitForDialog(GetCurrentProcessId(), drv::kFormPageTitle);
        drv::PressWizardButton(sheet, PSBTN_CANCEL);
    });
    RunConversionJob(nullptr, places, "", dbPath);
    driver.join();
    EXPECT_EQ("previous log", ReadFileBytes(places.logPath));
    EXPECT_EQ("previous csv", ReadFileBytes(proposed));
    EXPECT_EQ(before, Written());
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(ConversionJobTest, BackOnTheFirstPageEndsLikeCancel) {
    WriteNotesDatabase(dbPath, OrdersDb());
    const std::vector<std::string> before = Written();
    std::thread driver([&] {
        HWND sheet = drv::WaitForDialog(GetCurrentProcessId(), drv::kFormPageTitle);
        drv::PressWizardButton(sheet, PSBTN_BACK);
    });
    RunConversionJob(nullptr, places, "", dbPath);
    driver.join();
    EXPECT_FALSE(FileExists(places.logPath));
    EXPECT_FALSE(FileExists(dir.File("Orders.csv"))) << "the proposed destination";
    EXPECT_EQ(before, Written());
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(ConversionJobTest, SecondJobEmptiesTheLogFirst) {
    WriteNotesDatabase(dbPath, OrdersDb());
    ASSERT_TRUE(RunJob({"Other", {}, csvPath, nullptr}));
    const size_t firstJobLines = LogTexts().size();
    ASSERT_TRUE(RunJob({"Other", {}, csvPath, nullptr}));
    const std::vector<std::string> log = LogTexts();
    EXPECT_EQ(firstJobLines, log.size());
    ASSERT_GE(log.size(), 10u);
    EXPECT_EQ("---DEBUG    Form Name=Other", log[9]);
}

TEST_F(ConversionJobTest, NoteIdWithTheTopBitSetIsLoggedNegative) {
    WriteNotesDatabase(dbPath,
                       R"("design":[{"class":"form","title":"F","fields":[{"name":"X","type":"text"}]}],
                                  "documents":[{"id":2147483652,"items":[{"name":"X","type":"text","value":"v"}]}])");
    ASSERT_TRUE(RunJob({"F", {}, csvPath, nullptr}));
    const std::vector<std::string> log = LogTexts();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "---DEBUG    Note ID = -2147483644"));
}

TEST_F(ConversionJobTest, DatabaseThatCannotBeOpenedIsReportedBeforeTheWizard) {
    RunConversionJob(nullptr, places, "", dir.File("missing.nsf"));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kTextNoSuchFile, recorder.boxes[0].text);
    EXPECT_FALSE(FileExists(places.logPath));
    EXPECT_TRUE(drv::TopLevelWindows(GetCurrentProcessId()).empty());
}

TEST_F(ConversionJobTest, NotesPathThatDoesNotFitIsRefusedBeforeAnyOpen) {
    const struct {
        std::string server;
        std::string path;
    } cases[] = {{"", "C:\\" + std::string(253, 'a')},
                 {"server", std::string(250, 'p')},
                 {std::string(300, 's'), "db.nsf"},
                 // 86 double-byte characters: 172 bytes here, 258 in LMBCS.
                 {"", std::string("C:\\") + [] {
                      std::string s;
                      for (int i = 0; i < 86; ++i) s += "\x82\xa0";
                      return s;
                  }()}};
    for (const auto& c : cases) {
        MessageBoxRecorder local;
        RunConversionJob(nullptr, places, c.server, c.path);
        ASSERT_EQ(1u, local.boxes.size());
        EXPECT_EQ(kTextNotesPathTooLong, local.boxes[0].text);
    }
    EXPECT_FALSE(FileExists(places.logPath));
}

// Makes the form page's combo box refuse every entry after the first `room`, as a list
// that has run out of space does (CB_ERRSPACE): the combo is subclassed the moment it is
// created, before the page fills it.
class FullFormCombo {
public:
    explicit FullFormCombo(LRESULT room) {
        s_room = room;
        m_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~FullFormCombo() { UnhookWindowsHookEx(m_hook); }
    FullFormCombo(const FullFormCombo&) = delete;
    FullFormCombo& operator=(const FullFormCombo&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
            const auto window = reinterpret_cast<HWND>(wParam);
            char name[32] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, "ComboBox") == 0 &&
                create->lpcs->hMenu == reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FORM_COMBO))) {
                s_original = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Refusing)));
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK Refusing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == CB_ADDSTRING && CallWindowProcA(s_original, window, CB_GETCOUNT, 0, 0) >= s_room) {
            return CB_ERRSPACE;
        }
        return CallWindowProcA(s_original, window, message, wParam, lParam);
    }
    static LRESULT s_room;
    static WNDPROC s_original;
    HHOOK m_hook;
};
LRESULT FullFormCombo::s_room = 0;
WNDPROC FullFormCombo::s_original = nullptr;

TEST_F(ConversionJobTest, FormListThatRefusesEntriesSaysSoForEachAndKeepsWhatItTook) {
    std::string forms;
    for (const char* title : {"A", "B", "C", "D", "E", "F"}) {
        forms += std::string(forms.empty() ? "" : ",") + R"({"class":"form","title":")" + title + R"("})";
    }
    WriteNotesDatabase(dbPath, R"("design":[)" + forms + "]");
    FullFormCombo full(2);
    std::vector<std::string> listed;
    std::thread driver([&] {
        HWND sheet = drv::WaitForDialog(GetCurrentProcessId(), drv::kFormPageTitle);
        HWND combo = drv::WaitForDescendant(sheet, IDC_FORM_COMBO);
        listed = drv::ComboItems(combo);
        drv::PressWizardButton(sheet, PSBTN_CANCEL);
    });
    RunConversionJob(nullptr, places, "", dbPath);
    driver.join();
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), listed);
    // Every refused add is said, and the page goes on with the next form.
    ASSERT_EQ(4u, recorder.boxes.size()) << "C, D, E and F were refused";
    for (const auto& box : recorder.boxes) EXPECT_EQ(kTextTooManyItems, box.text);
}

}  // namespace
