// CNsfDatabase, CNsfError and the design catalogue against our Notes runtime.
#include "log/SysLog.h"
#include "notes/FieldRecords.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "support/CaseName.h"
#include "support/ExpectedTexts.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr notes::STATUS kDirectory = 540;
constexpr notes::STATUS kNoExist = 259;
constexpr notes::STATUS kDesignNotFound = 1028;

class NsfDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EnsureNotesInitialized()); }

    std::string Db(const std::string& members, const std::string& name = "db.nsf") {
        const std::string path = dir.File(name);
        WriteNotesDatabase(path, members);
        return path;
    }

    TempDir dir;
    MessageBoxRecorder recorder;
};

notes::STATUS StatusOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CNsfError& error) {
        return error.m_status;
    }
    return 0;
}

TEST_F(NsfDatabaseTest, OpenHoldsAndCloseIsIdempotent) {
    CNsfDatabase db;
    db.Open(Db(R"("title":"T")").c_str());
    EXPECT_NE(0u, db.m_hDb);
    db.Close();
    EXPECT_EQ(0u, db.m_hDb);
    EXPECT_EQ(0, StatusOf([&] { db.Close(); }));
    CNsfDatabase never;
    EXPECT_EQ(0, StatusOf([&] { never.Close(); }));
}

TEST_F(NsfDatabaseTest, FolderIsClosedAgainAndRefusedWith540) {
    CNsfDatabase db;
    EXPECT_EQ(kDirectory, StatusOf([&] { db.Open(dir.path().c_str()); }));
    EXPECT_EQ(0u, db.m_hDb);
}

TEST_F(NsfDatabaseTest, FailingCloseOfAFolderWinsOver540AndKeepsTheHandle) {
    const std::string folder = dir.File("folder");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteFileBytes(folder + "\\folder.faults", "NSFDbClose=551\n");
    CNsfDatabase db;
    EXPECT_EQ(551, StatusOf([&] { db.Open(folder.c_str()); }));
    EXPECT_NE(0u, db.m_hDb);
}

TEST_F(NsfDatabaseTest, MissingFileIsTheLibrarysStatus) {
    CNsfDatabase db;
    EXPECT_EQ(kNoExist, StatusOf([&] { db.Open(dir.File("missing.nsf").c_str()); }));
}

TEST_F(NsfDatabaseTest, FailedCloseKeepsTheHandle) {
    CNsfDatabase db;
    db.Open(Db(R"("faults":{"NSFDbClose":551})").c_str());
    const notes::DBHANDLE held = db.m_hDb;
    EXPECT_EQ(551, StatusOf([&] { db.Close(); }));
    EXPECT_EQ(held, db.m_hDb);
}

TEST_F(NsfDatabaseTest, FailedModeQueryLeavesTheDatabaseHeld) {
    CNsfDatabase db;
    EXPECT_EQ(582, StatusOf([&] { db.Open(Db(R"("faults":{"NSFDbModeGet":582})").c_str()); }));
    EXPECT_NE(0u, db.m_hDb);
}

TEST_F(NsfDatabaseTest, TitleIsReadAndTranslated) {
    CNsfDatabase db;
    // 顧客台帳 in UTF-8 in the file; Shift_JIS in the program.
    db.Open(Db("\"title\":\"\xE9\xA1\xA7\xE5\xAE\xA2\xE5\x8F\xB0\xE5\xB8\xB3\"").c_str());
    db.ReadTitle();
    EXPECT_STREQ("\x8c\xda\x8b\x71\x91\xe4\x92\xa0", db.m_title);
    db.Close();
}

TEST_F(NsfDatabaseTest, FailedTitleReadLeavesAnEmptyTitle) {
    CNsfDatabase db;
    db.Open(Db(R"("title":"T","faults":{"NSFDbInfoGet":582})").c_str());
    std::memset(db.m_title, 'x', sizeof db.m_title);
    EXPECT_EQ(582, StatusOf([&] { db.ReadTitle(); }));
    EXPECT_STREQ("", db.m_title);
    db.Close();
}

