// The real quillsheet.exe under faults and inputs at their limits, operated through its
// windows: files taken away in the middle of an export, database files that break between
// the wizard's opens, very many forms and fields, names with separators, values and titles
// longer than the buffers they pass through.
#include "EndToEndFixture.h"
#include "support/Emulation.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace e2e;

// Where `actual` differs from `expected`: it must be `expected` with one run of lines left
// out and nothing else changed (no line twice, none out of order, none altered).
struct Gap {
    bool onlyOneRunMissing = false;
    size_t at = 0;      // index in `expected` of the first missing line
    size_t length = 0;  // how many lines are missing
};

Gap FindGap(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    Gap gap;
    if (actual.size() > expected.size()) return gap;
    size_t prefix = 0;
    while (prefix < actual.size() && actual[prefix] == expected[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < actual.size() - prefix &&
           actual[actual.size() - 1 - suffix] == expected[expected.size() - 1 - suffix]) {
        ++suffix;
    }
    gap.onlyOneRunMissing = prefix + suffix == actual.size();
    gap.at = prefix;
    gap.length = expected.size() - actual.size();
    // Every note has the same command and result lines, so a run of missing lines can often
    // be placed at several places that leave the same text (the common prefix gives the
    // last of them). The earliest is the one that says where lines began to be missing.
    if (gap.onlyOneRunMissing && gap.length > 0) {
        while (gap.at > 0 && expected[gap.at - 1] == expected[gap.at - 1 + gap.length]) --gap.at;
    }
    return gap;
}

// ---------------------------------------------------------------------------------------
// A file of the job taken by another program in the middle of the export, then freed.

// A form "Doc" with one text field "V" and `count` documents whose value is unique and of
// one width ("v" and five digits), so that every CSV line names its document; the note ids
// are all of five digits, so that every note's three log lines have one length.
struct ManyDocuments {
    // `pauseAt`: the index of the document whose open meets the runtime's pause `pause`.
    ManyDocuments(int count, int pauseAt = -1, const std::string& pause = "") {
        json =
            R"("title":"Many","design":[{"class":"form","title":"Doc","fields":[{"name":"V","type":"text"}]}],)"
            R"("documents":[)";
        csv.push_back("V");
        for (int i = 0; i < count; ++i) {
            char value[16];
            std::snprintf(value, sizeof value, "v%05d", i);
            const unsigned id = 10000u + 4u * static_cast<unsigned>(i);
            json += std::string(i == 0 ? "" : ",") + R"({"id":)" + std::to_string(id) +
                    (i == pauseAt ? R"(,"pause":")" + pause + "\"" : std::string()) +
                    R"(,"items":[{"name":"V","type":"text","value":")" + value + "\"}]}";
            csv.push_back(value);
            ids.push_back(id);
        }
        json += "]";
        csv.push_back("");  // after the last CR LF
    }
    std::string json;
    std::vector<std::string> csv;  // the whole CSV file split at CR LF
    std::vector<unsigned> ids;
};

constexpr int kManyDocuments = 3000;
// The document whose open the export is held at while the test takes the file: what the
// program writes before it is all there, what it writes after it meets the held file.
constexpr int kHoldAtDocument = 100;
// Bytes of one note's three log lines: the stamp is 20 bytes, the ids 5 digits.
constexpr size_t kLogBytesPerNote = (20 + 24 + 2) + (20 + 27 + 2) + (20 + 36 + 2);
// How many notes the program handles after the box was answered before the file is freed,
// when it is answered first.
constexpr size_t kNotesWhileHeld = 20;

enum class HeldFile { Destination, Log };
enum class Order { ReleaseThenAnswer, AnswerThenRelease };

struct MidExportCase {
    const char* name;
    HeldFile file;
    Order order;
};

void PrintTo(const MidExportCase& c, std::ostream* os) { *os << c.name; }

class MidExportHold : public EndToEnd, public ::testing::WithParamInterface<MidExportCase> {};

