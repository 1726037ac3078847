// CNsfDatabase, CNsfError and the design catalogue against our Notes runtime.
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "support/ExpectedTexts.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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
    WriteFileBytes(folder + "\\folder.faults", "NSFDbClose=549\n");
    CNsfDatabase db;
    EXPECT_EQ(549, StatusOf([&] { db.Open(folder.c_str()); }));
    EXPECT_NE(0u, db.m_hDb);
}

TEST_F(NsfDatabaseTest, MissingFileIsTheLibrarysStatus) {
    CNsfDatabase db;
    EXPECT_EQ(kNoExist, StatusOf([&] { db.Open(dir.File("missing.nsf").c_str()); }));
}

TEST_F(NsfDatabaseTest, FailedCloseKeepsTheHandle) {
    CNsfDatabase db;
    db.Open(Db(R"("faults":{"NSFDbClose":549})").c_str());
    const notes::DBHANDLE held = db.m_hDb;
    EXPECT_EQ(549, StatusOf([&] { db.Close(); }));
    EXPECT_EQ(held, db.m_hDb);
}

TEST_F(NsfDatabaseTest, FailedModeQueryLeavesTheDatabaseHeld) {
    CNsfDatabase db;
    EXPECT_EQ(4020, StatusOf([&] { db.Open(Db(R"("faults":{"NSFDbModeGet":4020})").c_str()); }));
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
    db.Open(Db(R"("title":"T","faults":{"NSFDbInfoGet":4020})").c_str());
    std::memset(db.m_title, 'x', sizeof db.m_title);
    EXPECT_EQ(4020, StatusOf([&] { db.ReadTitle(); }));
    EXPECT_STREQ("", db.m_title);
    db.Close();
}

TEST_F(NsfDatabaseTest, ErrorTextIsLookedUpWithoutTheFlagBits) {
    EXPECT_EQ(kTextDirectory, CNsfError(kDirectory).m_message);
    EXPECT_EQ(kTextDirectory, CNsfError(0x8000 | kDirectory).m_message);
    EXPECT_EQ(kTextDirectory, CNsfError(0x4000 | kDirectory).m_message);
    EXPECT_EQ("", CNsfError(0x3FFE).m_message);
}

TEST_F(NsfDatabaseTest, ReportErrorShowsTheTextInTheUsualBox) {
    CNsfError(kNoExist).ReportError();
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(kTextNoSuchFile, recorder.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].style);
}

const char kCatalogue[] = R"("design":[
  {"class":"form","title":"Memo","fields":[{"name":"Subject","type":"text"},{"name":"Date","type":"time"},{"name":"Body","type":"richtext"}]},
  {"class":"form","title":["Reply","Re"]},
  {"class":"form"},
  {"class":"form","title":{"type":"number","value":7}},
  {"class":"view","title":"By Date"},
  {"class":"form","title":"Main Topic|MainTopic"},
  {"class":"form","title":"Empty"}
])";

TEST_F(NsfDatabaseTest, FormsInCollectionOrderWithTheirTitleRules) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    db.ListForms();
    const std::vector<std::string> expected = {
        "Memo", "Reply", "not available", "unknown data type", "Main Topic|MainTopic", "Empty"};
    EXPECT_EQ(expected, db.m_forms);
    db.ListForms();
    EXPECT_EQ(2 * expected.size(), db.m_forms.size()) << "a second call lists every form again";
    db.Close();
}

TEST_F(NsfDatabaseTest, LongTitleIsCutTo129Bytes) {
    CNsfDatabase db;
    db.Open(Db("\"design\":[{\"class\":\"form\",\"title\":\"" + std::string(200, 'A') + "\"}]").c_str());
    db.ListForms();
    ASSERT_EQ(1u, db.m_forms.size());
    EXPECT_EQ(std::string(129, 'A'), db.m_forms[0]);
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
        db.Open(Db(std::string(kCatalogue) + ",\"faults\":{\"" + op + "\":4020}", std::string(op) + ".nsf")
                    .c_str());
        EXPECT_EQ(4020, StatusOf([&] { db.ListForms(); })) << op;
        EXPECT_TRUE(db.m_forms.empty());
        db.Close();
    }
}

std::vector<std::string> Names(const FieldList& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& f : fields) names.push_back(f.name);
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
    EXPECT_EQ(Names(db.m_fields), Names(g_scanDb.m_fields));
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

TEST_F(NsfDatabaseTest, FormWithoutFieldsLeavesTheListAndEmptiesTheScanList) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    db.ListFields("Memo");
    db.ListFields("Empty");
    EXPECT_EQ(3u, db.m_fields.size());
    EXPECT_TRUE(g_scanDb.m_fields.empty());
    db.Close();
}

TEST_F(NsfDatabaseTest, UnknownFormAndScanFailureAreThrown) {
    CNsfDatabase db;
    db.Open(Db(kCatalogue).c_str());
    EXPECT_EQ(kDesignNotFound, StatusOf([&] { db.ListFields("Nothing"); }));
    db.Close();
    CNsfDatabase failing;
    failing.Open(Db(std::string(kCatalogue) + R"(,"faults":{"NSFItemScan":4020})", "scan.nsf").c_str());
    EXPECT_EQ(4020, StatusOf([&] { failing.ListFields("Memo"); }));
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

}  // namespace