TEST_F(NsfDatabaseTest, ErrorTextIsLookedUpWithoutTheFlagBits) {
    EXPECT_EQ(kTextDirectory, CNsfError(kDirectory).m_message);
    EXPECT_EQ(kTextDirectory, CNsfError(0x8000 | kDirectory).m_message);
    EXPECT_EQ(kTextDirectory, CNsfError(0x4000 | kDirectory).m_message);
    // A status without a text is named by its number, flag bits aside.
    EXPECT_EQ("Notes error 16382", CNsfError(0x3FFE).m_message);
    EXPECT_EQ("Notes error 4020", CNsfError(0x8000 | 4020).m_message);
}

// The wizard's pages hand their Notes errors to the message boxes.
TEST_F(NsfDatabaseTest, ReportErrorShowsTheTextInTheUsualBox) {
    CNsfError(kNoExist).ReportError(MessageBoxes());
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kTextNoSuchFile, recorder.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].style);
}

// The Notes layer shows nothing itself: a caller without windows gets the text alone.
TEST_F(NsfDatabaseTest, ReportErrorGoesOnlyToTheSinkItIsHanded) {
    RecordingSink sink;
    CNsfError(kNoExist).ReportError(sink);
    EXPECT_EQ((std::vector<std::string>{kTextNoSuchFile}), sink.messages);
    EXPECT_TRUE(sink.fileErrors.empty());
    EXPECT_TRUE(sink.warnings.empty());
    EXPECT_TRUE(recorder.boxes.empty());
}

const char kCatalogue[] = R"("design":[
  {"class":"form","title":"Memo","fields":[{"name":"Subject","type":"text"},{"name":"Date","type":"time"},{"name":"Body","type":"richtext"}]},
  {"class":"form","title":["Reply","Re"]},
  {"class":"form"},
  {"class":"form","title":{"type":"number","value":7}},
  {"class":"view","title":"By Date"},
  {"class":"form","title":"Main Topic|MainTopic"},
  {"class":"form","title":"Empty"},
  {"class":"form","title":"Address","flags":"U","body":[{"name":"Street","type":"text"}]},
  {"class":"form","title":"Welcome","flags":"W","body":[]},
  {"class":"form","title":"logo.gif","flags":"i"},
  {"class":"form","title":"Hidden","flags":"CwnY3"}
])";

TEST_F(NsfDatabaseTest, FormsInCollectionOrderWithTheirTitleRules) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    db.ListForms();
    // A subform, page or image resource is no form; a form hidden from menus, the web or
    // Notes still is. A text-list title shows all its entries.
    const std::vector<std::string> expected = {
        "Memo", "Reply|Re", "not available", "unknown data type", "Main Topic|MainTopic", "Empty", "Hidden"};
    EXPECT_EQ(expected, db.m_forms);
    db.ListForms();
    EXPECT_EQ(2 * expected.size(), db.m_forms.size()) << "a second call lists every form again";
    db.Close();
}

TEST_F(NsfDatabaseTest, LongTitleIsCutTo129Bytes) {
    CNsfDatabase db;
    db.Open(Db("\"design\":[{\"class\":\"form\",\"title\":\"" + std::string(200, 'A') +
               "\"},{\"class\":\"form\",\"title\":[\"" + std::string(100, 'A') + "\",\"" +
               std::string(100, 'B') + "\",\"C\"]}]")
                .c_str());
    db.ListForms();
    ASSERT_EQ(2u, db.m_forms.size());
    EXPECT_EQ(std::string(129, 'A'), db.m_forms[0]);
    EXPECT_EQ(std::string(100, 'A') + "|" + std::string(28, 'B'), db.m_forms[1]);
    db.Close();
}