TEST_P(MidExportHold, OneBoxAndOnlyTheLinesWrittenWhileHeldAreMissing) {
    const MidExportCase& c = GetParam();
    // The runtime stops the export in the open of one document until the test has the file.
    const std::string pause = "QuillsheetTestPause" + std::to_string(GetCurrentProcessId());
    HANDLE reached = CreateEventA(nullptr, TRUE, FALSE, (pause + ".reached").c_str());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, (pause + ".go").c_str());
    ASSERT_NE(nullptr, reached);
    ASSERT_NE(nullptr, go);
    const ManyDocuments data(kManyDocuments, kHoldAtDocument, pause);
    WriteNotesDatabase(dbPath, data.json);
    const std::string& heldPath = c.file == HeldFile::Destination ? csvPath : logPath;
    const std::string& otherPath = c.file == HeldFile::Destination ? logPath : csvPath;

    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Doc", {}, csvPath, nullptr}));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached, emu::ScaledMs(drv::kDefaultTimeoutMs)))
        << "the export's pause";
    ExclusiveHolder other(heldPath, drv::kDefaultTimeoutMs);
    const bool held = other.held();
    SetEvent(go);
    CloseHandle(reached);
    CloseHandle(go);
    ASSERT_TRUE(held);
    HWND box = drv::WaitForMessageBox(app->pid());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(heldPath + kTextSharing, drv::MessageBoxText(box));
    if (c.order == Order::ReleaseThenAnswer) {
        other.Release();
        drv::DismissMessageBox(box);
    } else {
        drv::DismissMessageBox(box);
        // The other file shows the program going on while this one is still held.
        const unsigned long long before = FileSizeOf(otherPath);
        const unsigned long long grown =
            c.file == HeldFile::Destination ? (kNotesWhileHeld + 2) * kLogBytesPerNote : kNotesWhileHeld * 8;
        ASSERT_TRUE(drv::WaitUntil([&] { return FileSizeOf(otherPath) >= before + grown; }));
        other.Release();
    }
    const std::string lastMessage = NextMessage();

    const std::vector<std::string> csv = SplitCrLf(ReadFileBytes(csvPath));
    const std::vector<std::string> log = WithoutCopyright(LogTexts());
    if (c.file == HeldFile::Destination) {
        const Gap gap = FindGap(data.csv, csv);
        ASSERT_TRUE(gap.onlyOneRunMissing);
        EXPECT_EQ(IncompleteExportText(static_cast<unsigned long>(gap.length)), lastMessage)
            << "one box for the held file, then how many lines the file lacks";
        EXPECT_EQ(WholeJobLog(dbPath, "Doc", data.ids, gap.length), log)
            << "every document handled, the log complete";
        EXPECT_EQ(1u + kHoldAtDocument, gap.at) << "the lines before the hold are there";
        if (c.order == Order::ReleaseThenAnswer) {
            EXPECT_EQ(1u, gap.length) << "only the line whose append met the held file";
        } else {
            EXPECT_GE(gap.length, kNotesWhileHeld + 1) << "every line of the held time";
        }
    } else {
        EXPECT_EQ(kTextFinished, lastMessage) << "one box for the held file, then the completion";
        EXPECT_EQ(data.csv, csv) << "every document in the CSV file";
        const std::vector<std::string> wholeLog = WholeJobLog(dbPath, "Doc", data.ids);
        const Gap gap = FindGap(wholeLog, log);
        ASSERT_TRUE(gap.onlyOneRunMissing);
        // The banner and the job's first 14 lines, three per earlier document, and the
        // command and note id lines of the held one: the open's result is the first line missing.
        EXPECT_EQ(14u + 3 * kHoldAtDocument + 2, gap.at) << "the lines before the hold are there";
        if (c.order == Order::ReleaseThenAnswer) {
            EXPECT_EQ(1u, gap.length) << "only the line whose append met the held file";
        } else {
            EXPECT_GE(gap.length, 3 * (kNotesWhileHeld - 1)) << "every line of the held time";
        }
    }
    Exit(source);
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, MidExportHold,
                         ::testing::Values(MidExportCase{"DestinationFreedBeforeTheBoxIsAnswered",
                                                         HeldFile::Destination, Order::ReleaseThenAnswer},
                                           MidExportCase{"DestinationFreedAfterTheBoxIsAnswered",
                                                         HeldFile::Destination, Order::AnswerThenRelease},
                                           MidExportCase{"LogFreedBeforeTheBoxIsAnswered", HeldFile::Log,
                                                         Order::ReleaseThenAnswer},
                                           MidExportCase{"LogFreedAfterTheBoxIsAnswered", HeldFile::Log,
                                                         Order::AnswerThenRelease}),
                         [](const ::testing::TestParamInfo<MidExportCase>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// The database file broken on disk after the wizard's earlier opens of it succeeded.

// When the file breaks: before the field page reads the form (page 1 shows, then Next),
// while the field page shows (Next, then Finish), while the destination page shows (Finish).
enum class BreakAt { FormPageShows, FieldPageShows, DestinationPageShows };

struct BrokenFile {
    const char* name;
    std::string bytes;
    const char* text;  // what the runtime says about it
};

const BrokenFile kBrokenFiles[] = {
    {"Empty", "", kTextNotADatabase},
    {"Cut",
     std::string(
         R"({"format":"quillsheet-notes-database","version":1,"title":"Orders","design":[{"class":"fo)"),
     kTextNotADatabase},
    {"NotADatabase", "PK\x03\x04 not a database", kTextNotADatabase},
    {"Damaged",
     R"({"format":"quillsheet-notes-database","version":1,"design":[{"class":"form","title":"Order"}],)"
     R"("documents":[{"id":8},{"id":8}]})",
     kTextDamaged},
};

struct BreakCase {
    BreakAt at;
    size_t file;  // index into kBrokenFiles
};

std::string BreakCaseName(const BreakCase& c) {
    const char* at[] = {"FormPageShows", "FieldPageShows", "DestinationPageShows"};
    return std::string("BrokenWhile") + at[static_cast<int>(c.at)] + "_" + kBrokenFiles[c.file].name;
}

void PrintTo(const BreakCase& c, std::ostream* os) { *os << BreakCaseName(c); }

class DatabaseBrokenBetweenOpens : public EndToEnd, public ::testing::WithParamInterface<BreakCase> {};

TEST_P(DatabaseBrokenBetweenOpens, TheNextOpenShowsTheNotesTextAndTheJobWritesNoCsv) {
    const BreakCase& c = GetParam();
    const BrokenFile& broken = kBrokenFiles[c.file];
    auto breakFile = [&] { WriteFileBytes(dbPath, broken.bytes); };
    WriteFileBytes(csvPath, "kept");
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    ASSERT_TRUE(drv::SelectComboItem(combo, "Order"));

    if (c.at == BreakAt::FormPageShows) breakFile();
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    if (c.at == BreakAt::FormPageShows) {
        EXPECT_EQ(broken.text, NextMessage()) << "the field page's open";
    }
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    HWND list = drv::WaitForDescendant(sheet, 1012);
    ASSERT_NE(nullptr, list);
    if (c.at == BreakAt::FormPageShows) {
        EXPECT_EQ(0, drv::ListItemCount(list)) << "the page comes, without fields";
    } else {
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::ListItemCount(list) == 3; }));
    }

    if (c.at == BreakAt::FieldPageShows) breakFile();
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    drv::SetText(drv::WaitForDescendant(sheet, kExportPathEdit), csvPath);

    if (c.at == BreakAt::DestinationPageShows) breakFile();
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(broken.text, NextMessage()) << "the export's open";
    ExpectOnlyTheseWindows(source);  // no completion message
    EXPECT_FALSE(IsWindow(sheet));

    // The job stopped at its open: the log up to the database path and what stopped it, the
    // CSV file untouched.
    std::vector<std::string> expectedLog = WholeJobLog(dbPath, "Order", {});
    expectedLog.resize(7);
    expectedLog.push_back(std::string("---ERROR    Notes error: ") + broken.text);
    expectedLog.push_back(SummaryLine(0, 0, 0, 0));
    expectedLog.push_back("---WARNING  Export stopped: no CSV file was written");
    EXPECT_EQ(expectedLog, WithoutCopyright(LogTexts()));
    EXPECT_EQ("kept", ReadFileBytes(csvPath));
    Exit(source);
    EXPECT_TRUE(Opened().empty()) << "the shell opens nothing";
}

