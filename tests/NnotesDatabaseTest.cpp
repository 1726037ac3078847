// nnotes.dll on database files: opening by the kinds of path the program builds, the
// design collection and its summaries, design notes and their items, the note table, signed
// and sealed notes, and the faults a database file can ask for.

#include "NnotesLibrary.h"
#include "support/Text.h"
#include "support/CaseName.h"
#include "nnotes/IndexedFile.h"
#include "nnotes/Status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <vector>

using namespace notes;
using nlohmann::json;

namespace {

json Item(const std::string& name, const std::string& type, const json& value) {
    return {{"name", name}, {"type", type}, {"value", value}};
}
json Field(const std::string& name, const std::string& type) { return {{"name", name}, {"type", type}}; }

// The design collection of the tests, in this order.
json Design() {
    return json::array({
        {{"class", "form"},
         {"title", u8"顧客"},
         {"fields",
          {Field(u8"会社名", "text"), Field("Amount", "number"), Field("Due", "time"),
           Field("Tags", "textlist")}}},
        {{"class", "view"}, {"title", "All"}},
        {{"class", "form"}, {"title", "Order|ord"}, {"fields", {Field("Item", "text")}}},
        {{"class", "form"}, {"title", json::array({"First", "Second"})}, {"default", true}},
        {{"class", "form"}},
        {{"class", "form"}, {"title", {{"type", "number"}, {"value", 5}}}},
        {{"class", "agent"}, {"title", "Nightly"}},
    });
}

// An attached file: a $FILE item of the file's name (UTF-8) and bytes; `flag` ("sealed",
// "badSignature", "signed") set when given.
json File(const std::string& fileName, const std::string& bytes, const char* flag = nullptr) {
    json file = {
        {"name", "$FILE"}, {"type", "file"}, {"fileName", fileName}, {"base64", text::Base64(bytes)}};
    if (flag != nullptr) file[flag] = true;
    return file;
}

// A file of the bytes a text editor or a transfer in text mode would spoil: NULs, CR LF, a
// lone LF, 0x1A (the old end-of-file mark) and bytes above 0x7F.
const std::string kBinaryFile =
    std::string("%PDF-1.4\r\n\0\x1A\n\xFF\xFE\x00\x80\r", 18) + std::string(300, '\x1A');

json Documents() {
    return json::array({
        {{"id", 0x90C},
         {"modified", "2024-03-05T14:07:09"},
         {"items",
          {Item("Form", "text", u8"顧客"), Item(u8"会社名", "text", u8"株式会社あい"),
           Item(u8"代表者", "text", u8"𠮷野 서울 😀"), File(u8"見積書.pdf", kBinaryFile), File("a.txt", "one"),
           File("a.txt", "two"), Item("When", "time", "2024-03-05T14:07:09"),
           File("changed.txt", "changed", "badSignature"), File("locked.txt", "locked", "sealed")}}},
        {{"id", 0x904},
         {"items", {Item("Form", "text", "Order"), File("signed.txt", "signed", "signed")}},
         {"signed", true}},
        {{"id", 0x908},
         {"items", {Item("Secret", "text", "hidden"), File("inner.txt", "inner")}},
         {"sealed", true}},
        {{"id", 0x910},
         {"items", {Item("Secret", "text", "locked"), File("out.txt", "out")}},
         {"sealed", true},
         {"undecryptable", true}},
    });
}

struct ScanState {
    std::vector<std::pair<std::string, WORD>> items;
    size_t stopAfter;
};

STATUS LNCALLBACK CollectItem(WORD spare, WORD, char* name, WORD nameLength, void* value,
                              notes::DWORD valueLength, void* param) {
    auto* s = static_cast<ScanState*>(param);
    EXPECT_EQ(0, spare);
    EXPECT_GE(valueLength, 2u);
    WORD type;
    memcpy(&type, value, 2);
    s->items.emplace_back(std::string(name, nameLength), type);
    return s->stopAfter != 0 && s->items.size() == s->stopAfter ? 0x1234 : 0;
}

STATUS LNCALLBACK IgnoreItem(WORD, WORD, char*, WORD, void*, notes::DWORD, void*) { return 0; }

// One scanned item whole: name, flags and the value's bytes, type word included.
struct ScannedItem {
    std::string name;
    WORD flags;
    std::string value;
    bool operator==(const ScannedItem& o) const {
        return name == o.name && flags == o.flags && value == o.value;
    }
};

STATUS LNCALLBACK CollectValue(WORD, WORD flags, char* name, WORD nameLength, void* value,
                               notes::DWORD valueLength, void* param) {
    static_cast<std::vector<ScannedItem>*>(param)->push_back(
        {std::string(name, nameLength), flags, std::string(static_cast<const char*>(value), valueLength)});
    return 0;
}

// Little-endian words and double words, as the records are laid out.
std::string W(WORD v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string D(notes::DWORD v) { return W(static_cast<WORD>(v & 0xFFFF)) + W(static_cast<WORD>(v >> 16)); }

// A form as a designer saves it: Name (a text field labelled "Name: ") and Total (a number
// field labelled as it is named).
json GenuineForm() {
    return {{"class", "form"},
            {"title", "Order|ord"},
            {"body", json::array({json{{"name", "Name"}, {"type", "text"}, {"label", "Name: "}},
                                  json{{"name", "Total"}, {"type", "number"}}})}};
}

// The $Body records of GenuineForm, written out byte by byte from the C API reference:
// CDPARAGRAPH (BSIG 129, length 2); CDTEXT (WSIG 0xFF85, length, FONTID, text); CDFIELD
// (WSIG 0xFF8A, length, Flags FEDITABLE, DataType (the item type), ListDelim, NFMT, TFMT, FONTID, DV, IT,
// TabOrder, IV, Name, Desc and TextValue lengths, the name); odd records padded.
std::string GenuineBody() {
    const std::string zero4(4, '\0');
    return "\x81\x02" + W(0xFF85) + W(14) + D(0) + "Name: " +  //
           W(0xFF8A) + W(40) + W(0x0002) + W(TYPE_TEXT) + W(0) + zero4 + zero4 + D(0) + W(0) + W(0) +
           W(1) +                                                                    //
           W(0) + W(4) + W(0) + W(0) + "Name" +                                      //
           "\x81\x02" + W(0xFF85) + W(13) + D(0) + "Total" + std::string(1, '\0') +  //
           W(0xFF8A) + W(41) + W(0x0002) + W(TYPE_NUMBER) + W(0) + zero4 + zero4 + D(0) + W(0) + W(0) +
           W(2) +  //
           W(0) + W(5) + W(0) + W(0) + "Total" + std::string(1, '\0');
}

// CDDOCUMENT: BSIG 134 of length 24, PaperColor 1 (white), FormFlags, NotePrivileges,
// FormFlags2, InherFieldNameLength, PaperColorExt, COLOR_VALUE (RGB white), FormFlags3, Spare.
std::string GenuineInfo() {
    return "\x86\x18" + W(1) + W(0) + W(0) + W(0) + W(0) + W(0) + W(0x0001) + "\xFF\xFF\xFF" +
           std::string(1, '\0') + W(0) + W(0);
}

class NnotesDatabase : public ::testing::Test, public NnotesFixture {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, lib.module);
        json db = NewDatabase(u8"営業 database");
        db["design"] = Design();
        db["documents"] = Documents();
        WriteDatabase("sales.nsf", db);
    }

    // Packs `head` and `documents` (in their order) into the indexed form at data\`name`;
    // false, with the packer's `error`, when it refuses them.
    bool Pack(const json& head, const std::vector<json>& documents, const char* name, std::string* error) {
        size_t next = 0;
        return nnotes::PackDatabase(
            head.dump(),
            [&](std::string* text) {
                if (next == documents.size()) return false;
                *text = documents[next++].dump();
                return true;
            },
            data.File(name), error);
    }

    // Writes "ids.nsf" with a document of each id, in `ids`' order or reversed, opens it
    // into *h and returns the table of its documents (0 when the table cannot be had).
    DHANDLE DocumentTableOf(const std::vector<NOTEID>& ids, bool reversed, DBHANDLE* h) {
        json db = NewDatabase("ids");
        db["documents"] = json::array();
        std::vector<NOTEID> order = ids;
        if (reversed) std::reverse(order.begin(), order.end());
        for (NOTEID id : order) db["documents"].push_back({{"id", id}, {"items", json::array()}});
        WriteDatabase("ids.nsf", db);
        *h = Open("ids.nsf");
        TIMEDATE since, until{};
        lib.TimeConstant(TIMEDATE_MINIMUM, &since);
        DHANDLE table = 0;
        EXPECT_EQ(0, lib.NSFDbGetModifiedNoteTable(*h, NOTE_CLASS_DOCUMENT, since, &until, &table));
        return table;
    }

    std::string Title(DBHANDLE h) {
        char info[NSF_INFO_SIZE] = {};
        EXPECT_EQ(0, lib.NSFDbInfoGet(h, info));
        lib.NSFDbInfoParse(info, INFOPARSE_TITLE, info, NSF_INFO_SIZE - 1);
        return info;
    }

    // The design collection's entries: (note class, summary bytes).
    std::vector<std::pair<WORD, std::string>> ReadDesign(DBHANDLE h) {
        std::vector<std::pair<WORD, std::string>> entries;
        HCOLLECTION coll = 0;
        EXPECT_EQ(0, lib.NIFOpenCollection(h, h, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0, &coll,
                                           nullptr, nullptr, nullptr, nullptr));
        COLLECTIONPOSITION pos{};
        pos.Tumbler[0] = 1;
        DHANDLE buffer = 0;
        notes::DWORD count = 0;
        EXPECT_EQ(0, lib.NIFReadEntries(coll, &pos, 0, 0, NAVIGATE_NEXT, MAXDWORD_COUNT,
                                        READ_MASK_NOTECLASS | READ_MASK_SUMMARY, &buffer, nullptr, nullptr,
                                        &count, nullptr));
        const char* p = static_cast<const char*>(lib.OSLockObject(buffer));
        for (notes::DWORD i = 0; i < count && p != nullptr; ++i) {
            WORD cls, length;
            memcpy(&cls, p, 2);
            memcpy(&length, p + 2, 2);
            entries.emplace_back(cls, std::string(p + 2, length));
            p += 2 + length;
        }
        EXPECT_TRUE(lib.OSUnlockObject(buffer));
        EXPECT_EQ(0, lib.OSMemFree(buffer));
        EXPECT_EQ(0, lib.NIFCloseCollection(coll));
        return entries;
    }

    // The items of the design note of the form named `title` (LMBCS), whole.
    std::vector<ScannedItem> FormItems(DBHANDLE h, const std::string& title) {
        NOTEID id = 0;
        EXPECT_EQ(0, lib.NIFFindDesignNote(h, title.c_str(), NOTE_CLASS_FORM, &id));
        NOTEHANDLE note = 0;
        EXPECT_EQ(0, lib.NSFNoteOpen(h, id, 0, &note));
        std::vector<ScannedItem> items;
        EXPECT_EQ(0, lib.NSFItemScan(note, CollectValue, &items));
        EXPECT_EQ(0, lib.NSFNoteClose(note));
        return items;
    }