std::string Repeated(const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    return text;
}

TEST_F(NsfDatabaseTest, LongJapaneseTitlesAreCutBetweenWholeCharacters) {
    // A Japanese character is 3 bytes of LMBCS. 129 bytes hold 43 whole あ; after "A" the
    // cut leaves two bytes of the 43rd い, after "AB" one byte of the 43rd う: neither
    // reaches the name.
    CNsfDatabase db;
    db.Open(Db("\"design\":[{\"class\":\"form\",\"title\":\"" + Repeated("\\u3042", 67) +
               "\"},{\"class\":\"form\",\"title\":\"A" + Repeated("\\u3044", 67) +
               "\"},{\"class\":\"form\",\"title\":[\"AB" + Repeated("\\u3046", 67) + "\"]}]")
                .c_str());
    db.ListForms();
    EXPECT_EQ((std::vector<std::string>{Repeated("\x82\xa0", 43), "A" + Repeated("\x82\xa2", 42),
                                        "AB" + Repeated("\x82\xa4", 42)}),
              db.m_forms);
    db.Close();
}

TEST_F(NsfDatabaseTest, EmptyDesignCollectionAddsNothing) {
    CNsfDatabase db;
    db.Open(Db(R"("design":[{"class":"view","title":"V"}])").c_str());
    db.ListForms();
    EXPECT_TRUE(db.m_forms.empty());
    db.Close();
}

TEST_F(NsfDatabaseTest, FormsBeyondOneReadBufferAreAllListedOnceInOrder) {
    // 5,000 forms with a view after every tenth, titles of varying length: the design
    // collection takes several 64 KB reads, whose boundaries fall at varying places.
    std::string design = "\"design\":[";
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string title = "Form" + std::to_string(i) + std::string(static_cast<size_t>(i % 97), 'x');
        design += (i == 0 ? "" : ",") + std::string("{\"class\":\"form\",\"title\":\"") + title + "\"}";
        if (i % 10 == 0) design += ",{\"class\":\"view\",\"title\":\"View" + std::to_string(i) + "\"}";
        expected.push_back(title);
    }
    CNsfDatabase db;
    db.Open(Db(design + "]").c_str());
    db.ListForms();
    ASSERT_EQ(expected.size(), db.m_forms.size());
    EXPECT_TRUE(expected == db.m_forms);
    db.Close();
}

TEST_F(NsfDatabaseTest, CatalogueFailuresAreThrown) {
    for (const char* op : {"NIFOpenCollection", "NIFReadEntries"}) {
        CNsfDatabase db;
        db.Open(Db(std::string(kCatalogue) + ",\"faults\":{\"" + op + "\":582}", std::string(op) + ".nsf")
                    .c_str());
        EXPECT_EQ(582, StatusOf([&] { db.ListForms(); })) << op;
        EXPECT_TRUE(db.m_forms.empty());
        db.Close();
    }
}

std::vector<std::string> Names(const FieldList& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& f : fields) names.push_back(f.name);
    return names;
}

notes::STATUS LNCALLBACK AddItemName(notes::WORD, notes::WORD, char* name, notes::WORD nameLength, void*,
                                     notes::DWORD, void* names) {
    static_cast<std::vector<std::string>*>(names)->emplace_back(name, nameLength);
    return 0;
}

// The items of a form's design note, in the library's scan order, read beside ListFields
// rather than through it; empty, with a failure, when the note cannot be read.
std::vector<std::string> DesignNoteItems(const CNsfDatabase& db, const char* formName) {
    std::vector<std::string> names;
    notes::NOTEID id = 0;
    notes::NOTEHANDLE note = 0;
    if (notes::Api().NIFFindDesignNote(db.m_hDb, formName, notes::NOTE_CLASS_FORM, &id) != 0 ||
        notes::Api().NSFNoteOpen(db.m_hDb, id, 0, &note) != 0) {
        ADD_FAILURE() << "the design note of " << formName << " cannot be opened";
        return names;
    }
    EXPECT_EQ(0, notes::Api().NSFItemScan(note, AddItemName, &names)) << formName;
    notes::Api().NSFNoteClose(note);
    return names;
}

