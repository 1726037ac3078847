// CNsfNote: opening documents (signed and sealed ones too) and item values as CSV-safe text.
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "notes/NsfNote.h"
#include "notes/CompositeRecords.h"
#include "support/CaseName.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

std::string Repeated(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

const char kDocuments[] = R"("documents":[
  {"id":100,"items":[
    {"name":"Subject","type":"text","value":"one, two"},
    {"name":"Tags","type":"textlist","value":["red","green"]},
    {"name":"Body","type":"text","value":"first\r\nsecond"},
    {"name":"Bare","type":"text","value":"first\nsecond"},
    {"name":"Lead","type":"text","value":"\nx"},
    {"name":"Quote","type":"text","value":"say \"hi\""},
    {"name":"Count","type":"number","value":42},
    {"name":"Empty","type":"text","value":""},
    {"name":"Long","type":"text","value":"LONGVALUE"},
    {"name":"Grows","type":"text","value":"30×40 ±5 25°C §"},
    {"name":"Japanese","type":"text","value":"東京都"},
    {"name":"Mixed","type":"text","value":"𠮷野 서울"},
    {"name":"Hangul","type":"text","value":"서울특별시 강남구"},
    {"name":"Emoji","type":"textlist","value":["a😀","b"]},
    {"name":"Wide","type":"text","value":"WIDEVALUE"},
    {"name":"Lines","type":"textlist","value":["a,0","b\nc",""," d "]},
    {"name":"Pairs","type":"text","value":"PAIRSVALUE"},
    {"name":"Formula","type":"text","value":"=1+1"},
    {"name":"Kana","type":"text","value":"ｶﾞｲｼｬ, é"},
    {"name":"Ends","type":"text","value":"last\n"},
    {"name":"Rich","type":"richtext","value":["one, two","three"]}]},
  {"id":128,"created":"2019-04-01T09:30:15","modified":"2024-03-05T14:07:09","parent":132,"items":[]},
  {"id":132,"unid":"c1257a8b0031e6f249257A8B0031E6F2","modified":"2024-03-05T14:07:09","items":[]},
  {"id":136,"items":[{"name":"$REF","type":4,"hex":"0000"}]},
  {"id":104,"signed":true,"items":[{"name":"Subject","type":"text","value":"signed"}]},
  {"id":108,"sealed":true,"items":[{"name":"Subject","type":"text","value":"sealed"}]},
  {"id":112,"sealed":true,"undecryptable":true,"items":[{"name":"Subject","type":"text","value":"secret"}]},
  {"id":116,"faults":{"NSFNoteOpen":582},"items":[{"name":"Subject","type":"text","value":"locked"}]},
  {"id":120,"signed":true,"faults":{"NSFNoteSign":603},"items":[{"name":"Subject","type":"text","value":"unsigned"}]},
  {"id":124,"signed":true,"sealed":true,"faults":{"NSFNoteSign":603},"items":[{"name":"Subject","type":"text","value":"both"}]},
  {"id":140,"signed":true,"signatureBroken":true,"items":[{"name":"Subject","type":"text","value":"changed"}]},
  {"id":144,"sealed":true,"newerEncryption":true,"items":[{"name":"Subject","type":"text","value":"aes"}]}
])";

class NsfNoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureNotesInitialized());
        std::string members = kDocuments;
        members.replace(members.find("LONGVALUE"), 9, std::string(70000, 'L'));
        // 40000 times "×": 40000 bytes of LMBCS, 80000 of code page 932.
        std::string wide;
        for (int i = 0; i < 40000; ++i) wide += "\u00d7";
        members.replace(members.find("WIDEVALUE"), 9, wide);
        members.replace(members.find("PAIRSVALUE"), 10, "a" + Repeated(u8"😀", 7000));
        WriteNotesDatabase(dir.File("docs.nsf"), members);
        db.Open(dir.File("docs.nsf").c_str());
    }
    void TearDown() override { db.Close(); }

    FieldEntry Read(notes::NOTEID id, const std::string& item, TextForm form = TextForm::kFixed) {
        CNsfNote note;
        note.Open(db.m_hDb, id, notes::OPEN_NOVERIFYDEFAULT);
        FieldEntry entry(item, notes::TYPE_TEXT);
        entry.value = "stale";
        entry.lost = 99;
        note.ReadItemText(entry, form);
        note.Close();
        return entry;
    }
    NoteIdentity Identity(notes::NOTEID id) {
        CNsfNote note;
        note.Open(db.m_hDb, id, notes::OPEN_NOVERIFYDEFAULT);
        NoteIdentity identity = note.ReadIdentity();
        note.Close();
        return identity;
    }
    std::string Value(notes::NOTEID id, const std::string& item) { return Read(id, item).value; }

    notes::STATUS OpenStatus(notes::NOTEID id) {
        CNsfNote note;
        notes::STATUS status = 0;
        try {
            note.Open(db.m_hDb, id, notes::OPEN_NOVERIFYDEFAULT);
        } catch (const CNsfError& error) {
            status = error.m_status;
        }
        note.Close();
        return status;
    }

    TempDir dir;
    MessageBoxRecorder recorder;
    CNsfDatabase db;
};