    std::vector<std::pair<std::string, WORD>> ScanItems(NOTEHANDLE note, STATUS* status = nullptr,
                                                        size_t stopAfter = 0) {
        ScanState scan{{}, stopAfter};
        STATUS st = lib.NSFItemScan(note, CollectItem, &scan);
        if (status != nullptr) *status = st;
        return scan.items;
    }
};

}  // namespace

TEST_F(NnotesDatabase, OpenModeTitleClose) {
    DBHANDLE h = Open("sales.nsf");
    ASSERT_NE(0u, h);
    WORD mode = 0xFFFF;
    EXPECT_EQ(0, lib.NSFDbModeGet(h, &mode));
    EXPECT_NE(DBMODE_DIRECTORY, mode);
    EXPECT_EQ(JapaneseLmbcs(u8"営業 database"), Title(h));
    EXPECT_EQ(0, lib.NSFDbClose(h));
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.NSFDbClose(h)) << "a closed handle is unknown";
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.NSFDbModeGet(h, &mode));
}

// NSFDbInfoParse's length counts the piece without its NUL (NSF_INFO_SIZE - 1 for a buffer
// of NSF_INFO_SIZE): up to that many bytes of whole characters and the NUL after them.
TEST_F(NnotesDatabase, InfoParseLengthCountsTheTitleWithoutItsNul) {
    DBHANDLE h = Open("sales.nsf");
    char info[NSF_INFO_SIZE] = {};
    ASSERT_EQ(0, lib.NSFDbInfoGet(h, info));
    const std::string full = JapaneseLmbcs(u8"営業 database");
    // Character boundaries: 営 and 業 take 3 bytes each, then 9 single bytes.
    for (WORD length = 0; length <= full.size() + 2; ++length) {
        std::vector<char> buffer(length + 1u + 4u, 'x');
        lib.NSFDbInfoParse(info, INFOPARSE_TITLE, buffer.data(), length);
        const size_t expected = length < 3 ? 0 : length < 6 ? 3 : std::min<size_t>(length, full.size());
        EXPECT_EQ(full.substr(0, expected), std::string(buffer.data())) << "length " << length;
        for (size_t i = length + 1u; i < buffer.size(); ++i) EXPECT_EQ('x', buffer[i]) << "length " << length;
    }
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, AbsolutePathOpensAndHandlesDiffer) {
    DBHANDLE a = Open(lib.ToLmbcs(data.File("sales.nsf")));
    DBHANDLE b = Open("sales.nsf");
    EXPECT_NE(0u, a);
    EXPECT_NE(0u, b);
    EXPECT_NE(a, b);
    EXPECT_EQ(0, lib.NSFDbClose(a));
    EXPECT_EQ(0, lib.NSFDbClose(b));
}