TEST_F(NsfDatabaseTest, FieldsInScanOrderWithTypesAndEmptyValues) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    db.ListFields("Memo");
    EXPECT_EQ((std::vector<std::string>{"Subject", "Date", "Body"}), Names(db.m_fields));
    EXPECT_EQ(notes::TYPE_TEXT, db.m_fields[0].type);
    EXPECT_EQ(notes::TYPE_TIME, db.m_fields[1].type);
    EXPECT_EQ(notes::TYPE_COMPOSITE, db.m_fields[2].type);
    for (const FieldEntry& f : db.m_fields) EXPECT_EQ("", f.value);
    EXPECT_EQ(DesignNoteItems(db, "Memo"), Names(db.m_fields))
        << "a form without definitions: its note's items";
    db.ListFields("Memo");
    EXPECT_EQ(6u, db.m_fields.size()) << "a second call doubles the list";
    db.Close();
}

TEST_F(NsfDatabaseTest, FieldNameOverTheScanBufferIsCutBetweenWholeCharacters) {
    // "B" and 100 あ are 301 bytes of LMBCS; 255 are kept, "B" and 84 あ and two bytes of
    // the 85th, which do not reach the name.
    CNsfDatabase db;
    db.Open(Db("\"design\":[{\"class\":\"form\",\"title\":\"F\",\"fields\":[{\"name\":\"B" +
               Repeated("\\u3042", 100) + "\",\"type\":\"text\"}]}]")
                .c_str());
    db.ListFields("F");
    EXPECT_EQ((std::vector<std::string>{"B" + Repeated("\x82\xa0", 84)}), Names(db.m_fields));
    db.Close();
}

TEST_F(NsfDatabaseTest, FormFoundByItsWholeTitleOrAnAlias) {
    CNsfDatabase db;
    db.Open(
        Db(R"("design":[{"class":"form","title":"Main Topic|MainTopic","fields":[{"name":"A","type":"text"}]}])")
            .c_str());
    db.ListFields("Main Topic|MainTopic");
    db.ListFields("MainTopic");
    EXPECT_EQ(2u, db.m_fields.size());
    db.Close();
}

// A title longer than the form page shows: the page's cut copy names no form, so the form is
// found by its whole first name, and its fields are listed.
struct LongTitleCase {
    const char* label;
    std::string title;  // the JSON of the title
};

class FormWithALongTitle : public NsfDatabaseTest, public ::testing::WithParamInterface<LongTitleCase> {};

TEST_P(FormWithALongTitle, IsFoundAndListsItsFields) {
    CNsfDatabase db;
    db.Open(Db(R"("design":[{"class":"form","title":"Short","body":[{"name":"Other","type":"text"}]},
        {"class":"form","title":)" +
               GetParam().title +
               R"(,"body":[{"name":"Subject","type":"text"},{"name":"Amount","type":"number"}]}])")
                .c_str());
    db.ListForms();
    ASSERT_EQ(2u, db.m_forms.size());
    db.ListFields(db.m_forms[1]);
    EXPECT_EQ((std::vector<std::string>{"Subject", "Amount"}), Names(db.m_fields));
    db.Close();
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormWithALongTitle,
    ::testing::Values(LongTitleCase{"TextWithAnAlias", "\"" + std::string(200, 'T') + "|Alias\""},
                      LongTitleCase{"ListOfTwoNames",
                                    "[\"" + std::string(150, 'L') + "\",\"" + std::string(150, 'M') + "\"]"}),
    CaseLabel());