struct ValueCase {
    const char* item;
    std::string value;  // native text
    size_t lost = 0;    // characters code page 932 cannot hold
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.item; }

class ItemValues : public NsfNoteTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ItemValues, AreCsvSafeText) {
    const FieldEntry entry = Read(100, GetParam().item);
    EXPECT_EQ(GetParam().value, entry.value);
    EXPECT_EQ(GetParam().lost, entry.lost);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ItemValues,
    ::testing::Values(ValueCase{"Subject", "one; two"}, ValueCase{"Tags", "red;green"},
                      ValueCase{"Body", "first  second"}, ValueCase{"Bare", "first  second"},
                      ValueCase{"Lead", "  x"}, ValueCase{"Quote", "say \"hi\""}, ValueCase{"Count", "42"},
                      ValueCase{"Empty", ""}, ValueCase{"Missing", ""}, ValueCase{"subject", "one; two"},
                      // 30×40 ±5 25°C §: one LMBCS byte each for × ± ° §, two native
                      ValueCase{"Grows",
                                "30\x81\x7e"
                                "40 \x81\x7d"
                                "5 25\x81\x8b"
                                "C \x81\x98"},
                      ValueCase{"Japanese", "\x93\x8c\x8b\x9e\x93\x73"},
                      // 𠮷 is one character, one "?"; each Hangul syllable another
                      ValueCase{"Mixed", "?\x96\xec ??", 3}, ValueCase{"Hangul", "????? ???", 8},
                      ValueCase{"Emoji", "a?;b", 1}),
    [](const auto& info) { return std::string(info.param.item); });

// The lossless form: UTF-8, every character, values whole, line breaks CR LF.
struct LosslessCase {
    const char* item;
    std::string utf8;
};

void PrintTo(const LosslessCase& c, std::ostream* os) { *os << c.item; }

class LosslessValues : public NsfNoteTest, public ::testing::WithParamInterface<LosslessCase> {};

TEST_P(LosslessValues, AreWholeUtf8AndLoseNothing) {
    const FieldEntry entry = Read(100, GetParam().item, TextForm::kLossless);
    EXPECT_EQ(GetParam().utf8, entry.value);
    EXPECT_EQ(0u, entry.lost);
    EXPECT_FALSE(entry.cut);
    EXPECT_FALSE(entry.unjoined);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LosslessValues,
    ::testing::Values(
        LosslessCase{"Subject", "one, two"}, LosslessCase{"Tags", "red\r\ngreen"},
        LosslessCase{"Body", "first\r\nsecond"}, LosslessCase{"Bare", "first\r\nsecond"},
        LosslessCase{"Lead", "\r\nx"}, LosslessCase{"Quote", "say \"hi\""}, LosslessCase{"Count", "42"},
        LosslessCase{"Empty", ""}, LosslessCase{"Missing", ""}, LosslessCase{"Long", std::string(70000, 'L')},
        LosslessCase{"Grows", u8"30×40 ±5 25°C §"}, LosslessCase{"Japanese", u8"東京都"},
        LosslessCase{"Mixed", u8"𠮷野 서울"}, LosslessCase{"Hangul", u8"서울특별시 강남구"},
        LosslessCase{"Emoji", u8"a😀\r\nb"}, LosslessCase{"Wide", Repeated(u8"×", 40000)},
        // Entries one per line; a break inside an entry is a bare LF, so the entries split back.
        LosslessCase{"Lines", "a,0\r\nb\nc\r\n\r\n d "},
        // Translated in pieces, never between the two halves of a character.
        LosslessCase{"Pairs", "a" + Repeated(u8"😀", 7000)}, LosslessCase{"Formula", "=1+1"},
        LosslessCase{"Kana", u8"ｶﾞｲｼｬ, é"}, LosslessCase{"Ends", "last\r\n"},
        // Rich text keeps the conversion's text, as the fixed format does.
        LosslessCase{"Rich", "one, two\r\nthree"}),
    [](const auto& info) { return std::string(info.param.item); });