TEST_F(NnotesDatabase, FolderOpensWithDirectoryMode) {
    CreateDirectoryA(data.File("mail").c_str(), nullptr);
    DBHANDLE h = Open("mail");
    ASSERT_NE(0u, h);
    WORD mode = 0;
    EXPECT_EQ(0, lib.NSFDbModeGet(h, &mode));
    EXPECT_EQ(DBMODE_DIRECTORY, mode);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, ServerPathOpensTheServersFolder) {
    json db = NewDatabase("On the server");
    WriteDatabase(u8"servers\\Tokyo01\\apps\\crm.nsf", db);
    char path[MAXPATH];
    ASSERT_EQ(0, lib.OSPathNetConstruct("", "Tokyo01", "apps\\crm.nsf", path));
    DBHANDLE h = Open(path);
    ASSERT_NE(0u, h);
    EXPECT_EQ("On the server", Title(h));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// The library whose NSFLocateSummaryValue reads the summaries a search hands over.
static NnotesLibrary* g_searchLibrary = nullptr;

// A directory's databases as NSFSearch hands them to its routine: each match with SE_FMATCH
// and its summary, the path as "$path" gives it.
static STATUS LNCALLBACK CollectPath(void* param, SEARCH_MATCH* match, ITEM_TABLE* summary) {
    auto* paths = static_cast<std::vector<std::string>*>(param);
    const auto* bytes = reinterpret_cast<const char*>(match);
    EXPECT_EQ(SE_FMATCH, static_cast<uint8_t>(bytes[searchmatch::kSERetFlags]) & SE_FMATCH);
    void* value = nullptr;
    WORD length = 0, type = 0;
    EXPECT_NE(nullptr, summary);
    if (summary == nullptr) return 0;
    paths->push_back(std::string());
    if (g_searchLibrary->NSFLocateSummaryValue(summary, "$path", &value, &length, &type) && type == TYPE_TEXT)
        paths->back().assign(static_cast<const char*>(value), length);
    return 0;
}

struct DirectorySearchCase {
    const char* label;
    const char* folder;  // as opened, a server's path by "server!!folder"
    WORD kinds;
    std::vector<std::string> paths;  // in name order
};

class NnotesDirectorySearch : public NnotesDatabase,
                              public ::testing::WithParamInterface<DirectorySearchCase> {};

TEST_P(NnotesDirectorySearch, FindsEachDatabaseWithItsPath) {
    for (const char* file : {"servers\\Tokyo01\\apps\\a.nsf", "servers\\Tokyo01\\apps\\b.ns5",
                             "servers\\Tokyo01\\apps\\sub\\c.nsf", "local\\d.nsf"})
        WriteDatabase(file, NewDatabase(file));
    WriteFileBytes(data.File("servers\\Tokyo01\\apps\\notes.txt"), "not a database");
    DBHANDLE h = Open(GetParam().folder);
    ASSERT_NE(0u, h);
    std::vector<std::string> paths;
    g_searchLibrary = &lib;
    EXPECT_EQ(0, lib.NSFSearch(h, 0, nullptr, SEARCH_FILETYPE | SEARCH_SUMMARY, GetParam().kinds, nullptr,
                               CollectPath, &paths, nullptr));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(GetParam().paths, paths);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesDirectorySearch,
                         ::testing::Values(
                             DirectorySearchCase{
                                 "ServerFolder", "Tokyo01!!apps", FILE_DBANY, {"apps\\a.nsf", "apps\\b.ns5"}},
                             DirectorySearchCase{"ServerFolderAndBelow",
                                                 "Tokyo01!!apps",
                                                 FILE_DBANY | FILE_RECURSE,
                                                 {"apps\\a.nsf", "apps\\b.ns5", "apps\\sub\\c.nsf"}},
                             DirectorySearchCase{"DataFolder", "local", FILE_DBANY, {"local\\d.nsf"}}),
                         CaseLabel());

// A folder the library refuses to open or to search answers with the refusal's status.
TEST_F(NnotesDatabase, RefusedDirectoryGivesItsStatus) {
    WriteDatabase("servers\\Tokyo01\\locked\\a.nsf", NewDatabase("a"));
    WriteDatabase("servers\\Tokyo01\\hidden\\b.nsf", NewDatabase("b"));
    WriteFileBytes(data.File("servers\\Tokyo01\\locked\\folder.faults"), "NSFSearch=582\n");
    WriteFileBytes(data.File("servers\\Tokyo01\\hidden\\folder.faults"), "NSFDbOpen=582\n");
    DBHANDLE h = 0;
    EXPECT_EQ(nnotes::kErrNotAuthorized, lib.NSFDbOpen("Tokyo01!!hidden", &h));
    EXPECT_EQ(0u, h);
    h = Open("Tokyo01!!locked");
    std::vector<std::string> paths;
    g_searchLibrary = &lib;
    EXPECT_EQ(nnotes::kErrNotAuthorized, lib.NSFSearch(h, 0, nullptr, SEARCH_FILETYPE | SEARCH_SUMMARY,
                                                       FILE_DBANY, nullptr, CollectPath, &paths, nullptr));
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(0, lib.NSFDbClose(h));
    WriteDatabase("servers\\Tokyo01\\plain\\c.nsf", NewDatabase("c"));
    h = Open("Tokyo01!!plain");
    EXPECT_EQ(nnotes::kErrUnsupported, lib.NSFSearch(h, 0, nullptr, SEARCH_SUMMARY, NOTE_CLASS_DOCUMENT,
                                                     nullptr, CollectPath, &paths, nullptr))
        << "a directory is searched for files only";
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

struct OpenFailure {
    const char* name;
    const char* path;
    STATUS expected;
};

class NnotesOpenFailure : public NnotesDatabase, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(NnotesOpenFailure, GivesItsStatusAndText) {
    WriteFileBytes(data.File("readme.txt"), "just text\r\n");
    WriteFileBytes(data.File("broken.nsf"),
                   "{\"format\": \"quillsheet-notes-database\", \"version\": 1, "
                   "\"documents\": [{\"items\": [{\"name\": \"A\", \"type\": \"nope\"}]}]}");
    WriteFileBytes(data.File("other.json"), "{\"format\": \"something else\"}");
    CreateDirectoryA(data.File("servers").c_str(), nullptr);
    CreateDirectoryA(data.File("servers\\Known").c_str(), nullptr);
    DBHANDLE h = 0xABCD;
    EXPECT_EQ(GetParam().expected, lib.NSFDbOpen(GetParam().path, &h));
    EXPECT_EQ(0u, h);
    EXPECT_FALSE(lib.StatusText(GetParam().expected).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesOpenFailure,
    ::testing::Values(OpenFailure{"MissingFile", "nothere.nsf", nnotes::kErrNoExist},
                      OpenFailure{"MissingOnKnownServer", "Known!!nothere.nsf", nnotes::kErrNoExist},
                      OpenFailure{"UnknownServer", "Nowhere!!sales.nsf", nnotes::kErrServerNotFound},
                      OpenFailure{"NotADatabase", "readme.txt", nnotes::kErrNotDatabase},
                      OpenFailure{"OtherJson", "other.json", nnotes::kErrNotDatabase},
                      OpenFailure{"Damaged", "broken.nsf", nnotes::kErrDamaged}),
    [](const ::testing::TestParamInfo<OpenFailure>& info) { return std::string(info.param.name); });

TEST_F(NnotesDatabase, OpenFailureStatusesAndTextsAreDistinct) {
    const STATUS statuses[] = {nnotes::kErrNoExist, nnotes::kErrServerNotFound, nnotes::kErrNotDatabase,
                               nnotes::kErrDamaged, 540};
    for (STATUS a : statuses) {
        for (STATUS b : statuses) {
            if (a != b) {
                EXPECT_NE(lib.StatusText(a), lib.StatusText(b)) << a << " " << b;
            }
        }
    }
}

TEST_F(NnotesDatabase, DesignCollectionListsEveryDesignNoteInOrder) {
    DBHANDLE h = Open("sales.nsf");
    auto entries = ReadDesign(h);
    ASSERT_EQ(7u, entries.size());
    // The default form's class carries the default bit.
    const WORD classes[] = {
        NOTE_CLASS_FORM, NOTE_CLASS_VIEW, NOTE_CLASS_FORM, NOTE_CLASS_FORM | NOTE_CLASS_DEFAULT,
        NOTE_CLASS_FORM, NOTE_CLASS_FORM, 0x0200};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(classes[i], entries[i].first) << i;
        WORD length;
        memcpy(&length, entries[i].second.data(), 2);
        EXPECT_EQ(entries[i].second.size(), length);
    }
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

struct TitleCase {
    const char* label;
    size_t entry;
    bool found;
    WORD type;
    std::string text;  // UTF-8; for a text list its first entry
};

class NnotesSummaryTitle : public NnotesDatabase, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(NnotesSummaryTitle, LocatesTitleByTypeAsStored) {
    DBHANDLE h = Open("sales.nsf");
    auto entries = ReadDesign(h);
    ASSERT_GT(entries.size(), GetParam().entry);
    std::string summary = entries[GetParam().entry].second;
    void* value = nullptr;
    WORD length = 0, type = 0;
    BOOL found = lib.NSFLocateSummaryValue(&summary[0], "$TITLE", &value, &length, &type);
    EXPECT_EQ(GetParam().found, found != FALSE);
    if (found) {
        EXPECT_EQ(GetParam().type, type);
        const char* begin = static_cast<const char*>(value);
        ASSERT_GE(begin, summary.data());
        ASSERT_LE(begin + length, summary.data() + summary.size());
        if (type == TYPE_TEXT) {
            EXPECT_EQ(JapaneseLmbcs(GetParam().text), std::string(begin, length));
        } else if (type == TYPE_TEXT_LIST) {
            char* text = nullptr;
            WORD textLength = 0;
            EXPECT_EQ(0, lib.ListGetText(value, FALSE, 0, &text, &textLength));
            EXPECT_EQ(GetParam().text, std::string(text, textLength));
            EXPECT_EQ(0, lib.ListGetText(value, FALSE, 1, &text, &textLength));
            EXPECT_EQ("Second", std::string(text, textLength));
            EXPECT_NE(0, lib.ListGetText(value, FALSE, 2, &text, &textLength));
        }
    }
    // Item names are found without regard to case.
    EXPECT_EQ(found, lib.NSFLocateSummaryValue(&summary[0], "$title", &value, &length, &type));
    EXPECT_FALSE(lib.NSFLocateSummaryValue(&summary[0], "$TITLES", &value, &length, &type));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesSummaryTitle,
                         ::testing::Values(TitleCase{"JapaneseText", 0, true, TYPE_TEXT, u8"顧客"},
                                           TitleCase{"ViewTitle", 1, true, TYPE_TEXT, "All"},
                                           TitleCase{"TitleWithAlias", 2, true, TYPE_TEXT, "Order|ord"},
                                           TitleCase{"TextList", 3, true, TYPE_TEXT_LIST, "First"},
                                           TitleCase{"NoTitle", 4, false, 0, ""},
                                           TitleCase{"NumberTitle", 5, true, TYPE_NUMBER, ""}),
                         CaseLabel());

TEST_F(NnotesDatabase, ReadEntriesHonoursPositionAndCount) {
    DBHANDLE h = Open("sales.nsf");
    HCOLLECTION coll = 0;
    ASSERT_EQ(0, lib.NIFOpenCollection(h, h, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0, &coll,
                                       nullptr, nullptr, nullptr, nullptr));
    COLLECTIONPOSITION pos{};
    pos.Tumbler[0] = 3;
    DHANDLE buffer = 0;
    notes::DWORD count = 0;
    WORD signal = 0;
    ASSERT_EQ(0, lib.NIFReadEntries(coll, &pos, 0, 0, NAVIGATE_NEXT, 2, READ_MASK_NOTECLASS, &buffer, nullptr,
                                    nullptr, &count, &signal));
    EXPECT_EQ(2u, count);
    EXPECT_NE(0, signal) << "more entries remain";
    const WORD* classes = static_cast<const WORD*>(lib.OSLockObject(buffer));
    ASSERT_NE(nullptr, classes);
    EXPECT_EQ(NOTE_CLASS_FORM, classes[0]);  // the third and fourth entries, the default form
    EXPECT_EQ(NOTE_CLASS_FORM | NOTE_CLASS_DEFAULT, classes[1]);
    lib.OSUnlockObject(buffer);
    EXPECT_EQ(0, lib.OSMemFree(buffer));
    EXPECT_NE(0, lib.OSMemFree(buffer)) << "a freed buffer is unknown";
    EXPECT_EQ(nullptr, lib.OSLockObject(buffer));
    EXPECT_EQ(0, lib.NIFCloseCollection(coll));
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.NIFCloseCollection(coll));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, OnlyTheDesignCollectionOpens) {
    DBHANDLE h = Open("sales.nsf");
    HCOLLECTION coll = 0xFF;
    EXPECT_EQ(nnotes::kErrCollectionNotFound, lib.NIFOpenCollection(h, h, 0x904, OPEN_DO_NOT_CREATE, 0, &coll,
                                                                    nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, coll);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// A collection handle is a WORD: the runtime writes two bytes, hands out 1 to 65535, refuses
// a collection more while all are open, and gives a closed one's handle out again.
TEST_F(NnotesDatabase, CollectionHandlesAreWordsAndAllSixtyFiveThousandFiveHundredThirtyFiveOpen) {
    DBHANDLE h = Open("sales.nsf");
    struct Guarded {
        HCOLLECTION handle;
        WORD guard;
    };
    std::vector<bool> open(0x10000, false);
    size_t opened = 0;
    STATUS refused = 0;
    for (size_t attempt = 0; attempt <= 0x10000; ++attempt) {
        Guarded g{0xFFFF, 0xBEEF};
        const STATUS s = lib.NIFOpenCollection(h, h, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0,
                                               &g.handle, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(0xBEEF, g.guard) << "written past the WORD";
        if (s != 0) {
            refused = s;
            EXPECT_EQ(0, g.handle);
            break;
        }
        ASSERT_NE(0, g.handle);
        ASSERT_FALSE(open[g.handle]) << "handle " << g.handle << " given twice";
        open[g.handle] = true;
        ++opened;
    }
    EXPECT_EQ(0xFFFFu, opened);
    EXPECT_EQ(nnotes::kErrNoMoreHandles, refused);
    EXPECT_FALSE(lib.StatusText(refused).empty());
    // A closed handle is given out again, and works.
    constexpr HCOLLECTION kReused = 0x1234;
    ASSERT_EQ(0, lib.NIFCloseCollection(kReused));
    HCOLLECTION again = 0;
    ASSERT_EQ(0, lib.NIFOpenCollection(h, h, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0, &again,
                                       nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(kReused, again);
    COLLECTIONPOSITION pos{};
    DHANDLE buffer = 0;
    notes::DWORD count = 0;
    EXPECT_EQ(0, lib.NIFReadEntries(again, &pos, 0, 0, NAVIGATE_NEXT, 1, READ_MASK_NOTECLASS, &buffer,
                                    nullptr, nullptr, &count, nullptr));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(0, lib.OSMemFree(buffer));
    for (size_t c = 1; c < open.size(); ++c) {
        if (open[c]) {
            EXPECT_EQ(0, lib.NIFCloseCollection(static_cast<HCOLLECTION>(c))) << c;
        }
    }
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

struct FindCase {
    const char* label;
    const char* name;  // UTF-8
    WORD noteClass;
    bool found;
    size_t designIndex;  // which design note is found
};

// The items of each design note of Design() that NIFFindDesignNote can find.
const std::map<size_t, size_t> kDesignItemCounts = {{0, 4}, {2, 1}, {3, 0}};

class NnotesFindDesign : public NnotesDatabase, public ::testing::WithParamInterface<FindCase> {};

TEST_P(NnotesFindDesign, FindsByTitleOrAlias) {
    DBHANDLE h = Open("sales.nsf");
    auto entries = ReadDesign(h);
    NOTEID id = 0;
    STATUS s = lib.NIFFindDesignNote(h, JapaneseLmbcs(GetParam().name).c_str(), GetParam().noteClass, &id);
    if (!GetParam().found) {
        EXPECT_EQ(ERR_NOT_FOUND, s);
        EXPECT_FALSE(lib.StatusText(s).empty());
    } else {
        ASSERT_EQ(0, s);
        // The found note is the design note at that place of the collection: its items match.
        NOTEHANDLE note = 0;
        ASSERT_EQ(0, lib.NSFNoteOpen(h, id, 0, &note));
        auto items = ScanItems(note);
        EXPECT_EQ(kDesignItemCounts.at(GetParam().designIndex), items.size());
        EXPECT_EQ(0, lib.NSFNoteClose(note));
    }
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesFindDesign,
    ::testing::Values(FindCase{"JapaneseTitle", u8"顧客", NOTE_CLASS_FORM, true, 0},
                      FindCase{"WholeTitle", "Order|ord", NOTE_CLASS_FORM, true, 2},
                      FindCase{"TitleBeforeBar", "Order", NOTE_CLASS_FORM, true, 2},
                      FindCase{"Alias", "ord", NOTE_CLASS_FORM, true, 2},
                      FindCase{"OtherCase", "ORDER", NOTE_CLASS_FORM, true, 2},
                      FindCase{"AliasWithBar", "Ord|", NOTE_CLASS_FORM, false, 0},
                      // Notes knows a list title by each entry, never by their join.
                      FindCase{"ListEntriesJoined", "First|Second", NOTE_CLASS_FORM, false, 0},
                      FindCase{"FirstListEntry", "First", NOTE_CLASS_FORM, true, 3},
                      FindCase{"SecondListEntryOtherCase", "SECOND", NOTE_CLASS_FORM, true, 3},
                      FindCase{"ListEntriesInOtherOrder", "Second|First", NOTE_CLASS_FORM, false, 0},
                      FindCase{"ViewTitle", "All", NOTE_CLASS_FORM, false, 0},
                      FindCase{"NotAvailableText", "not available", NOTE_CLASS_FORM, false, 0},
                      FindCase{"UnknownTypeText", "unknown data type", NOTE_CLASS_FORM, false, 0},
                      FindCase{"Empty", "", NOTE_CLASS_FORM, false, 0}),
    CaseLabel());

TEST_F(NnotesDatabase, FormItemsScanInStoredOrderWithTheirTypes) {
    DBHANDLE h = Open("sales.nsf");
    NOTEID id = 0;
    ASSERT_EQ(0, lib.NIFFindDesignNote(h, JapaneseLmbcs(u8"顧客").c_str(), NOTE_CLASS_FORM, &id));
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, id, 0, &note));
    auto items = ScanItems(note);
    const std::vector<std::pair<std::string, WORD>> expected = {{JapaneseLmbcs(u8"会社名"), TYPE_TEXT},
                                                                {"Amount", TYPE_NUMBER},
                                                                {"Due", TYPE_TIME},
                                                                {"Tags", TYPE_TEXT_LIST}};
    EXPECT_EQ(expected, items);
    STATUS s = 0;
    items = ScanItems(note, &s, 2);
    EXPECT_EQ(0x1234, s) << "the routine's status ends the scan and is returned";
    EXPECT_EQ(2u, items.size());
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, FormWithoutFieldsScansNothing) {
    DBHANDLE h = Open("sales.nsf");
    NOTEID id = 0;
    ASSERT_EQ(0, lib.NIFFindDesignNote(h, "Second", NOTE_CLASS_FORM, &id));
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, id, 0, &note));
    STATUS s = 1;
    EXPECT_TRUE(ScanItems(note, &s).empty());
    EXPECT_EQ(0, s);
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, GenuineFormHoldsTitleInfoAndBodyRecordsItemByItem) {
    json db = NewDatabase("genuine");
    db["design"] = json::array({GenuineForm()});
    WriteDatabase("genuine.nsf", db);
    DBHANDLE h = Open("genuine.nsf");
    const std::vector<ScannedItem> expected = {
        {"$TITLE", 0x0004, W(TYPE_TEXT) + "Order|ord"},
        {"$Info", 0, W(TYPE_COMPOSITE) + GenuineInfo()},
        {"$Body", 0, W(TYPE_COMPOSITE) + GenuineBody()},
    };
    EXPECT_EQ(expected, FormItems(h, "ord")) << "found by its alias like any form";
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, DesignFlagsAreASummaryItemAndAnItemAfterTheTitle) {
    json subform = GenuineForm();
    subform["flags"] = "U";
    json db = NewDatabase("flags");
    db["design"] = json::array({subform});
    WriteDatabase("flags.nsf", db);
    DBHANDLE h = Open("flags.nsf");
    std::string summary = ReadDesign(h).at(0).second;
    void* value = nullptr;
    WORD length = 0, type = 0;
    ASSERT_TRUE(lib.NSFLocateSummaryValue(&summary[0], "$Flags", &value, &length, &type));
    EXPECT_EQ("U", std::string(static_cast<const char*>(value), length));
    const auto items = FormItems(h, "ord");
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ((ScannedItem{"$Flags", 0x0004, W(TYPE_TEXT) + "U"}), items[1]);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, LargeGenuineFormSplitsBodyBetweenFieldsAndKeepsListedItemsAfter) {
    json form = GenuineForm();
    form["body"].push_back(json{{"name", "Due"}, {"type", "time"}, {"label", ""}});
    // Room for the records of one field only: each field starts an item of its own.
    form["bodyItemSize"] = 60;
    form["fields"] = json::array({Field("$Fields", "textlist")});
    json db = NewDatabase("split");
    db["design"] = json::array({form});
    WriteDatabase("split.nsf", db);
    DBHANDLE h = Open("split.nsf");
    const auto items = FormItems(h, "Order");
    ASSERT_EQ(6u, items.size());
    const std::vector<std::string> names = {"$TITLE", "$Info", "$Body", "$Body", "$Body", "$Fields"};
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(names[i], items[i].name) << i;
    const std::string dueRecords = "\x81\x02" + W(0xFF85) + W(8) + D(0) + W(0xFF8A) + W(39) + W(0x0002) +
                                   W(TYPE_TIME) + W(0) + std::string(12, '\0') + W(0) + W(0) + W(3) + W(0) +
                                   W(3) + W(0) + W(0) + "Due" + std::string(1, '\0');
    EXPECT_EQ(W(TYPE_COMPOSITE) + GenuineBody().substr(0, 56), items[2].value);
    EXPECT_EQ(W(TYPE_COMPOSITE) + GenuineBody().substr(56), items[3].value);
    EXPECT_EQ(W(TYPE_COMPOSITE) + dueRecords, items[4].value);
    EXPECT_EQ(W(TYPE_TEXT_LIST) + W(0), items[5].value);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, GenuineFormReadsTheSameFromTheIndexedForm) {
    json head = NewDatabase("genuine");
    head["design"] = json::array({GenuineForm()});
    std::string error;
    ASSERT_TRUE(Pack(head, {}, "genuine-indexed.nsf", &error)) << error;
    WriteDatabase("genuine.nsf", head);
    DBHANDLE plain = Open("genuine.nsf");
    DBHANDLE indexed = Open("genuine-indexed.nsf");
    const auto items = FormItems(indexed, "Order");
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(W(TYPE_COMPOSITE) + GenuineBody(), items[2].value);
    EXPECT_EQ(FormItems(plain, "Order"), items);
    EXPECT_EQ(0, lib.NSFDbClose(plain));
    EXPECT_EQ(0, lib.NSFDbClose(indexed));
}

// Every document's identity as the note header gives it (NSFNoteGetInfo) and a response's
// $REF, from the JSON form and from the indexed form the packer writes.
std::string Hex8(notes::DWORD v) {
    char text[12];
    snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(v));
    return text;
}
std::string Shown(const TIMEDATE& td) { return Hex8(td.Innards[1]) + Hex8(td.Innards[0]); }
std::string HexBytes(const std::string& bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        snprintf(b, sizeof b, "%02X", c);
        out += b;
    }
    return out;
}

json IdentityDocuments() {
    return json::array({
        {{"id", 0x1000}, {"modified", "2024-03-05T14:07:09"}, {"items", json::array()}},
        {{"id", 0x1004}, {"created", "2019-04-01T09:30:15"}, {"parent", 0x1000}, {"items", json::array()}},
        {{"id", 0x1008},
         {"unid", "c1257a8b0031e6f249257A8B0031E6F2"},
         {"parent", 0x1004},
         {"items", {Item("Form", "text", "Reply")}}},
        {{"id", 0x100C}, {"items", json::array()}},
    });
}

// "id unid sequence sequence-time modified class | $REF bytes after the type word".
std::vector<std::string> ObserveIdentities(NnotesFixture& f, const char* path) {
    std::vector<std::string> seen;
    DBHANDLE h = f.Open(path);
    for (NOTEID id : {0x1000u, 0x1004u, 0x1008u, 0x100Cu}) {
        NOTEHANDLE note = 0;
        EXPECT_EQ(0, f.lib.NSFNoteOpen(h, id, OPEN_NOVERIFYDEFAULT, &note));
        NOTEID noteId = 0;
        ORIGINATORID oid{};
        TIMEDATE modified{};
        WORD noteClass = 0;
        f.lib.NSFNoteGetInfo(note, NOTE_MEMBER_ID, &noteId);
        f.lib.NSFNoteGetInfo(note, NOTE_MEMBER_OID, &oid);
        f.lib.NSFNoteGetInfo(note, NOTE_MEMBER_MODIFIED, &modified);
        f.lib.NSFNoteGetInfo(note, 3, &noteClass);  // _NOTE_CLASS
        std::string line = Hex8(noteId) + " " + Shown(oid.File) + Shown(oid.Note) + " " +
                           std::to_string(oid.Sequence) + " " + Shown(oid.SequenceTime) + " " +
                           Shown(modified) + " " + std::to_string(noteClass);
        BLOCKID item{}, value{};
        WORD type = 0;
        notes::DWORD length = 0;
        if (f.lib.NSFItemInfo(note, FIELD_LINK, 4, &item, &type, &value, &length) == 0) {
            const char* pool = static_cast<const char*>(f.lib.OSLockObject(value.pool));
            line += " | " + std::to_string(type) + " " +
                    HexBytes(std::string(pool + value.block + 2, length - 2));
            f.lib.OSUnlockObject(value.pool);
        }
        EXPECT_EQ(0, f.lib.NSFNoteClose(note));
        seen.push_back(line);
    }
    EXPECT_EQ(0, f.lib.NSFDbClose(h));
    return seen;
}

TEST_F(NnotesDatabase, EveryDocumentHasAUnidTimesAndAResponseTheReferenceToItsParent) {
    json db = NewDatabase("identity");
    json head = db;
    db["documents"] = IdentityDocuments();
    WriteDatabase("identity.nsf", db);
    std::string error;
    ASSERT_TRUE(Pack(head, db["documents"].get<std::vector<json>>(), "identity-indexed.nsf", &error))
        << error;
    // UNIDs as Notes shows them; a document without one gets File = "QSIN" and its id, Note =
    // its creation, by default its modification, by default 2000-01-01 00:00 in Japan.
    const std::string march = "49258AD7001C1ED4", april = "492583CF0002C4FC", y2k = "49256858005265C0";
    const std::string first = "5153494E00001000" + march, second = "5153494E00001004" + april,
                      third = "C1257A8B0031E6F249257A8B0031E6F2";
    // $REF: one entry, then the UNID as it lies in memory (each DWORD low byte first).
    const std::string refFirst =
        "0100"
        "00100000"
        "4E495351"
        "D41E1C00"
        "D78A2549";
    const std::string refSecond =
        "0100"
        "04100000"
        "4E495351"
        "FCC40200"
        "CF832549";
    const std::vector<std::string> expected = {
        "00001000 " + first + " 1 " + march + " " + march + " 1",
        "00001004 " + second + " 1 " + y2k + " " + y2k + " 1 | 4 " + refFirst,
        "00001008 " + third + " 1 " + y2k + " " + y2k + " 1 | 4 " + refSecond,
        "0000100C 5153494E0000100C" + y2k + " 1 " + y2k + " " + y2k + " 1",
    };
    EXPECT_EQ(expected, ObserveIdentities(*this, "identity.nsf"));
    EXPECT_EQ(expected, ObserveIdentities(*this, "identity-indexed.nsf"));
}

TEST_F(NnotesDatabase, NoteInfoOfAnUnknownMemberOrHandleLeavesTheVariable) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x90C, OPEN_NOVERIFYDEFAULT, &note));
    notes::DWORD untouched = 0x5A5A5A5A;
    lib.NSFNoteGetInfo(note, 8, &untouched);  // _NOTE_ACCESSED, which the runtime does not keep
    EXPECT_EQ(0x5A5A5A5Au, untouched);
    lib.NSFNoteGetInfo(0xFFF0, NOTE_MEMBER_ID, &untouched);
    EXPECT_EQ(0x5A5A5A5Au, untouched);
    lib.NSFNoteGetInfo(note, NOTE_MEMBER_ID, nullptr);
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, PackerRefusesAResponseBeforeItsParent) {
    json head = NewDatabase("order");
    json documents = IdentityDocuments();
    std::string error;
    EXPECT_FALSE(Pack(head, {documents[1], documents[0]}, "order.nsf", &error));
    EXPECT_NE(std::string::npos, error.find("parent")) << error;
}