std::vector<BreakCase> AllBreakCases() {
    std::vector<BreakCase> cases;
    for (BreakAt at : {BreakAt::FormPageShows, BreakAt::FieldPageShows, BreakAt::DestinationPageShows}) {
        for (size_t file = 0; file < sizeof kBrokenFiles / sizeof kBrokenFiles[0]; ++file) {
            cases.push_back({at, file});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, DatabaseBrokenBetweenOpens, ::testing::ValuesIn(AllBreakCases()),
                         [](const ::testing::TestParamInfo<BreakCase>& info) {
                             return BreakCaseName(info.param);
                         });

// The form page's own read cannot be given a broken file: it follows the source dialog's
// test open with no window in between. A failing design collection stands in for it.
TEST_F(EndToEnd, FormPageThatCannotReadTheFormsShowsTheNotesTextAndAnEmptyList) {
    std::string members = kOrders;
    WriteNotesDatabase(dbPath, members + R"(,"faults":{"NIFReadEntries":582})");
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    EXPECT_EQ(kTextNotAuthorized, NextMessage());
    HWND sheet = drv::WaitForDialog(app->pid(), drv::kFormPageTitle);
    ASSERT_NE(nullptr, sheet);
    HWND combo = drv::WaitForDescendant(sheet, 1008);
    ASSERT_NE(nullptr, combo);
    EXPECT_TRUE(drv::ComboItems(combo).empty());
    EXPECT_EQ("Orders", drv::Text(drv::FindDescendant(sheet, 1007))) << "the title was read before";
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    EXPECT_EQ(kTextChooseForm, NextMessage());
    drv::PressWizardButton(sheet, PSBTN_CANCEL);
    ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(sheet); }));
    EXPECT_FALSE(FileExists(logPath));
    Exit(source);
}