// Each listing scans afresh: the items of an earlier form's note never stand in for a form
// that has none.
TEST_F(NsfDatabaseTest, FormWithoutFieldsLeavesTheListAndTakesNothingOfAnEarlierScan) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    db.ListFields("Memo");
    ASSERT_TRUE(DesignNoteItems(db, "Empty").empty());
    db.ListFields("Empty");
    EXPECT_EQ((std::vector<std::string>{"Subject", "Date", "Body"}), Names(db.m_fields));
    db.Close();
}

TEST_F(NsfDatabaseTest, UnknownFormAndScanFailureAreThrown) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    EXPECT_EQ(kDesignNotFound, StatusOf([&] { db.ListFields("Nothing"); }));
    db.Close();
    CNsfDatabase failing;
    failing.Open(Db(std::string(kCatalogue) + R"(,"faults":{"NSFItemScan":582})", "scan.nsf").c_str());
    EXPECT_EQ(582, StatusOf([&] { failing.ListFields("Memo"); }));
    EXPECT_TRUE(failing.m_fields.empty());
    failing.Close();
}

TEST_F(NsfDatabaseTest, JapaneseFormAndFieldNamesRoundTrip) {
    // フォーム with fields 氏名 and 金額, in UTF-8 in the file.
    CNsfDatabase db;
    db.Open(
        Db("\"design\":[{\"class\":\"form\",\"title\":\"\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xBC\xE3\x83\xA0\","
           "\"fields\":[{\"name\":\"\xE6\xB0\x8F\xE5\x90\x8D\",\"type\":\"text\"},"
           "{\"name\":\"\xE9\x87\x91\xE9\xA1\x8D\",\"type\":\"number\"}]}]")
            .c_str());
    db.ListForms();
    ASSERT_EQ(1u, db.m_forms.size());
    EXPECT_EQ("\x83t\x83H\x81[\x83\x80", db.m_forms[0]);
    db.ListFields(db.m_forms[0]);
    EXPECT_EQ((std::vector<std::string>{"\x8e\x81\x96\xbc", "\x8b\xe0\x8a\x7a"}), Names(db.m_fields));
    db.Close();
}

// Composite records written out as the C API reference lays them out.
std::string Le(notes::WORD v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Composite(const std::string& records) { return Le(notes::TYPE_COMPOSITE) + records; }
const std::string kParagraph("\x81\x02", 2);
// CDFIELD: WSIG 0xFF8A and length, Flags, DataType, ListDelim, NFMT, TFMT, FONTID, then the
// lengths of DV, IT, (TabOrder), IV, name, description and text values; the parts follow.
std::string CdField(const std::string& name, notes::WORD dataType, const std::string& formula = "",
                    const std::string& description = "", bool pad = true) {
    const size_t length = 36 + formula.size() + name.size() + description.size();
    std::string r = Le(0xFF8A) + Le(static_cast<notes::WORD>(length)) + Le(0x0002) + Le(dataType) + Le(0) +
                    std::string(12, '\0') + Le(static_cast<notes::WORD>(formula.size())) + Le(0) + Le(1) +
                    Le(0) + Le(static_cast<notes::WORD>(name.size())) +
                    Le(static_cast<notes::WORD>(description.size())) + Le(0) + formula + name + description;
    if (pad && length % 2 != 0) r.push_back('\0');
    return r;
}
std::string Hex(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

TEST_F(NsfDatabaseTest, GenuineFormListsItsFieldDefinitionsInRecordOrderAndNoOtherItem) {
    // 氏名 (text), 金額 (number), 納期 (time), 備考 (rich text), 担当 (names), spread over
    // $Body items of one or two fields each, and an item of the note's own after them.
    const std::string body = R"("body":[
      {"name":"\u6c0f\u540d","type":"text"},{"name":"\u91d1\u984d","type":"number","label":"Amount: "},
      {"name":"\u7d0d\u671f","type":"time"},{"name":"\u5099\u8003","type":"richtext"},
      {"name":"\u62c5\u5f53","type":"names"}])";
    for (const char* split : {"", R"(,"bodyItemSize":120)"}) {
        CNsfDatabase db;
        db.Open(Db(R"("design":[{"class":"form","title":"Order|ord",)" + body + split +
                   R"(,"fields":[{"name":"$Fields","type":"textlist","value":["x"]}]}])")
                    .c_str());
        db.ListFields("ord");
        EXPECT_EQ((std::vector<std::string>{"\x8e\x81\x96\xbc", "\x8b\xe0\x8a\x7a", "\x94\x5b\x8a\xfa",
                                            "\x94\xf5\x8d\x6c", "\x92\x53\x93\x96"}),
                  Names(db.m_fields))
            << split;
        const std::vector<notes::WORD> types = {notes::TYPE_TEXT, notes::TYPE_NUMBER, notes::TYPE_TIME,
                                                notes::TYPE_COMPOSITE, notes::TYPE_TEXT};
        ASSERT_EQ(types.size(), db.m_fields.size());
        for (size_t i = 0; i < types.size(); ++i) EXPECT_EQ(types[i], db.m_fields[i].type) << i;
        for (const FieldEntry& f : db.m_fields) EXPECT_EQ("", f.value);
        // The note itself holds the designer's items, none of which was offered.
        const std::vector<std::string> items = DesignNoteItems(db, "ord");
        ASSERT_FALSE(items.empty());
        EXPECT_EQ("$TITLE", items.front());
        EXPECT_EQ("$Info", items[1]);
        EXPECT_EQ("$Fields", items.back());
        EXPECT_EQ(*split == '\0' ? 4u : 6u, items.size()) << "one $Body, or three of them";
        db.Close();
    }
}