struct BrokenIdentityCase {
    const char* name;
    json keys;  // added to the second of IdentityDocuments
};

class NnotesBrokenIdentity : public NnotesDatabase,
                             public ::testing::WithParamInterface<BrokenIdentityCase> {};

TEST_P(NnotesBrokenIdentity, MakesTheFileDamaged) {
    json db = NewDatabase("broken");
    db["design"] = json::array({GenuineForm()});
    db["documents"] = IdentityDocuments();
    db["documents"][1].erase("created");
    for (auto it = GetParam().keys.begin(); it != GetParam().keys.end(); ++it)
        db["documents"][1][it.key()] = *it;
    WriteDatabase("broken.nsf", db);
    DBHANDLE h = 0;
    EXPECT_EQ(nnotes::kErrDamaged, lib.NSFDbOpen("broken.nsf", &h));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesBrokenIdentity,
    ::testing::Values(BrokenIdentityCase{"UnidOfThirtyOneDigits", {{"unid", std::string(31, 'A')}}},
                      BrokenIdentityCase{"UnidNotHex", {{"unid", std::string(31, 'A') + "G"}}},
                      BrokenIdentityCase{"UnidNotText", {{"unid", 5}}},
                      BrokenIdentityCase{
                          "UnidAndCreated",
                          {{"unid", std::string(32, 'A')}, {"created", "2019-04-01T09:30:15"}}},
                      BrokenIdentityCase{"CreatedNotATime", {{"created", "yesterday"}}},
                      BrokenIdentityCase{"ParentNotAnId", {{"parent", "0x1000"}}},
                      BrokenIdentityCase{"ParentMissing", {{"parent", 0x2000}}},
                      BrokenIdentityCase{"ParentItself", {{"parent", 0x1004}}},
                      BrokenIdentityCase{"ParentADesignNote", {{"parent", 4}}}),
    [](const ::testing::TestParamInfo<BrokenIdentityCase>& info) { return std::string(info.param.name); });