// ---------------------------------------------------------------------------------------
// Very many forms and fields.

constexpr int kManyForms = 5000;
constexpr int kManyFields = 40000;
// The field page of the 40,000 fields and the export of them each end in a window that
// must come: the page's title, then the completion message. Measured here (Wine on two
// CPUs, the test alone, two runs): the page 19.5 s and 19.8 s, the export 0.8 s and 0.6 s;
// about 40 s for the whole test. The bound is far above both, so that only a program that hangs
// reaches it; the test records both times (fieldPageMs, exportMs) in its results.
constexpr DWORD kWideFormBoundMs = 300000;

std::string Numbered(const char* format, int n) {
    char text[32];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

// Empty when the lists are equal, else their sizes and the first entry that differs (a
// list of thousands is too long to print whole).
std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
    if (i == expected.size() && i == actual.size()) return "";
    return std::to_string(expected.size()) + " expected, " + std::to_string(actual.size()) +
           " found; first difference at " + std::to_string(i) + ": expected \"" +
           (i < expected.size() ? expected[i] : "(none)") + "\", found \"" +
           (i < actual.size() ? actual[i] : "(none)") + "\"";
}

// kManyForms forms "F0000"... with one field each, and the form "Wide" with kManyFields
// fields "f00000"... stored from the last to the first; two documents give values to the
// first, the middle and the last field. (The field page's list sorts what it is given;
// Wine's list view finds a sorted item's place by a walk from the top, so fields stored in
// ascending order would take it about 150 s to list, descending ones about 15 s.)
std::string ManyFormsAndFields() {
    std::string json = R"("title":"Big","design":[)";
    for (int i = 0; i < kManyForms; ++i) {
        json += R"({"class":"form","title":")" + Numbered("F%04d", i) +
                R"(","fields":[{"name":"X","type":"text"}]},)";
    }
    json += R"({"class":"form","title":"Wide","fields":[)";
    for (int i = kManyFields - 1; i >= 0; --i) {
        json += R"({"name":")" + Numbered("f%05d", i) + R"(","type":"text"})" + (i == 0 ? "" : ",");
    }
    json += R"(]}],"documents":[)"
            R"({"items":[{"name":"f00000","type":"text","value":"first"},)"
            R"({"name":"f39999","type":"text","value":"last"}]},)"
            R"({"items":[{"name":"f20000","type":"text","value":"middle"}]}])";
    return json;
}