TEST_F(NsfDatabaseTest, FieldDataTypeIsTheItemTypeAsItIs) {
    // DataType 1 is TYPE_COMPOSITE, the rich text a field type number would take for a number.
    CNsfDatabase db;
    db.Open(Db(R"("design":[{"class":"form","title":"F","body":[
      {"name":"List","type":1281},{"name":"Odd","type":99},{"name":"Key","type":"keywords"},
      {"name":"Rich","type":1}]}])")
                .c_str());
    db.ListFields("F");
    ASSERT_EQ((std::vector<std::string>{"List", "Odd", "Key", "Rich"}), Names(db.m_fields));
    EXPECT_EQ(notes::TYPE_TEXT_LIST, db.m_fields[0].type);
    EXPECT_EQ(99, db.m_fields[1].type);
    EXPECT_EQ(notes::TYPE_TEXT, db.m_fields[2].type);
    EXPECT_EQ(notes::TYPE_COMPOSITE, db.m_fields[3].type);
    db.Close();
}

// F (found by its list title as the form page shows it, which the library knows only by each
// entry) inserts S1, a subform that is not there, S4 that cannot be read and S2; S1 inserts
// S3, which inserts S1 and F again. A name repeated in any case and a subform's `$` field are
// no further fields.
const char kSubforms[] = R"("design":[
  {"class":"form","title":["F","Frm"],"body":[{"name":"A","type":"text"}],
   "fields":[{"name":"$SubForms","type":"textlist","value":["S1","Missing","S4","S2"]}]},
  {"class":"form","title":"S4","flags":"U","body":[{"name":"E","type":"text"}],"faults":{"NSFItemScan":582}},
  {"class":"form","title":"S1","flags":"U","body":[{"name":"B","type":"number"},{"name":"a","type":"text"}],
   "fields":[{"name":"$SubForms","type":"text","value":"S3"}]},
  {"class":"form","title":"S2","flags":"U","body":[{"name":"D","type":"richtext"},{"name":"$Ref","type":"text"}]},
  {"class":"form","title":"S3","flags":"U","body":[{"name":"C","type":"time"}],
   "fields":[{"name":"$SubForms","type":"textlist","value":["S1","F"]}]},
  {"class":"form","title":"Lost","body":[],"fields":[{"name":"$SubForms","type":"textlist","value":["Missing"]},
   {"name":"$Fields","type":"textlist","value":["X"]}]},
  {"class":"form","title":"Listed","body":[],"fields":[{"name":"$Fields","type":"textlist","value":["X","$Y","x","Z"]},
   {"name":"Other","type":"text"}]}
])";