struct BrokenBodyCase {
    const char* name;
    json body;
};

class NnotesBrokenBody : public NnotesDatabase, public ::testing::WithParamInterface<BrokenBodyCase> {};

TEST_P(NnotesBrokenBody, MakesTheFileDamaged) {
    json form = GenuineForm();
    form["body"] = GetParam().body;
    json db = NewDatabase("broken");
    db["design"] = json::array({form});
    WriteDatabase("broken.nsf", db);
    DBHANDLE h = 0;
    EXPECT_EQ(nnotes::kErrDamaged, lib.NSFDbOpen("broken.nsf", &h));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesBrokenBody,
    ::testing::Values(BrokenBodyCase{"NotAnArray", json("Name")},
                      BrokenBodyCase{"FieldWithoutType", json::array({json{{"name", "A"}}})},
                      BrokenBodyCase{"EmptyName", json::array({json{{"name", ""}, {"type", "text"}}})},
                      BrokenBodyCase{"UnknownTypeName",
                                     json::array({json{{"name", "A"}, {"type", "textlist"}}})},
                      BrokenBodyCase{"TypeOutOfRange", json::array({json{{"name", "A"}, {"type", 65536}}})}),
    [](const ::testing::TestParamInfo<BrokenBodyCase>& info) { return std::string(info.param.name); });

TEST_F(NnotesDatabase, NoMatchingNoteGivesNoModifiedNotesAndNoTable) {
    json db = NewDatabase("empty");
    db["design"] = json::array({GenuineForm()});
    db["documents"] = json::array();
    WriteDatabase("empty.nsf", db);
    TIMEDATE since, until{};
    lib.TimeConstant(TIMEDATE_MINIMUM, &since);
    for (const char* path : {"empty.nsf", "sales.nsf"}) {
        DBHANDLE h = Open(path);
        DHANDLE table = 0x5A5A;
        // sales.nsf has documents and design notes, but no icon note (class 0x0010).
        const WORD mask = std::string(path) == "empty.nsf" ? NOTE_CLASS_DOCUMENT : WORD{0x0010};
        EXPECT_EQ(ERR_NO_MODIFIED_NOTES, lib.NSFDbGetModifiedNoteTable(h, mask, since, &until, &table))
            << path;
        EXPECT_EQ(0u, table) << "no table to destroy";
        EXPECT_NE(0u, until.Innards[1]) << "the until time is given all the same";
        EXPECT_EQ(0, lib.NSFDbClose(h));
    }
    EXPECT_NE("", lib.StatusText(ERR_NO_MODIFIED_NOTES));
}

TEST_F(NnotesDatabase, ModifiedNoteTableHoldsDocumentsOnlyInIdOrder) {
    DBHANDLE h = Open("sales.nsf");
    TIMEDATE since, until{};
    lib.TimeConstant(TIMEDATE_MINIMUM, &since);
    DHANDLE table = 0;
    ASSERT_EQ(0, lib.NSFDbGetModifiedNoteTable(h, NOTE_CLASS_DOCUMENT, since, &until, &table));
    EXPECT_EQ(4u, lib.IDEntries(table));
    std::vector<NOTEID> ids;
    NOTEID id = 0;
    for (BOOL more = lib.IDScan(table, TRUE, &id); more; more = lib.IDScan(table, FALSE, &id))
        ids.push_back(id);
    EXPECT_EQ((std::vector<NOTEID>{0x904, 0x908, 0x90C, 0x910}), ids);
    // Scanning from the first again gives the first again.
    EXPECT_TRUE(lib.IDScan(table, TRUE, &id));
    EXPECT_EQ(0x904u, id);
    EXPECT_EQ(0, lib.IDDestroyTable(table));
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.IDDestroyTable(table));
    EXPECT_EQ(0u, lib.IDEntries(table));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, NoteTableOfIrregularIdsScansEachIdOnceInOrder) {
    // Runs of ids 4 apart, single ids, and the highest id there is.
    const std::vector<NOTEID> ids = {0x904, 0x908, 0x90C, 0x914, 0x1000, 0x1004, 0x2002, 0x2006, 0xFFFFFFFC};
    DBHANDLE h = 0;
    const DHANDLE table = DocumentTableOf(ids, true, &h);
    ASSERT_NE(0u, table);
    EXPECT_EQ(ids.size(), lib.IDEntries(table));
    std::vector<NOTEID> scanned;
    NOTEID id = 0;
    for (BOOL more = lib.IDScan(table, TRUE, &id); more; more = lib.IDScan(table, FALSE, &id))
        scanned.push_back(id);
    EXPECT_EQ(ids, scanned);
    EXPECT_FALSE(lib.IDScan(table, FALSE, &id)) << "the scan stays at its end";
    EXPECT_EQ(0, lib.IDDestroyTable(table));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// IDScan keeps no place of its own: with fFirst FALSE it gives the table's first id above the
// id handed back in *retID, so a caller that hands back another id than the last one gets
// another sequence.
TEST_F(NnotesDatabase, NextIdFollowsTheIdHandedBackInRetId) {
    const std::vector<NOTEID> ids = {0x904, 0x908, 0x90C, 0x914, 0x1000, 0x1004, 0x2002, 0x2006, 0xFFFFFFFC};
    DBHANDLE h = 0;
    const DHANDLE table = DocumentTableOf(ids, false, &h);
    ASSERT_NE(0u, table);
    struct NextCase {
        NOTEID handedBack;
        BOOL found;
        NOTEID next;  // *retID afterwards: unchanged when nothing was found
    };
    const NextCase cases[] = {
        {0, TRUE, 0x904},
        {0x903, TRUE, 0x904},
        {0x904, TRUE, 0x908},
        {0x90C, TRUE, 0x914},
        {0x90D, TRUE, 0x914},
        {0x910, TRUE, 0x914},
        {0x914, TRUE, 0x1000},
        {0x1004, TRUE, 0x2002},
        {0x2003, TRUE, 0x2006},
        {0x2006, TRUE, 0xFFFFFFFC},
        {0xFFFFFFFC, FALSE, 0xFFFFFFFC},
        {0xFFFFFFFF, FALSE, 0xFFFFFFFF},
    };
    // Out of order on purpose: a cursor of the table's own would answer by the calls made.
    for (const NextCase& c : cases) {
        NOTEID id = c.handedBack;
        EXPECT_EQ(c.found, lib.IDScan(table, FALSE, &id)) << std::hex << c.handedBack;
        EXPECT_EQ(c.next, id) << std::hex << c.handedBack;
    }
    NOTEID id = 0x2002;
    EXPECT_TRUE(lib.IDScan(table, TRUE, &id)) << "fFirst ignores the id handed in";
    EXPECT_EQ(0x904u, id);
    id = 0x1000;
    EXPECT_TRUE(lib.IDScan(table, FALSE, &id));
    EXPECT_EQ(0x1004u, id) << "after the first, the next of the id handed back, not of the first";
    EXPECT_EQ(0, lib.IDDestroyTable(table));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// Everything the program reads of a database, through the library's operations.
struct Observed {
    std::string title;
    std::vector<std::pair<WORD, std::string>> design;
    std::vector<NOTEID> table;
    std::vector<std::string> notes;  // per note: open status, flags, items and their texts
};

TEST_F(NnotesDatabase, IndexedFormReadsExactlyAsItsJsonForm) {
    json db = NewDatabase(u8"営業 database");
    db["design"] = Design();
    json head = db;
    db["documents"] = Documents();
    std::string error;
    ASSERT_TRUE(Pack(head, db["documents"].get<std::vector<json>>(), "indexed.nsf", &error)) << error;
    auto observe = [&](const char* path) {
        Observed o;
        DBHANDLE h = Open(path);
        o.title = Title(h);
        o.design = ReadDesign(h);
        TIMEDATE since, until{};
        lib.TimeConstant(TIMEDATE_MINIMUM, &since);
        DHANDLE table = 0;
        EXPECT_EQ(0, lib.NSFDbGetModifiedNoteTable(h, NOTE_CLASS_DOCUMENT, since, &until, &table));
        NOTEID id = 0;
        for (BOOL more = lib.IDScan(table, TRUE, &id); more; more = lib.IDScan(table, FALSE, &id)) {
            o.table.push_back(id);
            NOTEHANDLE note = 0;
            std::string seen = "open " + std::to_string(lib.NSFNoteOpen(h, id, OPEN_NOVERIFYDEFAULT, &note));
            if (note != 0) {
                BOOL isSigned = FALSE, isSealed = FALSE;
                lib.NSFNoteIsSignedOrSealed(note, &isSigned, &isSealed);
                seen += " signed " + std::to_string(isSigned) + " sealed " + std::to_string(isSealed);
                ENCRYPTION_KEY key{};
                if (isSealed) seen += " decrypt " + std::to_string(lib.NSFNoteDecrypt(note, 0, &key));
                STATUS scan = 0;
                for (const auto& item : ScanItems(note, &scan)) {
                    seen += " | " + item.first + " " + std::to_string(item.second) + " " +
                            ItemText(note, item.first);
                }
                // Each attachment: its FILEOBJECT, and what extracting it gives.
                BLOCKID item{}, value{};
                notes::DWORD length = 0;
                for (STATUS s = lib.NSFItemInfo(note, "$FILE", 5, &item, nullptr, &value, &length); s == 0;
                     s = lib.NSFItemInfoNext(note, item, "$FILE", 5, &item, nullptr, &value, &length)) {
                    const char* pool = static_cast<const char*>(lib.OSLockObject(value.pool));
                    seen += " | file " + std::string(pool + value.block, length);
                    lib.OSUnlockObject(value.pool);
                    const std::string path = data.File("observed.bin");
                    DeleteFileA(path.c_str());
                    seen +=
                        " extract " + std::to_string(lib.NSFNoteExtractFile(note, item, path.c_str(), &key));
                    bool exists = false;
                    seen += " " + ReadFileBytes(path, &exists) + (exists ? "" : "<none>");
                }
                seen += " scan " + std::to_string(scan) + " close " + std::to_string(lib.NSFNoteClose(note));
            }
            o.notes.push_back(seen);
        }
        EXPECT_EQ(0, lib.IDDestroyTable(table));
        EXPECT_EQ(0, lib.NSFDbClose(h));
        return o;
    };
    const Observed plain = observe("sales.nsf"), indexed = observe("indexed.nsf");
    EXPECT_EQ(plain.title, indexed.title);
    EXPECT_EQ(plain.design, indexed.design);
    EXPECT_EQ(plain.table, indexed.table);
    ASSERT_EQ(4u, indexed.notes.size());
    EXPECT_EQ(plain.notes, indexed.notes);
    // The attachments travel whole: the binary file's bytes come out of the indexed form.
    EXPECT_NE(std::string::npos, indexed.notes[2].find(" extract 0 " + kBinaryFile)) << indexed.notes[2];
    EXPECT_NE(std::string::npos, indexed.notes[1].find(" extract 0 inner"))
        << "a sealed note's, with its key";
    EXPECT_NE(std::string::npos, indexed.notes[2].find(" extract 609 <none>")) << "a bad signature";
    EXPECT_NE(std::string::npos, indexed.notes[2].find(" extract 612 <none>")) << "a sealed attachment";
    // A character beyond 16 bits travels as its surrogate pair, 𠮷 here.
    EXPECT_NE(std::string::npos, indexed.notes[2].find(std::string("\x14\xd8\x42\x14\xdf\xb7", 6)))
        << indexed.notes[2];
}

TEST_F(NnotesDatabase, SignedNoteSignsAndStaysReadable) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x904, OPEN_NOVERIFYDEFAULT, &note));
    BOOL isSigned = FALSE, isSealed = TRUE;
    EXPECT_TRUE(lib.NSFNoteIsSignedOrSealed(note, &isSigned, &isSealed));
    EXPECT_TRUE(isSigned);
    EXPECT_FALSE(isSealed);
    EXPECT_EQ(0, lib.NSFNoteSign(note));
    EXPECT_EQ("Order", ItemText(note, "Form"));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, SealedNoteReadsOnlyAfterDecrypting) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x908, OPEN_NOVERIFYDEFAULT, &note));
    BOOL isSigned = TRUE, isSealed = FALSE;
    EXPECT_TRUE(lib.NSFNoteIsSignedOrSealed(note, &isSigned, &isSealed));
    EXPECT_FALSE(isSigned);
    EXPECT_TRUE(isSealed);
    EXPECT_EQ("", ItemText(note, "Secret"));
    EXPECT_EQ(0, lib.NSFNoteDecrypt(note, 0, nullptr));
    EXPECT_EQ("hidden", ItemText(note, "Secret"));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, UndecryptableNoteRefusesWithItsStatus) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x910, OPEN_NOVERIFYDEFAULT, &note));
    STATUS s = lib.NSFNoteDecrypt(note, 0, nullptr);
    EXPECT_EQ(nnotes::kErrNoDecryptKey, s);
    EXPECT_FALSE(lib.StatusText(s).empty());
    EXPECT_EQ("", ItemText(note, "Secret"));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesDatabase, PlainNoteIsNeitherSignedNorSealed) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x90C, OPEN_NOVERIFYDEFAULT, &note));
    BOOL isSigned = TRUE, isSealed = TRUE;
    EXPECT_FALSE(lib.NSFNoteIsSignedOrSealed(note, &isSigned, &isSealed));
    EXPECT_FALSE(isSigned);
    EXPECT_FALSE(isSealed);
    EXPECT_EQ(JapaneseLmbcs(u8"株式会社あい"), ItemText(note, JapaneseLmbcs(u8"会社名")));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    NOTEHANDLE none = 0xFF;
    EXPECT_EQ(nnotes::kErrInvalidNoteId, lib.NSFNoteOpen(h, 0x999, 0, &none));
    EXPECT_EQ(0u, none);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// The attachments of a note as NSFItemInfo and NSFItemInfoNext walk them: item BLOCKID, and