TEST_F(EndToEnd, FiveThousandFormsAllReachTheFormList) {
    WriteNotesDatabase(dbPath, ManyFormsAndFields());
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    std::vector<std::string> expected;
    for (int i = 0; i < kManyForms; ++i) expected.push_back(Numbered("F%04d", i));
    expected.push_back("Wide");
    EXPECT_EQ("", FirstDifference(expected, drv::ComboItems(combo)));
    drv::PressWizardButton(sheet, PSBTN_CANCEL);
    ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(sheet); }));
    Exit(source);
}

TEST_F(EndToEnd, FortyThousandFieldsAllReachTheFieldListAndTheHeader) {
    WriteNotesDatabase(dbPath, ManyFormsAndFields());
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    ASSERT_TRUE(drv::SelectComboItem(combo, "Wide"));
    const DWORD pageAsked = GetTickCount();
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }, kWideFormBoundMs));
    RecordProperty("fieldPageMs", static_cast<int>(GetTickCount() - pageAsked));
    HWND list = drv::WaitForDescendant(sheet, 1012);
    ASSERT_NE(nullptr, list);
    std::vector<std::string> names;
    for (int i = 0; i < kManyFields; ++i) names.push_back(Numbered("f%05d", i));
    EXPECT_EQ("", FirstDifference(names, drv::ListItemTexts(list)));

    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    drv::SetText(drv::WaitForDescendant(sheet, kExportPathEdit), csvPath);
    const DWORD exportAsked = GetTickCount();
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    HWND box = drv::WaitForMessageBox(app->pid(), kWideFormBoundMs);
    ASSERT_NE(nullptr, box);
    RecordProperty("exportMs", static_cast<int>(GetTickCount() - exportAsked));
    EXPECT_EQ(kTextFinished, drv::MessageBoxText(box));
    drv::DismissMessageBox(box);

    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_EQ(4u, lines.size()) << "the header, two documents, nothing after the last line";
    std::string header;
    for (const std::string& name : names) header += (header.empty() ? "" : ",") + name;
    EXPECT_EQ(header, lines[0]);
    const std::string empties(kManyFields / 2 - 1, ',');
    EXPECT_EQ("first" + empties + std::string(kManyFields / 2, ',') + "last", lines[1]);
    EXPECT_EQ(std::string(kManyFields / 2, ',') + "middle" + empties, lines[2]);
    Exit(source);
}

// ---------------------------------------------------------------------------------------
// Names holding the CSV file's own separators.