TEST_F(NsfDatabaseTest, SubformFieldsFollowOnceEachAndTheFieldsItemStandsInForNone) {
    const std::string log = dir.File("job.log");
    CSysLog jobLog;
    ASSERT_TRUE(jobLog.Create(log.c_str()));
    CNsfDatabase db;
    db.m_log = &jobLog;
    db.Open(Db(kSubforms).c_str());
    db.ListFields("F|Frm");
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "D"}), Names(db.m_fields));
    const std::string text = ReadFileBytes(log);
    EXPECT_NE(std::string::npos, text.find("DEBUG    Subform not found: Missing")) << text;
    EXPECT_EQ(text.find("Subform not found"), text.rfind("Subform not found")) << "one line for it";
    EXPECT_NE(std::string::npos,
              text.find(std::string("DEBUG    Subform not read: S4, ") + kTextNotAuthorized))
        << text;
    db.m_fields.clear();
    db.ListFields("Lost");
    EXPECT_TRUE(db.m_fields.empty()) << "a form that names subforms never takes $Fields";
    db.ListFields("Listed");
    EXPECT_EQ((std::vector<std::string>{"X", "Z"}), Names(db.m_fields));
    db.Close();
}

// The field page lists fields before its job has a log: a database handed no log writes
// nowhere, not even into the log an earlier job of the process left behind.
TEST_F(NsfDatabaseTest, ListingWithoutALogWritesIntoNoOtherJobsLog) {
    const std::string earlier = dir.File("earlier.log");
    ASSERT_TRUE(g_sysLog.Create(earlier.c_str()));
    CNsfDatabase db;
    db.Open(Db(kSubforms).c_str());
    db.ListFields("F|Frm");
    db.Close();
    g_sysLog.m_path.clear();
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "D"}), Names(db.m_fields));
    EXPECT_EQ("", ReadFileBytes(earlier));
}

TEST_F(NsfDatabaseTest, BodyWithoutFieldDefinitionsKeepsEveryItemButDesignItemsAsAField) {
    // A $Body of a paragraph and a label only, and a $Body that is text, not composite.
    const std::string label = Le(0xFF85) + Le(9) + std::string(4, '\0') + "L" + std::string(1, '\0');
    const std::string textBody = Le(0) + CdField("A", 8);
    CNsfDatabase db;
    db.Open(Db(R"("design":[{"class":"form","title":"F","fields":[{"name":"$Body","type":1,"hex":")" +
               Hex(kParagraph + label) + R"("},{"name":"$body","type":1280,"hex":")" + Hex(textBody) +
               R"("},{"name":"Subject","type":"text"}]}])")
                .c_str());
    db.ListFields("F");
    EXPECT_EQ((std::vector<std::string>{"Subject"}), Names(db.m_fields));
    db.Close();
}

TEST_F(NsfDatabaseTest, BrokenBodyRecordEndsTheWalkWithTheFieldsBeforeIt) {
    // A field, then a CDFIELD whose length runs past the item; then a second $Body item
    // (lower case, as item names ignore case) with one more field.
    std::string broken = CdField("Lost", 8);
    broken[2] = static_cast<char>(0x7F);
    CNsfDatabase db;
    db.Open(Db(R"("design":[{"class":"form","title":"F","fields":[{"name":"$Body","type":1,"hex":")" +
               Hex(kParagraph + CdField("Kept", 8) + broken + CdField("Never", 8)) +
               R"("},{"name":"$BODY","type":1,"hex":")" + Hex(CdField("Next", 1)) + R"("}]}])")
                .c_str());
    db.ListFields("F");
    EXPECT_EQ((std::vector<std::string>{"Kept", "Next"}), Names(db.m_fields));
    db.Close();
}