// the value after its type word, reached as OSLockBlock reaches it.
struct WalkedFile {
    BLOCKID item;
    BLOCKID value;
    notes::DWORD valueLength;
    std::string object;  // the FILEOBJECT and the name
};

class NnotesAttachment : public NnotesDatabase {
protected:
    std::vector<WalkedFile> Files(NOTEHANDLE note) {
        std::vector<WalkedFile> files;
        BLOCKID item{}, value{};
        WORD type = 0;
        notes::DWORD length = 0;
        const WORD nameLength = sizeof ITEM_NAME_ATTACHMENT - 1;
        for (STATUS s =
                 lib.NSFItemInfo(note, ITEM_NAME_ATTACHMENT, nameLength, &item, &type, &value, &length);
             s == 0; s = lib.NSFItemInfoNext(note, item, ITEM_NAME_ATTACHMENT, nameLength, &item, &type,
                                             &value, &length)) {
            EXPECT_EQ(TYPE_OBJECT, type);
            const char* pool = static_cast<const char*>(lib.OSLockObject(value.pool));
            EXPECT_NE(nullptr, pool);
            if (pool == nullptr) break;
            WORD typeWord = 0;
            memcpy(&typeWord, pool + value.block, sizeof typeWord);
            EXPECT_EQ(TYPE_OBJECT, typeWord) << "the value starts with its type word";
            files.push_back({item, value, length, std::string(pool + value.block + 2, length - 2)});
            EXPECT_TRUE(lib.OSUnlockObject(value.pool));
        }
        return files;
    }

    // The file NSFNoteExtractFile wrote; "<none>" when there is none.
    static std::string Written(const std::string& path) {
        bool exists = false;
        const std::string bytes = ReadFileBytes(path, &exists);
        return exists ? bytes : "<none>";
    }
};

WORD WordOf(const std::string& s, size_t at) {
    return static_cast<WORD>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}
notes::DWORD DwordOf(const std::string& s, size_t at) {
    return WordOf(s, at) | static_cast<notes::DWORD>(WordOf(s, at + 2)) << 16;
}

// The value is canonical, so it reads the same at the same offsets in both widths.
TEST_F(NnotesAttachment, ItemInfoWalksEachFileObjectAndItsName) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x90C, OPEN_NOVERIFYDEFAULT, &note));
    const auto files = Files(note);
    ASSERT_EQ(5u, files.size());
    const std::string name = JapaneseLmbcs(u8"見積書.pdf");
    const std::string& object = files[0].object;
    ASSERT_EQ(fileobject::kSize + name.size(), object.size());
    EXPECT_EQ(2 + fileobject::kSize + name.size(), files[0].valueLength)
        << "the type word, the structure, the name";
    EXPECT_EQ(OBJECT_FILE, WordOf(object, fileobject::kObjectType) & ~OBJECT_TYPE_FLAGS);
    EXPECT_NE(0u, DwordOf(object, fileobject::kRrv));
    EXPECT_EQ(name.size(), WordOf(object, fileobject::kFileNameLength));
    EXPECT_EQ(0, WordOf(object, fileobject::kHostType)) << "HOST_MSDOS";
    EXPECT_EQ(0, WordOf(object, fileobject::kCompressionType)) << "COMPRESS_NONE";
    EXPECT_EQ(0, WordOf(object, fileobject::kFileAttributes));
    EXPECT_EQ(0, WordOf(object, fileobject::kFlags) & FILEFLAG_SIGN);
    EXPECT_EQ(kBinaryFile.size(), DwordOf(object, fileobject::kFileSize));
    EXPECT_EQ(name, object.substr(fileobject::kSize));
    // Every file of the note is walked and scanned, two of one name too, each its own object.
    std::vector<std::string> names;
    std::set<notes::DWORD> rrvs;
    for (const WalkedFile& f : files) {
        names.push_back(f.object.substr(fileobject::kSize));
        rrvs.insert(DwordOf(f.object, fileobject::kRrv));
    }
    EXPECT_EQ((std::vector<std::string>{name, "a.txt", "a.txt", "changed.txt", "locked.txt"}), names);
    EXPECT_EQ(files.size(), rrvs.size());
    EXPECT_EQ(FILEFLAG_SIGN, WordOf(files[3].object, fileobject::kFlags)) << "a signed attachment";
    const auto scanned = ScanItems(note);
    EXPECT_EQ(5,
              std::count(scanned.begin(), scanned.end(), std::make_pair(std::string("$FILE"), TYPE_OBJECT)));
    // The file's times are the note's modification time, which the item "When" holds too.
    BLOCKID item{}, value{};
    WORD type = 0;
    notes::DWORD length = 0;
    ASSERT_EQ(0, lib.NSFItemInfo(note, "When", 4, &item, &type, &value, &length));
    const char* when = static_cast<const char*>(lib.OSLockObject(value.pool)) + value.block + 2;
    EXPECT_EQ(std::string(when, 8), object.substr(fileobject::kFileCreated, 8));
    EXPECT_EQ(std::string(when, 8), object.substr(fileobject::kFileModified, 8));
    lib.OSUnlockObject(value.pool);
    // TYPE_OBJECT is none of the types the conversions turn into text.
    EXPECT_EQ("", ItemText(note, ITEM_NAME_ATTACHMENT));
    char buffer[64] = {};
    EXPECT_EQ(0, lib.NSFItemConvertValueToText(TYPE_OBJECT, files[0].value, files[0].valueLength, buffer,
                                               sizeof buffer, ';'));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// INVALID_FILE_ATTRIBUTES, whose cast to DWORD names Windows' type among the Notes one here.
constexpr ::DWORD kNoAttributes = 0xFFFFFFFF;

enum class Key { None, Own, OtherNotes };

struct ExtractCase {
    const char* label;
    NOTEID note;
    size_t file;       // the note's how-manieth $FILE, from 0
    const char* name;  // its name (UTF-8)
    Key key;
    STATUS expected;
    std::string written;  // "<none>" for no file
};

class NnotesExtract : public NnotesAttachment, public ::testing::WithParamInterface<ExtractCase> {};

TEST_P(NnotesExtract, WritesTheExactBytesOrGivesItsStatus) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0, other = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, GetParam().note, OPEN_NOVERIFYDEFAULT, &note));
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x908, OPEN_NOVERIFYDEFAULT, &other));
    ENCRYPTION_KEY key{}, otherKey{};
    BOOL isSealed = FALSE;
    lib.NSFNoteIsSignedOrSealed(note, nullptr, &isSealed);
    if (isSealed) lib.NSFNoteDecrypt(note, 0, GetParam().key == Key::Own ? &key : nullptr);
    ASSERT_EQ(0, lib.NSFNoteDecrypt(other, 0, &otherKey));
    const auto files = Files(note);
    ASSERT_GT(files.size(), GetParam().file);
    // Written under the name the FILEOBJECT holds (LMBCS), which arrives in the ANSI code page.
    const std::string lmbcsName = files[GetParam().file].object.substr(fileobject::kSize);
    const std::string path = data.File(Sjis(GetParam().name));
    WriteFileBytes(path, std::string(1000, 'x'));  // an existing file is replaced
    ENCRYPTION_KEY* given = GetParam().key == Key::Own          ? &key
                            : GetParam().key == Key::OtherNotes ? &otherKey
                                                                : nullptr;
    const STATUS s = lib.NSFNoteExtractFile(note, files[GetParam().file].item,
                                            (lib.ToLmbcs(data.path()) + "\\" + lmbcsName).c_str(), given);
    EXPECT_EQ(GetParam().expected, s);
    if (s != 0) {
        EXPECT_FALSE(lib.StatusText(s).empty());
        EXPECT_EQ(std::string(1000, 'x'), Written(path)) << "a refusal touches no file";
    } else {
        EXPECT_EQ(GetParam().written, Written(path));
    }
    EXPECT_EQ(0, lib.NSFNoteClose(other));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesExtract,
    ::testing::Values(
        ExtractCase{"BinaryBytesExactly", 0x90C, 0, u8"見積書.pdf", Key::None, 0, kBinaryFile},
        ExtractCase{"SecondOfOneName", 0x90C, 2, "a.txt", Key::None, 0, "two"},
        ExtractCase{"ChangedSinceSigned", 0x90C, 3, "changed.txt", Key::None, ERR_NOTE_BADATTSIGN, ""},
        ExtractCase{"SealedForSomeoneElse", 0x90C, 4, "locked.txt", Key::None, ERR_NOEXTRACT_ENCRYPTED, ""},
        ExtractCase{"SignedIntact", 0x904, 0, "signed.txt", Key::None, 0, "signed"},
        ExtractCase{"SealedNoteWithItsKey", 0x908, 0, "inner.txt", Key::Own, 0, "inner"},
        ExtractCase{"SealedNoteWithoutKey", 0x908, 0, "inner.txt", Key::None, ERR_NOEXTRACT_ENCRYPTED, ""},
        ExtractCase{"SealedNoteWithAnotherHandlesKey", 0x908, 0, "inner.txt", Key::OtherNotes,
                    ERR_NOEXTRACT_ENCRYPTED, ""},
        ExtractCase{"UndecryptableNote", 0x910, 0, "out.txt", Key::Own, ERR_NOEXTRACT_ENCRYPTED, ""}),
    CaseLabel());