TEST_F(EndToEnd, CommasAndLineFeedsInFormAndFieldNamesKeepEveryLineAsWideAsTheHeader) {
    WriteNotesDatabase(dbPath, R"("title":"Names","design":[
      {"class":"form","title":"Sales, 2024\nQ1","fields":[{"name":"Name, first","type":"text"},
        {"name":"Line\nfeed","type":"text"},{"name":"Plain","type":"text"}]},
      {"class":"form","title":"Plain form","fields":[{"name":"X","type":"text"}]}],
      "documents":[{"items":[{"name":"Name, first","type":"text","value":"Alice, A."},
        {"name":"Line\nfeed","type":"text","value":"two\nlines"},{"name":"Plain","type":"text","value":"p"}]}])");
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    // The combo box holds the names as they are, the line feed included.
    EXPECT_EQ((std::vector<std::string>{"Plain form", "Sales, 2024\nQ1"}), drv::ComboItems(combo));
    ASSERT_TRUE(drv::SelectComboItem(combo, "Sales, 2024\nQ1"));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    HWND list = drv::WaitForDescendant(sheet, 1012);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ((std::vector<std::string>{"Line\nfeed", "Name, first", "Plain"}), drv::ListItemTexts(list))
        << "the form was found by its name with the line feed; the list holds the names as they are";
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    drv::SetText(drv::WaitForDescendant(sheet, kExportPathEdit), csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());

    // The header's cells get the clean-up every value gets: "," becomes ";", a line feed a
    // blank (a line break inside a value, a NUL as Notes stores it, becomes two). Raw, "Name, first" would
    // give the header a fourth cell and "Line\nfeed" a second line.
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    EXPECT_EQ((std::vector<std::string>{"Line feed,Name; first,Plain", "two  lines,Alice; A.,p", ""}), lines);
    for (const std::string& line : lines) {
        if (!line.empty()) {
            EXPECT_EQ(2, std::count(line.begin(), line.end(), ',')) << line;
        }
    }
    Exit(source);
}

// ---------------------------------------------------------------------------------------
// Values and titles longer than the buffers they pass through.

std::string Repeat(const std::string& unit, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += unit;
    return text;
}

// Each value is read into a 64,000-byte buffer, of which the library's conversion fills at
// most 60 KB: 61,439 bytes of whole LMBCS characters and a NUL (a Japanese character is 3
// bytes there, 2 in Shift_JIS), then translated. Rich text goes on past it from its further
// items, up to the buffer's 63,999 bytes.
TEST_F(EndToEnd, ValuesOverSixtyFourThousandBytesAreCutInsideTheBuffer) {
    const std::string digits = Repeat("0123456789", 7000);  // 70,000 bytes
    WriteNotesDatabase(dbPath, R"("title":"Long","design":[{"class":"form","title":"Long","fields":[
        {"name":"Text","type":"text"},{"name":"Kanji","type":"text"},{"name":"List","type":"textlist"},
        {"name":"Rich","type":"richtext"}]}],"documents":[{"items":[
        {"name":"Text","type":"text","value":")" +
                                   digits + R"("},
        {"name":"Kanji","type":"text","value":"A)" +
                                   Repeat("\\u3042", 35000) + R"("},
        {"name":"List","type":"textlist","value":[")" +
                                   std::string(30000, 'a') + R"(",")" + std::string(30000, 'b') + R"(",")" +
                                   std::string(30000, 'c') + R"("]},
        {"name":"Rich","type":"richtext","value":[")" +
                                   std::string(40000, 'x') + R"(",")" + std::string(40000, 'y') +
                                   R"("]}]}])");
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Long", {}, csvPath, nullptr}));
    EXPECT_EQ(kTextFinished, NextMessage());

    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("Kanji,List,Rich,Text", lines[0]);
    const std::vector<std::string> expected = {
        // "A" and 20,479 あ are 61,438 LMBCS bytes; one more あ would pass 61,439.
        "A" + Repeat("\x82\xa0", 20479),
        // The entries joined by ";", cut in the third.
        std::string(30000, 'a') + ";" + std::string(30000, 'b') + ";" + std::string(1437, 'c'),
        // The paragraphs joined by CR LF, which becomes two blanks.
        std::string(40000, 'x') + "  " + std::string(23997, 'y'),
        digits.substr(0, 61439),
    };
    std::string wanted;
    for (const std::string& cell : expected) wanted += (wanted.empty() ? "" : ",") + cell;
    EXPECT_EQ(wanted.size(), lines[1].size());
    EXPECT_TRUE(wanted == lines[1]) << "the document's line differs from the cut values";
    // Each cut cell is named once.
    const std::vector<std::string> log = LogTexts();
    for (const auto& cut : {std::make_pair("Text", 61440), std::make_pair("Kanji", 61440),
                            std::make_pair("List", 61440), std::make_pair("Rich", 64000)}) {
        const char* field = cut.first;
        const std::string named =
            std::string(", Value cut: ") + field + " (" + std::to_string(cut.second) + " bytes)";
        EXPECT_EQ(1, std::count_if(log.begin(), log.end(),
                                   [&](const std::string& line) {
                                       return line.compare(0, 22, "---WARNING  Note ID = ") == 0 &&
                                              line.size() > named.size() &&
                                              line.compare(line.size() - named.size(), named.size(), named) ==
                                                  0;
                                   }))
            << field;
    }
    Exit(source);
}