struct WalkCase {
    const char* name;
    std::string value;  // the item value, type word first
    std::vector<std::string> fields;
    bool whole;  // no broken record met
};

class FieldRecordWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(FieldRecordWalk, ReportsTheFieldsBeforeAnyBrokenRecordAndReadsNothingPastTheValue) {
    // The value alone in a buffer of its size: a read past it reads another allocation.
    std::vector<char> value(GetParam().value.begin(), GetParam().value.end());
    std::vector<std::string> fields;
    const bool whole = ForEachFieldRecord(value.data(), value.size(), [&](const FieldRecord& f) {
        ASSERT_GE(f.name, value.data());
        ASSERT_LE(f.name + f.nameLength, value.data() + value.size());
        fields.emplace_back(f.name, f.nameLength);
    });
    EXPECT_EQ(GetParam().fields, fields);
    EXPECT_EQ(GetParam().whole, whole);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FieldRecordWalk,
    ::testing::Values(
        WalkCase{"Empty", "", {}, true}, WalkCase{"TypeWordOnly", Composite(""), {}, true},
        WalkCase{"NotComposite", Le(notes::TYPE_TEXT) + CdField("A", 8), {}, true},
        WalkCase{"TwoFieldsAmongLabels",
                 Composite(kParagraph + CdField("Name", 8) + kParagraph + CdField("Total", 1)),
                 {"Name", "Total"},
                 true},
        WalkCase{"OddRecordsArePadded", Composite(CdField("ABC", 8) + CdField("D", 2)), {"ABC", "D"}, true},
        WalkCase{"LastOddRecordWithoutItsPad", Composite(CdField("ABC", 8, "", "", false)), {"ABC"}, true},
        WalkCase{"FormulaAndDescriptionAroundTheName",
                 Composite(CdField("Due", 2, "\x01\x02\x03", "when")),
                 {"Due"},
                 true},
        WalkCase{"LongRecordIsSkipped",
                 Composite(Le(0x0060) + std::string("\x08\x00\x00\x00\x00\x00", 6) + CdField("X", 8)),
                 {"X"},
                 true},
        WalkCase{"FieldWithoutAName", Composite(CdField("", 8) + CdField("B", 8)), {"B"}, true},
        WalkCase{"CutInsideTheLastRecord",
                 Composite(CdField("A", 8) + CdField("Total", 1)).substr(0, 60),
                 {"A"},
                 false},
        WalkCase{
            "CutInsideAHeader", Composite(CdField("A", 8)) + std::string("\x8a\xff\x30", 3), {"A"}, false},
        WalkCase{"OneByteAfterTheTypeWord", Composite(std::string(1, '\x81')), {}, false},
        WalkCase{
            "ByteLengthBelowItsHeader", Composite(std::string("\x81\x01", 2) + CdField("A", 8)), {}, false},
        WalkCase{"WordLengthBelowItsHeader", Composite(Le(0xFF85) + Le(3) + CdField("A", 8)), {}, false},
        WalkCase{"FieldShorterThanItsFixedPart",
                 Composite(Le(0xFF8A) + Le(20) + std::string(16, '\0')),
                 {},
                 false},
        WalkCase{"NameRunsPastItsRecord",
                 Composite(CdField("A", 8).replace(30, 2, Le(9)) + CdField("B", 8)),
                 {},
                 false},
        WalkCase{
            "LongLengthPastTheValue", Composite(Le(0x0060) + std::string("\xff\xff\xff\xff", 4)), {}, false}),
    [](const ::testing::TestParamInfo<WalkCase>& info) { return std::string(info.param.name); });

}  // namespace