// What a genuine library answers from a note's or a database's state: a signature checked, a
// key of the newer kinds asked for, attachments decrypted in place, objects missing or cut
// short, the default form its header names.
class NnotesGenuine : public NnotesAttachment {
public:
    void SetUp() override {
        NnotesAttachment::SetUp();
        json db = NewDatabase("genuine");
        db["design"] =
            json::array({{{"id", 0x100}, {"class", "form"}, {"title", "First"}},
                         {{"id", 0x104}, {"class", "form"}, {"title", "Second"}, {"default", true}},
                         {{"id", 0x108}, {"class", "form"}, {"title", "Third"}, {"default", true}}});
        db["documents"] = json::array({
            {{"id", 0x200}, {"signed", true}, {"items", json::array()}},
            {{"id", 0x204}, {"signed", true}, {"signatureBroken", true}, {"items", json::array()}},
            {{"id", 0x208}, {"items", {File("gone.txt", "gone", "missingObject")}}},
            {{"id", 0x20C}, {"sealed", true}, {"newerEncryption", true}, {"items", {File("aes.txt", "aes")}}},
            {{"id", 0x210}, {"sealed", true}, {"items", {File("rc2.txt", "rc2")}}},
            {{"id", 0x214}, {"items", {File("short.txt", "short", "truncatedObject")}}},
        });
        WriteDatabase("genuine.nsf", db);
        json none = NewDatabase("none");
        none["design"] =
            json::array({{{"class", "form"}, {"title", "Only"}}, {{"class", "view"}, {"title", "V"}}});
        WriteDatabase("none.nsf", none);
        h = Open("genuine.nsf");
    }
    void TearDown() override {
        if (note != 0) {
            EXPECT_EQ(0, lib.NSFNoteClose(note));
        }
        EXPECT_EQ(0, lib.NSFDbClose(h));
    }
    NOTEHANDLE OpenNote(NOTEID id) {
        EXPECT_EQ(0, lib.NSFNoteOpen(h, id, OPEN_NOVERIFYDEFAULT, &note));
        return note;
    }
    // Extracts the note's first file into the data folder; "<none>" stands for no file.
    STATUS Extract(ENCRYPTION_KEY* key, std::string* written) {
        const auto files = Files(note);
        EXPECT_EQ(1u, files.size());
        if (files.empty()) return 0xFFFF;
        const std::string path = data.File("extracted.bin");
        const STATUS s = lib.NSFNoteExtractFile(note, files[0].item, lib.ToLmbcs(path).c_str(), key);
        *written = Written(path);
        return s;
    }

    DBHANDLE h = 0;
    NOTEHANDLE note = 0;
};

struct GenuineAnswerCase {
    const char* label;
    std::function<STATUS(NnotesGenuine&, std::string* detail)> call;
    STATUS expected;
    std::string detail;  // what the call leaves to look at: an id, a file's bytes
};

class NnotesGenuineAnswer : public NnotesGenuine, public ::testing::WithParamInterface<GenuineAnswerCase> {};

TEST_P(NnotesGenuineAnswer, FromTheStateItHolds) {
    std::string detail;
    EXPECT_EQ(GetParam().expected, GetParam().call(*this, &detail));
    EXPECT_EQ(GetParam().detail, detail);
}

STATUS Verify(NnotesGenuine& t, NOTEID id, std::string* detail) {
    char signer[8] = "x";
    const STATUS s = t.lib.NSFNoteVerifySignature(t.OpenNote(id), nullptr, nullptr, signer, nullptr);
    *detail = signer;
    return s;
}

STATUS SpecialForm(NnotesGenuine& t, DBHANDLE h, std::string* detail) {
    NOTEID id = 0xFFFF;
    const STATUS s = t.lib.NSFDbGetSpecialNoteID(h, SPECIAL_ID_NOTE | NOTE_CLASS_FORM, &id);
    *detail = std::to_string(id);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesGenuineAnswer,
    ::testing::Values(
        GenuineAnswerCase{"IntactSignatureVerifies",
                          [](NnotesGenuine& t, std::string* d) { return Verify(t, 0x200, d); }, 0, ""},
        GenuineAnswerCase{"ChangedNoteDoesNotVerify",
                          [](NnotesGenuine& t, std::string* d) { return Verify(t, 0x204, d); },
                          nnotes::kErrSignature, "x"},
        GenuineAnswerCase{"UnsignedNoteHasNoSignature",
                          [](NnotesGenuine& t, std::string* d) { return Verify(t, 0x208, d); },
                          ERR_NOTE_NOT_SIGNED, "x"},
        GenuineAnswerCase{"NewerKeyCannotBeHandedOut",
                          [](NnotesGenuine& t, std::string* d) {
                              ENCRYPTION_KEY key{};
                              const STATUS s = t.lib.NSFNoteDecrypt(t.OpenNote(0x20C), 0, &key);
                              *d = t.ItemText(t.note, "$FILE");
                              return s;
                          },
                          ERR_BSAFE_UNSUPPORTED_CRYPTO_OP, ""},
        GenuineAnswerCase{"NewerKeyInPlaceExtractsWithoutAKey",
                          [](NnotesGenuine& t, std::string* d) {
                              EXPECT_EQ(0, t.lib.NSFNoteDecrypt(t.OpenNote(0x20C),
                                                                DECRYPT_ATTACHMENTS_IN_PLACE, nullptr));
                              return t.Extract(nullptr, d);
                          },
                          0, "aes"},
        GenuineAnswerCase{"OlderKeyInPlaceExtractsWithoutAKey",
                          [](NnotesGenuine& t, std::string* d) {
                              EXPECT_EQ(0, t.lib.NSFNoteDecrypt(t.OpenNote(0x210),
                                                                DECRYPT_ATTACHMENTS_IN_PLACE, nullptr));
                              return t.Extract(nullptr, d);
                          },
                          0, "rc2"},
        GenuineAnswerCase{"OlderKeyWithoutInPlaceStillNeedsTheKey",
                          [](NnotesGenuine& t, std::string* d) {
                              EXPECT_EQ(0, t.lib.NSFNoteDecrypt(t.OpenNote(0x210), 0, nullptr));
                              return t.Extract(nullptr, d);
                          },
                          ERR_NOEXTRACT_ENCRYPTED, "<none>"},
        GenuineAnswerCase{"MissingObject",
                          [](NnotesGenuine& t, std::string* d) {
                              t.OpenNote(0x208);
                              return t.Extract(nullptr, d);
                          },
                          ERR_BADOBJECT, "<none>"},
        GenuineAnswerCase{"TruncatedObject",
                          [](NnotesGenuine& t, std::string* d) {
                              t.OpenNote(0x214);
                              return t.Extract(nullptr, d);
                          },
                          ERR_OBJECT_TRUNCATED, "<none>"},
        // Two forms carry the default flag: the header names the first in the design's order.
        GenuineAnswerCase{"DefaultFormTheHeaderNames",
                          [](NnotesGenuine& t, std::string* d) { return SpecialForm(t, t.h, d); }, 0,
                          std::to_string(0x104)},
        GenuineAnswerCase{"NoDefaultForm",
                          [](NnotesGenuine& t, std::string* d) {
                              const DBHANDLE none = t.Open("none.nsf");
                              const STATUS s = SpecialForm(t, none, d);
                              EXPECT_EQ(0, t.lib.NSFDbClose(none));
                              return s;
                          },
                          ERR_SPECIAL_ID, "0"}),
    CaseLabel());

TEST_F(NnotesAttachment, OnlyAnAttachmentsItemBlockIdOfThisNoteExtracts) {
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0, other = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x90C, OPEN_NOVERIFYDEFAULT, &note));
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x904, OPEN_NOVERIFYDEFAULT, &other));
    const auto files = Files(note), otherFiles = Files(other);
    ASSERT_FALSE(files.empty());
    ASSERT_FALSE(otherFiles.empty());
    BLOCKID form{}, formValue{};
    ASSERT_EQ(0, lib.NSFItemInfo(note, "Form", 4, &form, nullptr, &formValue, nullptr));
    const std::string path = data.File("refused.bin");
    const char* lmbcs = path.c_str();  // ASCII: the same in LMBCS
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, files[0].value, lmbcs, nullptr))
        << "a value BLOCKID";
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, otherFiles[0].item, lmbcs, nullptr))
        << "another note's";
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, form, lmbcs, nullptr))
        << "not a $FILE item";
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, BLOCKID{note, 0}, lmbcs, nullptr));
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, BLOCKID{note, 0xFFFF}, lmbcs, nullptr));
    EXPECT_EQ(nnotes::kErrBadArgument, lib.NSFNoteExtractFile(note, files[0].item, nullptr, nullptr))
        << "no file name";
    EXPECT_EQ("<none>", Written(path));
    // A path is MAXPATH bytes of LMBCS with its NUL: one byte more is refused, not cut.
    const std::string stem = path.substr(0, path.size() - 4);
    const std::string longest = stem + std::string(MAXPATH - 1 - path.size(), 'x') + ".bin";
    ASSERT_EQ(255u, longest.size());
    EXPECT_EQ(nnotes::kErrPathTooLong,
              lib.NSFNoteExtractFile(note, files[0].item, (longest + "x").c_str(), nullptr));
    EXPECT_EQ("<none>", Written(longest + "x"));
    EXPECT_EQ(0, lib.NSFNoteExtractFile(note, files[0].item, longest.c_str(), nullptr));
    EXPECT_NE("<none>", Written(longest));
    EXPECT_EQ(0, lib.NSFNoteClose(other));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(nnotes::kErrInvalidHandle, lib.NSFNoteExtractFile(note, files[0].item, lmbcs, nullptr))
        << "a closed note";
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

struct UnwritableCase {
    const char* label;
    const char* path;  // in the data folder
};