// A form title is cut at 129 bytes of LMBCS, then translated whole characters only. Three
// titles of over 200 LMBCS bytes: 43 あ cut between characters; "A" and い, and "AB" and
// う, cut inside the 43rd character, which is left out (127 and 128 bytes kept). A cut title
// still finds its form.
TEST_F(EndToEnd, JapaneseTitlesOverTheTitleBufferAreCutToWholeCharactersAndStillFound) {
    WriteNotesDatabase(dbPath, R"("title":"Titles","design":[
        {"class":"form","title":")" +
                                   Repeat("\\u3042", 67) + R"(","fields":[{"name":"X","type":"text"}]},
        {"class":"form","title":"A)" +
                                   Repeat("\\u3044", 67) + R"(","fields":[{"name":"X","type":"text"}]},
        {"class":"form","title":"AB)" +
                                   Repeat("\\u3046", 67) + R"(","fields":[{"name":"X","type":"text"}]},
        {"class":"form","title":"Short","fields":[{"name":"X","type":"text"}]}],
        "documents":[{"items":[{"name":"X","type":"text","value":"x"}]}])");
    const std::string wholeCut = Repeat("\x82\xa0", 43);
    std::vector<std::string> expected = {wholeCut, "A" + Repeat("\x82\xa2", 42),
                                         "AB" + Repeat("\x82\xa4", 42), "Short"};
    std::sort(expected.begin(), expected.end());

    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    std::vector<std::string> shown = drv::ComboItems(combo);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(expected, shown);

    // The page shows a cut copy of the title, but the form is found by its whole first name:
    // the field page lists its field.
    ASSERT_TRUE(drv::SelectComboItem(combo, wholeCut));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    EXPECT_EQ(1, drv::ListItemCount(drv::WaitForDescendant(sheet, 1012)));
    drv::PressWizardButton(sheet, PSBTN_CANCEL);
    ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(sheet); }));
    Exit(source);
}

// A field name is read into 256 bytes: "B" and 100 あ (301 LMBCS bytes) keep "B" and 84 あ.
// The cut name names no item of the document, so its column stays empty.
TEST_F(EndToEnd, FieldNameOverTheScanBufferIsListedCutAndGivesAnEmptyColumn) {
    WriteNotesDatabase(dbPath, R"("title":"Names","design":[{"class":"form","title":"F","fields":[
        {"name":"B)" + Repeat("\\u3042", 100) +
                                   R"(","type":"text"},{"name":"C","type":"text"}]}],
        "documents":[{"items":[{"name":"B)" +
                                   Repeat("\\u3042", 100) + R"(","type":"text","value":"b"},
        {"name":"C","type":"text","value":"c"}]}])");
    const std::string cut = "B" + Repeat("\x82\xa0", 84);
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    ASSERT_TRUE(drv::SelectComboItem(combo, "F"));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    EXPECT_EQ((std::vector<std::string>{cut, "C"}), drv::ListItemTexts(drv::WaitForDescendant(sheet, 1012)));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    drv::SetText(drv::WaitForDescendant(sheet, kExportPathEdit), csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ(cut + ",C\r\n,c\r\n", ReadFileBytes(csvPath));
    Exit(source);
}

}  // namespace