TEST_F(NsfNoteTest, RichTextKeepsTheFixedFormatsTextApartFromItsCommasAndBreaks) {
    EXPECT_EQ("one; two  three", Value(100, "Rich"));
}

struct IdentityCase {
    const char* label;
    notes::NOTEID id;
    NoteIdentity expected;
};

void PrintTo(const IdentityCase& c, std::ostream* os) { *os << c.label; }

class NoteIdentities : public NsfNoteTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(NoteIdentities, ComeFromTheNoteHeaderAndItsReference) {
    const NoteIdentity identity = Identity(GetParam().id);
    const NoteIdentity& expected = GetParam().expected;
    EXPECT_EQ(expected.unid, identity.unid);
    EXPECT_EQ(expected.noteId, identity.noteId);
    EXPECT_EQ(expected.parentUnid, identity.parentUnid);
    EXPECT_EQ(expected.created, identity.created);
    EXPECT_EQ(expected.modified, identity.modified);
}

INSTANTIATE_TEST_SUITE_P(Table, NoteIdentities,
                         ::testing::Values(
                             // The runtime's UNID for a document without one: its id, and its modification
                             // time, by default 2000-01-01 00:00 in the file's zone (Japan, 9 hours east).
                             IdentityCase{"MadeFromTheIdAndTime",
                                          100,
                                          {"5153494E0000006449256858005265C0", "NT00000064", "",
                                           "2000-01-01T00:00:00+09:00", "2000-01-01T00:00:00+09:00"}},
                             IdentityCase{"ResponseNamesItsParent",
                                          128,
                                          {"5153494E00000080492583CF0002C4FC", "NT00000080",
                                           "C1257A8B0031E6F249257A8B0031E6F2", "2019-04-01T09:30:15+09:00",
                                           "2024-03-05T14:07:09+09:00"}},
                             // The UNID's Note part is its creation, hundredths of a second and all.
                             IdentityCase{"GivenUnidWithHundredths",
                                          132,
                                          {"C1257A8B0031E6F249257A8B0031E6F2", "NT00000084", "",
                                           "2012-10-02T18:05:03.86+09:00", "2024-03-05T14:07:09+09:00"}},
                             IdentityCase{"ReferenceWithoutEntriesNamesNoParent",
                                          136,
                                          {"5153494E0000008849256858005265C0", "NT00000088", "",
                                           "2000-01-01T00:00:00+09:00", "2000-01-01T00:00:00+09:00"}}),
                         CaseLabel());

TEST_F(NsfNoteTest, ValueLongerThanTheBufferIsCutInsideIt) {
    const std::string value = Value(100, "Long");
    EXPECT_GT(value.size(), 60000u);
    EXPECT_LT(value.size(), 64000u);
    EXPECT_EQ(std::string(value.size(), 'L'), value);
}

TEST_F(NsfNoteTest, TextThatGrowsPastTheBufferIsCutThereAndCountsWhatDidNotFit) {
    const FieldEntry entry = Read(100, "Wide");
    // Whole characters up to the buffer's last byte, which the terminator keeps.
    ASSERT_EQ(63998u, entry.value.size());
    for (size_t i = 0; i < entry.value.size(); i += 2) ASSERT_EQ("\x81\x7e", entry.value.substr(i, 2)) << i;
    EXPECT_EQ(40000u - 31999u, entry.lost);
}

TEST_F(NsfNoteTest, ItemWithoutTextLosesNothing) {
    EXPECT_EQ(0u, Read(100, "Missing").lost);
    EXPECT_EQ(0u, Read(100, "Empty").lost);
    EXPECT_EQ(0u, Read(100, "Long").lost)
        << "a long ASCII text is cut by the item conversion, not the translation";
}

TEST_F(NsfNoteTest, SignedAndSealedNotesAreReadable) {
    EXPECT_EQ("signed", Value(104, "Subject"));
    EXPECT_EQ("sealed", Value(108, "Subject"));
}