class NnotesUnwritable : public NnotesAttachment, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(NnotesUnwritable, GivesProtectedAndLeavesNoFile) {
    CreateDirectoryA(data.File("folder").c_str(), nullptr);
    DBHANDLE h = Open("sales.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 0x90C, OPEN_NOVERIFYDEFAULT, &note));
    const auto files = Files(note);
    ASSERT_FALSE(files.empty());
    const std::string path = data.File(GetParam().path);
    const STATUS s = lib.NSFNoteExtractFile(note, files[0].item, path.c_str(), nullptr);
    EXPECT_EQ(nnotes::kErrProtected, s);
    EXPECT_FALSE(lib.StatusText(s).empty());
    const ::DWORD attributes = GetFileAttributesA(path.c_str());
    EXPECT_TRUE(attributes == kNoAttributes || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesUnwritable,
                         ::testing::Values(UnwritableCase{"MissingFolder", "missing\\x.pdf"},
                                           UnwritableCase{"NameOfAFolder", "folder"}),
                         CaseLabel());

// Faults: a database file makes an operation fail with a status of its choosing.
struct FaultCase {
    const char* operation;
    STATUS status;
};

class NnotesDatabaseFault : public NnotesDatabase, public ::testing::WithParamInterface<FaultCase> {
protected:
    // Runs the named operation the way the program does and returns its status.
    STATUS Run(const std::string& op) {
        DBHANDLE h = 0;
        STATUS s = lib.NSFDbOpen("faulty.nsf", &h);
        if (op == "NSFDbOpen" || s != 0) return s;
        STATUS result = 0;
        if (op == "NSFDbModeGet") {
            WORD mode;
            result = lib.NSFDbModeGet(h, &mode);
        } else if (op == "NSFDbClose") {
            result = lib.NSFDbClose(h);
            if (result != 0) {
                // A failed close leaves the database open.
                WORD mode;
                EXPECT_EQ(0, lib.NSFDbModeGet(h, &mode));
            }
            return result;
        } else if (op == "NSFDbInfoGet") {
            char info[NSF_INFO_SIZE];
            result = lib.NSFDbInfoGet(h, info);
        } else if (op == "NIFOpenCollection" || op == "NIFReadEntries") {
            HCOLLECTION coll = 0;
            result = lib.NIFOpenCollection(h, h, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0, &coll,
                                           nullptr, nullptr, nullptr, nullptr);
            if (result == 0) {
                COLLECTIONPOSITION pos{};
                pos.Tumbler[0] = 1;
                DHANDLE buffer = 0;
                notes::DWORD count = 0;
                result = lib.NIFReadEntries(coll, &pos, 0, 0, NAVIGATE_NEXT, MAXDWORD_COUNT,
                                            READ_MASK_NOTECLASS | READ_MASK_SUMMARY, &buffer, nullptr,
                                            nullptr, &count, nullptr);
                lib.OSMemFree(buffer);
                lib.NIFCloseCollection(coll);
            }
        } else if (op == "NIFFindDesignNote") {
            NOTEID id;
            result = lib.NIFFindDesignNote(h, "Order", NOTE_CLASS_FORM, &id);
        } else if (op == "NSFItemScan") {
            NOTEHANDLE note = 0;
            result = lib.NSFNoteOpen(h, 0x90C, 0, &note);
            if (result == 0) {
                result = lib.NSFItemScan(note, IgnoreItem, nullptr);
                lib.NSFNoteClose(note);
            }
        } else if (op == "NSFDbGetModifiedNoteTable") {
            TIMEDATE since{}, until{};
            DHANDLE table = 0;
            result = lib.NSFDbGetModifiedNoteTable(h, NOTE_CLASS_DOCUMENT, since, &until, &table);
            EXPECT_EQ(result == 0, table != 0);
            lib.IDDestroyTable(table);
        }
        lib.NSFDbClose(h);
        return result;
    }
};

TEST_P(NnotesDatabaseFault, NamedOperationReturnsTheStatusAndOnlyIt) {
    json db = NewDatabase("faulty");
    db["design"] = Design();
    db["documents"] = Documents();
    WriteDatabase("faulty.nsf", db);
    EXPECT_EQ(0, Run(GetParam().operation)) << "without the fault";
    db["faults"] = {{GetParam().operation, GetParam().status}};
    WriteDatabase("faulty.nsf", db);
    EXPECT_EQ(GetParam().status, Run(GetParam().operation));
    // Every other operation still succeeds (they all open the database first).
    if (std::string(GetParam().operation) == "NSFDbOpen") return;
    for (const char* other : {"NSFDbOpen", "NSFDbModeGet", "NSFDbInfoGet", "NIFOpenCollection",
                              "NIFFindDesignNote", "NSFItemScan", "NSFDbGetModifiedNoteTable"}) {
        if (std::string(other) != GetParam().operation &&
            !(std::string(GetParam().operation) == "NIFReadEntries" &&
              std::string(other) == "NIFOpenCollection")) {
            EXPECT_EQ(0, Run(other)) << other;
        }
    }
    if (std::string(GetParam().operation) != "NSFDbClose") {
        EXPECT_EQ(0, Run("NSFDbClose"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesDatabaseFault,
                         ::testing::Values(FaultCase{"NSFDbOpen", 582}, FaultCase{"NSFDbModeGet", 518},
                                           FaultCase{"NSFDbClose", 582}, FaultCase{"NSFDbInfoGet", 518},
                                           FaultCase{"NIFOpenCollection", 779},
                                           FaultCase{"NIFReadEntries", 582},
                                           FaultCase{"NIFFindDesignNote", 518},
                                           FaultCase{"NSFItemScan", 0x8000 | 518},
                                           FaultCase{"NSFDbGetModifiedNoteTable", 582}),
                         OperationAndStatus());

struct NoteFaultCase {
    const char* operation;
    STATUS status;
};

class NnotesNoteFault : public NnotesDatabase, public ::testing::WithParamInterface<NoteFaultCase> {};

TEST_P(NnotesNoteFault, OnlyTheNamedNoteFails) {
    json db = NewDatabase("per note");
    json docs = json::array();
    for (NOTEID id : {0x104, 0x108, 0x10C}) {
        json doc = {{"id", id},
                    {"signed", true},
                    {"sealed", true},
                    {"items", {Item("A", "text", "a"), File("a.txt", "a")}}};
        if (id == 0x108) doc["faults"] = {{GetParam().operation, GetParam().status}};
        docs.push_back(doc);
    }
    db["documents"] = docs;
    WriteDatabase("pernote.nsf", db);
    DBHANDLE h = Open("pernote.nsf");
    for (NOTEID id : {0x104, 0x108, 0x10C}) {
        const bool faulty = id == 0x108;
        const std::string op = GetParam().operation;
        NOTEHANDLE note = 0;
        STATUS open = lib.NSFNoteOpen(h, id, OPEN_NOVERIFYDEFAULT, &note);
        EXPECT_EQ(faulty && op == "NSFNoteOpen" ? GetParam().status : 0, open) << id;
        if (open != 0) continue;
        EXPECT_EQ(faulty && op == "NSFNoteSign" ? GetParam().status : 0, lib.NSFNoteSign(note)) << id;
        ENCRYPTION_KEY key{};
        const STATUS decrypt = lib.NSFNoteDecrypt(note, 0, &key);
        EXPECT_EQ(faulty && op == "NSFNoteDecrypt" ? GetParam().status : 0, decrypt) << id;
        if (decrypt == 0) {
            BLOCKID item{};
            ASSERT_EQ(0, lib.NSFItemInfo(note, "$FILE", 5, &item, nullptr, nullptr, nullptr));
            EXPECT_EQ(faulty && op == "NSFNoteExtractFile" ? GetParam().status : 0,
                      lib.NSFNoteExtractFile(note, item, data.File("a.txt").c_str(), &key))
                << id;
        }
        EXPECT_EQ(0, lib.NSFNoteClose(note));
    }
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesNoteFault,
                         ::testing::Values(NoteFaultCase{"NSFNoteOpen", 582},
                                           NoteFaultCase{"NSFNoteSign", 603},
                                           NoteFaultCase{"NSFNoteDecrypt", 613},
                                           NoteFaultCase{"NSFNoteExtractFile", 582}),
                         OperationAndStatus());

TEST_F(NnotesDatabase, FaultNamingAnUnknownOperationMakesTheFileDamaged) {
    json db = NewDatabase("typo");
    db["faults"] = {{"NSFDbOpenn", 582}};
    WriteDatabase("typo.nsf", db);
    DBHANDLE h = 0;
    EXPECT_EQ(nnotes::kErrDamaged, lib.NSFDbOpen("typo.nsf", &h));
}

// The sample data folder of the repository, as scripts/make-database writes it.
class NnotesSample : public ::testing::Test, public NnotesFixture {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, lib.module);
        std::string samples = std::string("Z:") + QS_SAMPLES_DIR;
        for (char& c : samples) {
            if (c == '/') c = '\\';
        }
        WriteIni("Directory=" + samples + "\r\n");
        ASSERT_EQ(0, lib.NotesInitExtended(0, nullptr));
    }
};

TEST_F(NnotesSample, EveryPathOfAnExportRuns) {
    DBHANDLE h = Open("sample.nsf");
    ASSERT_NE(0u, h);
    WORD mode = 0xFF;
    EXPECT_EQ(0, lib.NSFDbModeGet(h, &mode));
    EXPECT_NE(DBMODE_DIRECTORY, mode);
    NOTEID form = 0;
    EXPECT_EQ(0, lib.NIFFindDesignNote(h, "Customer", NOTE_CLASS_FORM, &form));
    EXPECT_EQ(0, lib.NIFFindDesignNote(h, JapaneseLmbcs(u8"顧客|Customer").c_str(), NOTE_CLASS_FORM, &form));
    TIMEDATE since, until;
    lib.TimeConstant(TIMEDATE_MINIMUM, &since);
    DHANDLE table = 0;
    ASSERT_EQ(0, lib.NSFDbGetModifiedNoteTable(h, NOTE_CLASS_DOCUMENT, since, &until, &table));
    EXPECT_EQ(300u, lib.IDEntries(table));
    std::map<STATUS, int> outcomes;  // status of opening and preparing each note
    NOTEID id = 0;
    for (BOOL more = lib.IDScan(table, TRUE, &id); more; more = lib.IDScan(table, FALSE, &id)) {
        NOTEHANDLE note = 0;
        STATUS s = lib.NSFNoteOpen(h, id, OPEN_NOVERIFYDEFAULT, &note);
        BOOL isSigned = FALSE, isSealed = FALSE;
        if (s == 0) {
            lib.NSFNoteIsSignedOrSealed(note, &isSigned, &isSealed);
            if (isSigned) s = lib.NSFNoteSign(note);
            if (s == 0 && isSealed) s = lib.NSFNoteDecrypt(note, 0, nullptr);
            EXPECT_EQ(0, lib.NSFNoteClose(note));
        }
        ++outcomes[s];
    }
    EXPECT_EQ(298, outcomes[0]);
    EXPECT_EQ(1, outcomes[582]) << "the note that cannot be opened";
    EXPECT_EQ(1, outcomes[613]) << "the note that cannot be decrypted";
    EXPECT_EQ(0, lib.IDDestroyTable(table));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesSample, ServerDatabaseAndFolderOpen) {
    char path[MAXPATH];
    ASSERT_EQ(0, lib.OSPathNetConstruct("", "Tokyo01", "apps\\customers.nsf", path));
    DBHANDLE h = Open(path);
    EXPECT_NE(0u, h);
    EXPECT_EQ(0, lib.NSFDbClose(h));
    h = Open("archive");
    WORD mode = 0;
    EXPECT_EQ(0, lib.NSFDbModeGet(h, &mode));
    EXPECT_EQ(DBMODE_DIRECTORY, mode);
    EXPECT_EQ(0, lib.NSFDbClose(h));
}