// The signature step plays no part in reading: its failure is handed back, not thrown, and
// a sealed note is still decrypted after it.
TEST_F(NsfNoteTest, FailedSignatureStepIsReportedAndTheNoteStaysReadable) {
    for (notes::NOTEID id : {notes::NOTEID{120}, notes::NOTEID{124}}) {
        CNsfNote note;
        notes::STATUS signature = 0;
        ASSERT_NO_THROW(signature = note.Open(db.m_hDb, id, notes::OPEN_NOVERIFYDEFAULT)) << id;
        EXPECT_EQ(603, signature) << id;
        FieldEntry entry("Subject", notes::TYPE_TEXT);
        note.ReadItemText(entry);
        note.Close();
        EXPECT_EQ(id == 120 ? "unsigned" : "both", entry.value);
    }
    CNsfNote plain;
    EXPECT_EQ(0, plain.Open(db.m_hDb, 104, notes::OPEN_NOVERIFYDEFAULT)) << "a signature that succeeds";
    plain.Close();
}

struct SignatureStepCase {
    const char* label;
    notes::NOTEID note;
    SignatureStep step;
    bool keepKey;
    notes::STATUS signature;  // what Open hands back
    const char* subject;      // read after it
    bool hasKey;              // a key for the attachments was kept
};

class SignatureSteps : public NsfNoteTest, public ::testing::WithParamInterface<SignatureStepCase> {};

// Checking a signature never signs; a note sealed with the newer keys opens, its attachments
// then decrypted in place rather than through a key.
TEST_P(SignatureSteps, OpenHandsBackTheStepsStatusAndReads) {
    const SignatureStepCase& c = GetParam();
    CNsfNote note;
    note.m_signatureStep = c.step;
    note.m_keepAttachmentKey = c.keepKey;
    notes::STATUS signature = 0xFFFF;
    ASSERT_NO_THROW(signature = note.Open(db.m_hDb, c.note, notes::OPEN_NOVERIFYDEFAULT));
    EXPECT_EQ(c.signature, signature);
    EXPECT_EQ(c.hasKey, note.AttachmentKey() != nullptr);
    FieldEntry entry("Subject", notes::TYPE_TEXT);
    note.ReadItemText(entry);
    note.Close();
    EXPECT_EQ(c.subject, entry.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SignatureSteps,
    ::testing::Values(
        SignatureStepCase{"VerifiedIntact", 104, SignatureStep::kVerify, false, 0, "signed", false},
        SignatureStepCase{"VerifiedChanged", 140, SignatureStep::kVerify, false, 603, "changed", false},
        SignatureStepCase{"SignedChangedStillSigns", 140, SignatureStep::kSign, false, 0, "changed", false},
        // The sign fault does not touch a check: only the signing fails on this note.
        SignatureStepCase{"VerifiedWhereSigningFails", 120, SignatureStep::kVerify, false, 0, "unsigned",
                          false},
        SignatureStepCase{"SealedKeepsItsKey", 108, SignatureStep::kVerify, true, 0, "sealed", true},
        SignatureStepCase{"NewerKeyDecryptsInPlace", 144, SignatureStep::kVerify, true, 0, "aes", false},
        SignatureStepCase{"NewerKeyWithoutAttachments", 144, SignatureStep::kSign, false, 0, "aes", false}),
    CaseLabel());

TEST_F(NsfNoteTest, UndecryptableAndUnopenableNotesAreRefused) {
    EXPECT_EQ(613, OpenStatus(112));
    EXPECT_EQ(582, OpenStatus(116));
    EXPECT_NE(0, OpenStatus(999));
    EXPECT_TRUE(recorder.boxes.empty()) << "the note layer shows nothing itself";
}

TEST_F(NsfNoteTest, CloseClosesOnlyANoteThatOpened) {
    CNsfNote missing;
    EXPECT_THROW(missing.Open(db.m_hDb, 999, notes::OPEN_NOVERIFYDEFAULT), CNsfError);
    EXPECT_EQ(0u, missing.m_hNote) << "a note that did not open has no handle to close";
    missing.Close();
    // Opened, then refused by its decryption: the open note is closed, once.
    CNsfNote sealed;
    EXPECT_THROW(sealed.Open(db.m_hDb, 112, notes::OPEN_NOVERIFYDEFAULT), CNsfError);
    const notes::NOTEHANDLE opened = sealed.m_hNote;
    ASSERT_NE(0u, opened);
    sealed.Close();
    EXPECT_EQ(0u, sealed.m_hNote);
    EXPECT_NE(0, notes::Api().NSFNoteClose(opened)) << "closed already";
    sealed.Close();
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(NsfNoteTest, ReadValuesReplacesEveryValueAndKeepsNamesTypesOrder) {
    FieldList fields = {{"Count", notes::TYPE_NUMBER}, {"Missing", 7}, {"Subject", notes::TYPE_TEXT}};
    fields[1].value = "old";
    CNsfNote note;
    note.Open(db.m_hDb, 100, notes::OPEN_NOVERIFYDEFAULT);
    note.ReadValues(fields);
    note.Close();
    ASSERT_EQ(3u, fields.size());
    EXPECT_EQ("Count", fields[0].name);
    EXPECT_EQ(7, fields[1].type);
    EXPECT_EQ("42", fields[0].value);
    EXPECT_EQ("", fields[1].value);
    EXPECT_EQ("one; two", fields[2].value);
    FieldList none;
    note.ReadValues(none);
    EXPECT_TRUE(none.empty());
}

// The numbers the program passes to and compares with the library, each beside the one the
// reference's headers give (the table of docs/nnotes-database-format.md, which names them).
struct GenuineNumber {
    const char* label;
    uint32_t program;
    uint32_t genuine;
};

class ProgramNumbers : public ::testing::TestWithParam<GenuineNumber> {};

TEST_P(ProgramNumbers, AreTheLibrarysOwn) { EXPECT_EQ(GetParam().genuine, GetParam().program); }

constexpr uint32_t PKG_NSF = 0x0200;
constexpr uint32_t PKG_MISC = 0x0400;
constexpr uint32_t PKG_BSAFE4 = 0x0E60;
// The reference's name is the program's.
#define QS_NUMBER(name, genuine) (GenuineNumber{#name, notes::name, genuine})

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramNumbers,
    ::testing::Values(
        QS_NUMBER(TYPE_INVALID_OR_UNKNOWN, 0x0000), QS_NUMBER(TYPE_COMPOSITE, 0x0001),
        QS_NUMBER(TYPE_ERROR, 0x0100), QS_NUMBER(TYPE_UNAVAILABLE, 0x0200), QS_NUMBER(TYPE_NUMBER, 0x0300),
        QS_NUMBER(TYPE_NUMBER_RANGE, 0x0301), QS_NUMBER(TYPE_TIME, 0x0400),
        QS_NUMBER(TYPE_TIME_RANGE, 0x0401), QS_NUMBER(TYPE_TEXT, 0x0500), QS_NUMBER(TYPE_TEXT_LIST, 0x0501),
        QS_NUMBER(TYPE_FORMULA, 0x0600), QS_NUMBER(TYPE_USERID, 0x0700),
        QS_NUMBER(NOTE_CLASS_DOCUMENT, 0x0001), QS_NUMBER(NOTE_CLASS_FORM, 0x0004),
        QS_NUMBER(NOTE_CLASS_VIEW, 0x0008), QS_NUMBER(NOTE_CLASS_DEFAULT, 0x8000),
        GenuineNumber{"NOTE_ID_SPECIAL_DESIGN", notes::NOTE_CLASS_DESIGN_COLLECTION, 0xFFFF0020},
        GenuineNumber{"DB_LOADED", notes::DBMODE_LOADED, 1},
        GenuineNumber{"DB_DIRECTORY", notes::DBMODE_DIRECTORY, 2}, QS_NUMBER(OPEN_DO_NOT_CREATE, 0x0004),
        QS_NUMBER(NAVIGATE_NEXT, 1), QS_NUMBER(READ_MASK_NOTECLASS, 0x0004),
        QS_NUMBER(READ_MASK_SUMMARY, 0x8000), QS_NUMBER(SIGNAL_MORE_TO_DO, 0x0020),
        QS_NUMBER(INFOPARSE_TITLE, 0), QS_NUMBER(OS_TRANSLATE_NATIVE_TO_LMBCS, 0),
        QS_NUMBER(OS_TRANSLATE_LMBCS_TO_NATIVE, 1), QS_NUMBER(NSF_INFO_SIZE, 128),
        QS_NUMBER(TIMEDATE_MINIMUM, 0), QS_NUMBER(OPEN_NOVERIFYDEFAULT, 0x0002),
        QS_NUMBER(ITEM_SUMMARY, 0x0004), QS_NUMBER(ERR_MASK, 0x3FFF), QS_NUMBER(MAXPATH, 256),
        QS_NUMBER(ERR_DIRECTORY, PKG_NSF + 28), QS_NUMBER(ERR_ITEM_NOT_FOUND, PKG_NSF + 34),
        QS_NUMBER(ERR_NO_MODIFIED_NOTES, PKG_NSF + 60), QS_NUMBER(ERR_NOT_FOUND, PKG_MISC + 4),
        QS_NUMBER(ERR_SPECIAL_ID, PKG_NSF + 66), QS_NUMBER(ERR_NOTE_NOT_SIGNED, PKG_NSF + 89),
        QS_NUMBER(ERR_BADOBJECT, PKG_NSF + 54), QS_NUMBER(ERR_OBJECT_TRUNCATED, PKG_NSF + 79),
        QS_NUMBER(ERR_BSAFE_UNSUPPORTED_CRYPTO_OP, PKG_BSAFE4 + 1),
        QS_NUMBER(DECRYPT_ATTACHMENTS_IN_PLACE, 0x0001), QS_NUMBER(SPECIAL_ID_NOTE, 0x8000),
        QS_NUMBER(READ_MASK_NOTEID, 0x0001), QS_NUMBER(SEARCH_SUMMARY, 0x0002),
        QS_NUMBER(SEARCH_FILETYPE, 0x0004), QS_NUMBER(FILE_DBANY, 4), QS_NUMBER(FILE_TYPEMASK, 0x00FF),
        QS_NUMBER(FILE_RECURSE, 0x2000), QS_NUMBER(FILE_NOUPDIRS, 0x4000), QS_NUMBER(FILE_DIRS, 0x8000),
        QS_NUMBER(SE_FMATCH, 0x01),
        GenuineNumber{"SEARCH_MATCH_NoteClass", notes::searchmatch::kNoteClass, 48},
        GenuineNumber{"SEARCH_MATCH_SERetFlags", notes::searchmatch::kSERetFlags, 50},
        GenuineNumber{"SEARCH_MATCH_SummaryLength", notes::searchmatch::kSummaryLength, 52},
        GenuineNumber{"SEARCH_MATCH_Size", notes::searchmatch::kSize, 54}, QS_NUMBER(SIG_CD_PARAGRAPH, 129),
        QS_NUMBER(SIG_CD_TEXT, 133 | 0xFF00), QS_NUMBER(FREADWRITERS, 0x0001), QS_NUMBER(FEDITABLE, 0x0002),
        QS_NUMBER(FNAMES, 0x0004), QS_NUMBER(FREADERS, 0x0010), QS_NUMBER(TYPE_NOTEREF_LIST, 0x0004),
        QS_NUMBER(OS_TRANSLATE_LMBCS_TO_UTF8, 22), GenuineNumber{"_NOTE_ID", notes::NOTE_MEMBER_ID, 1},
        GenuineNumber{"_NOTE_OID", notes::NOTE_MEMBER_OID, 2},
        GenuineNumber{"_NOTE_MODIFIED", notes::NOTE_MEMBER_MODIFIED, 4},
        GenuineNumber{"TimeZoneGmt", static_cast<uint32_t>(notes::TIME_ZONE_GMT), 0},
        GenuineNumber{"ORIGINATORID_Size", sizeof(notes::ORIGINATORID), 28},
        GenuineNumber{"ORIGINATORID_Sequence", offsetof(notes::ORIGINATORID, Sequence), 16},
        GenuineNumber{"ORIGINATORID_SequenceTime", offsetof(notes::ORIGINATORID, SequenceTime), 20},
        GenuineNumber{"TIME_Size", sizeof(notes::TIME), 48},
        GenuineNumber{"TIME_GM", offsetof(notes::TIME, GM), 40},
        GenuineNumber{"FIELD_LINK", std::string(notes::FIELD_LINK) == "$REF", 1},
        GenuineNumber{"ConvertValueTextLimit", notes::kConvertValueTextLimit, 60 * 1024},
        GenuineNumber{"BLOCKID_Size", sizeof(notes::BLOCKID), sizeof(void*) == 8 ? 8u : 6u},
        GenuineNumber{"BLOCKID_Block", offsetof(notes::BLOCKID, block), 4}),
    CaseLabel());
#undef QS_NUMBER

}  // namespace
