// nnotes.dll's item-to-text conversion: the text of each data type, and the bounds of the
// caller's buffer.

#include "NnotesLibrary.h"
#include "notes/CompositeRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace notes;
using nlohmann::json;

namespace {

struct TextCase {
    const char* name;
    json item;             // type and value, as in a database file
    std::string expected;  // LMBCS of the expected text ("" = no text)
    char separator;
};

json V(const char* type, const json& value) { return {{"type", type}, {"value", value}}; }

std::vector<TextCase> Cases() {
    return {
        {"Text", V("text", "plain words"), "plain words", ';'},
        {"TextWithCommaAndQuotes", V("text", "a,b \"c\""), "a,b \"c\"", ';'},
        {"JapaneseText", V("text", u8"東京都千代田区"), JapaneseLmbcs(u8"東京都千代田区"), ';'},
        // Any Unicode character: beyond 16 bits as its surrogate pair in the Unicode group,
        // Hangul in the Korean group, as ICU's LMBCS-1 writes them.
        {"SupplementaryAndHangulText", V("text", u8"𠮷野 서울"),
         std::string("\x14\xd8\x42\x14\xdf\xb7", 6) + JapaneseLmbcs(u8"野") + " " +
             std::string("\x11\xbc\xad\x11\xbf\xef", 6),
         ';'},
        {"UnicodeGroupZeroLowByte", V("text", u8"䀀"), std::string("\x14\xf6\x40", 3), ';'},
        {"EmojiInTextList", V("textlist", {u8"😀", "b"}), std::string("\x14\xd8\x3d\x14\xf6\xde;b", 8), ';'},
        // Notes keeps a line break inside a text as one NUL byte, and counts it in the length.
        {"MultiLineText", V("text", "one\r\ntwo\nthree"), std::string("one\0two\0three", 13), ';'},
        {"TextListEntriesWithBreaks", V("textlist", {"a\nb", "c\r\n"}), std::string("a\0b;c\0", 6), ';'},
        {"EmptyText", V("text", ""), "", ';'},
        {"TextList", V("textlist", {"red", u8"青", "green"}), "red;" + JapaneseLmbcs(u8"青") + ";green", ';'},
        {"TextListOtherSeparator", V("textlist", {"a", "b"}), "a,b", ','},
        {"TextListDefaultSeparator", V("textlist", {"a", "b"}), "a;b", '\0'},
        {"TextListOfOne", V("textlist", {"only"}), "only", ';'},
        {"Integer", V("number", 42), "42", ';'},
        {"Fraction", V("number", 1234.5), "1234.5", ';'},
        {"Negative", V("number", -0.25), "-0.25", ';'},
        {"Thousands", V("number", 1234567), "1234567", ';'},
        {"Small", V("number", 0.001), "0.001", ';'},
        {"Large", V("number", 1.5e20), "1.5E+20", ';'},
        {"Tiny", V("number", 2.5e-20), "2.5E-20", ';'},
        {"Zero", V("number", 0), "0", ';'},
        {"NumberList", V("numberlist", {1, 2.5, -3}), "1;2.5;-3", ';'},
        {"DateTime", V("time", "2024-03-05T14:07:09"), "2024/03/05 14:07:09", ';'},
        {"EarlyMorningCrossesGmtMidnight", V("time", "2024-01-01T05:00:00"), "2024/01/01 05:00:00", ';'},
        {"LeapDay", V("time", "2024-02-29T23:59:59"), "2024/02/29 23:59:59", ';'},
        // 2024-03-05 05:07:09 GMT written in zone GMT: shown in this machine's zone (the test
        // command runs Wine in Japan's), not in the writer's.
        {"MomentInTheLocalZone", {{"type", 0x0400}, {"hex", "d41e1c00d78a2500"}}, "2024/03/05 14:07:09", ';'},
        {"DateOnly", V("time", "1999-12-31"), "1999/12/31", ';'},
        {"TimeOnly", V("time", "08:30:00"), "08:30:00", ';'},
        {"TimeList", V("timelist", {"2024-03-05", "2024-03-06T10:00:00"}), "2024/03/05;2024/03/06 10:00:00",
         ';'},
        // A range holds its single values first, then its pairs as lower and upper bound.
        {"NumberRangeWithPairs", V("numberlist", {1, json::array({2, 5}), 9, json::array({10.5, 11})}),
         "1;9;2 - 5;10.5 - 11", ';'},
        {"TimeRangePair", V("timelist", json::array({json::array({"2024-03-05", "2024-03-08"})})),
         "2024/03/05 - 2024/03/08", ';'},
        {"UserName", V("userid", "CN=Taro Yamada/O=Example"), "CN=Taro Yamada/O=Example", ';'},
        {"ErrorValue", {{"type", "error"}}, "ERROR: ", ';'},
        {"UnavailableValue", {{"type", "unavailable"}}, "UNAVAILABLE: ", ';'},
        {"RichText", V("richtext", {"First paragraph", u8"二段落目", "", "last"}),
         "First paragraph\r\n" + JapaneseLmbcs(u8"二段落目") + "\r\n\r\nlast", ';'},
        {"RichTextOddLengths", V("richtext", {"a", "bc", "def"}), "a\r\nbc\r\ndef", ';'},
        {"OtherType", {{"type", 0x0502}, {"hex", "0102"}}, "", ';'},
        // TYPE_OBJECT is none of the types the reference lists for the conversion.
        {"AttachedFile", {{"type", "file"}, {"fileName", "a.txt"}, {"base64", "YQ=="}}, "", ';'},
    };
}

class NnotesItemText : public ::testing::TestWithParam<TextCase>, public NnotesFixture {};

TEST_P(NnotesItemText, ConvertsAsANotesClientShowsIt) {
    ASSERT_NE(nullptr, lib.module);
    json item = GetParam().item;
    item["name"] = "Value";
    json db = NewDatabase("text");
    db["documents"] = json::array({{{"id", 4}, {"items", json::array({item})}}});
    WriteDatabase("text.nsf", db);
    DBHANDLE h = Open("text.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 4, OPEN_NOVERIFYDEFAULT, &note));
    EXPECT_EQ(GetParam().expected, ItemText(note, "Value", GetParam().separator));
    EXPECT_EQ(GetParam().expected, ItemText(note, "value", GetParam().separator)) << "names ignore case";
    EXPECT_EQ("", ItemText(note, "Missing", GetParam().separator));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesItemText, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                             return std::string(info.param.name);
                         });

class NnotesItemTextBounds : public ::testing::Test, public NnotesFixture {};

TEST_F(NnotesItemTextBounds, EverySizeStaysInsideTheBufferAndKeepsWholeCharacters) {
    ASSERT_NE(nullptr, lib.module);
    // Single-byte and three-byte characters mixed, in a list and in rich text too.
    const std::string text = u8"ab東京c,d 株式会社xyz";
    json db = NewDatabase("bounds");
    db["documents"] =
        json::array({{{"id", 4},
                      {"items", json::array({{{"name", "T"}, {"type", "text"}, {"value", text}},
                                             {{"name", "L"}, {"type", "textlist"}, {"value", {text, text}}},
                                             {{"name", "R"}, {"type", "richtext"}, {"value", {text, text}}},
                                             {{"name", "N"}, {"type", "number"}, {"value", 1234.5}}})}}});
    WriteDatabase("bounds.nsf", db);
    DBHANDLE h = Open("bounds.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 4, OPEN_NOVERIFYDEFAULT, &note));
    for (const char* name : {"T", "L", "R", "N"}) {
        const std::string full = ItemText(note, name);
        ASSERT_FALSE(full.empty()) << name;
        // Where a character may end: after each whole character of the full text.
        std::vector<size_t> ends = {0};
        for (size_t i = 0; i < full.size();) {
            i += full[i] == '\x10' ? 3 : 1;
            ends.push_back(i);
        }
        for (WORD size = 0; size <= full.size() + 3; ++size) {
            std::vector<char> buffer(size + 8, 'x');
            WORD n = lib.NSFItemConvertToText(note, name, buffer.data(), size, ';');
            size_t expected = 0;
            for (size_t e : ends) {
                if (size > 0 && e <= size - 1u) expected = e;
            }
            EXPECT_EQ(expected, n) << name << " size " << size;
            if (size > 0) {
                EXPECT_EQ('\0', buffer[n]) << name << " size " << size;
                EXPECT_EQ(full.substr(0, n), std::string(buffer.data(), n)) << name << " size " << size;
            }
            for (size_t i = size; i < buffer.size(); ++i) {
                ASSERT_EQ('x', buffer[i]) << name << " size " << size << " wrote at " << i;
            }
        }
    }
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// Asked to, the conversion cuts at the byte as the Notes library may, even inside a
// character; by default it keeps whole characters.
TEST_F(NnotesItemTextBounds, DatabaseMayAskForTheCutAtTheByte) {
    ASSERT_NE(nullptr, lib.module);
    for (const bool anywhere : {false, true}) {
        json db = NewDatabase("cut");
        db["cutTextAnywhere"] = anywhere;
        db["documents"] = json::array(
            {{{"id", 4}, {"items", json::array({{{"name", "T"}, {"type", "text"}, {"value", u8"a東京"}}})}}});
        WriteDatabase("cut.nsf", db);
        DBHANDLE h = Open("cut.nsf");
        NOTEHANDLE note = 0;
        ASSERT_EQ(0, lib.NSFNoteOpen(h, 4, OPEN_NOVERIFYDEFAULT, &note));
        char buffer[6] = {};
        // Room for five bytes: "a", 東 (three) and the first byte of 京.
        const WORD n = lib.NSFItemConvertToText(note, "T", buffer, sizeof buffer, ';');
        const std::string expected =
            anywhere ? "a" + JapaneseLmbcs(u8"東") + "\x10" : "a" + JapaneseLmbcs(u8"東");
        EXPECT_EQ(expected, std::string(buffer, n)) << anywhere;
        EXPECT_EQ('\0', buffer[n]);
        EXPECT_EQ(0, lib.NSFNoteClose(note));
        EXPECT_EQ(0, lib.NSFDbClose(h));
    }
}

// A rich-text value longer than its item size is stored as Notes stores a long one: several
// items of the same name, split at paragraphs. NSFItemConvertToText reads only the first;
// NSFItemInfo and NSFItemInfoNext walk them all, and NSFItemConvertValueToText reads each.
TEST_F(NnotesItemTextBounds, LongRichTextIsSeveralItemsOfOneName) {
    ASSERT_NE(nullptr, lib.module);
    ASSERT_NE(nullptr, lib.NSFItemInfo);
    ASSERT_NE(nullptr, lib.NSFItemInfoNext);
    ASSERT_NE(nullptr, lib.NSFItemConvertValueToText);
    // Each paragraph takes 10 bytes of records and its text, padded to even: "p1".."p5" 12.
    json db = NewDatabase("split");
    db["documents"] = json::array(
        {{{"id", 4},
          {"items", json::array({{{"name", "Body"},
                                  {"type", "richtext"},
                                  {"value", {"p1", "p2", "p3", "p4", "p5"}},
                                  {"itemSize", 30}},
                                 {{"name", "Other"}, {"type", "text"}, {"value", "x"}},
                                 {{"name", "Split"},
                                  {"type", "richtext"},
                                  {"value", {"p1", "p2", "p3"}},
                                  {"itemSize", 14},
                                  {"splitInParagraphs", true}},
                                 {{"name", "Whole"}, {"type", "richtext"}, {"value", {"w1", "w2"}}}})}}});
    WriteDatabase("split.nsf", db);
    DBHANDLE h = Open("split.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 4, OPEN_NOVERIFYDEFAULT, &note));
    EXPECT_EQ("p1\r\np2", ItemText(note, "Body")) << "only the first item";

    std::vector<std::string> texts;
    BLOCKID item{};
    WORD type = 0;
    BLOCKID value{};
    notes::DWORD valueLength = 0;
    STATUS s = lib.NSFItemInfo(note, "body", 4, &item, &type, &value, &valueLength);
    while (s == 0) {
        EXPECT_EQ(TYPE_COMPOSITE, type);
        char buffer[64] = {};
        const WORD n = lib.NSFItemConvertValueToText(type, value, valueLength, buffer, sizeof buffer, ';');
        texts.emplace_back(buffer, n);
        s = lib.NSFItemInfoNext(note, item, "Body", 4, &item, &type, &value, &valueLength);
    }
    EXPECT_EQ(ERR_ITEM_NOT_FOUND, s);
    EXPECT_EQ(0, type) << "no item: TYPE_INVALID_OR_UNKNOWN";
    EXPECT_EQ((std::vector<std::string>{"p1\r\np2", "p3\r\np4", "p5"}), texts);

    // Split inside paragraphs, an item may end with a paragraph record and the next go on
    // with its text: each item's value, reached as OSLockBlock reaches it (the pool locked,
    // then the block), tells by its first record.
    std::vector<std::string> splitTexts;
    std::vector<bool> startsParagraph;
    for (s = lib.NSFItemInfo(note, "Split", 5, &item, &type, &value, &valueLength); s == 0;
         s = lib.NSFItemInfoNext(note, item, "Split", 5, &item, &type, &value, &valueLength)) {
        char buffer[64] = {};
        const WORD n = lib.NSFItemConvertValueToText(type, value, valueLength, buffer, sizeof buffer, ';');
        splitTexts.emplace_back(buffer, n);
        const char* pool = static_cast<const char*>(lib.OSLockObject(value.pool));
        ASSERT_NE(nullptr, pool);
        WORD typeWord = 0;
        std::memcpy(&typeWord, pool + value.block, sizeof typeWord);
        EXPECT_EQ(TYPE_COMPOSITE, typeWord);
        startsParagraph.push_back(static_cast<uint8_t>(pool[value.block + 2]) == SIG_CD_PARAGRAPH);
        EXPECT_TRUE(lib.OSUnlockObject(value.pool));
        EXPECT_NE(0, lib.OSMemFree(value.pool)) << "a note's value is not the caller's to free";
    }
    EXPECT_EQ((std::vector<std::string>{"p1\r\n", "p2\r\n", "p3"}), splitTexts);
    EXPECT_EQ((std::vector<bool>{true, false, false}), startsParagraph);

    // A short rich text stays one item; a missing name is not found.
    ASSERT_EQ(0, lib.NSFItemInfo(note, "Whole", 5, &item, &type, &value, &valueLength));
    EXPECT_EQ(ERR_ITEM_NOT_FOUND,
              lib.NSFItemInfoNext(note, item, "Whole", 5, &item, &type, &value, &valueLength));
    EXPECT_EQ(ERR_ITEM_NOT_FOUND, lib.NSFItemInfo(note, "Missing", 7, nullptr, nullptr, nullptr, nullptr));
    // A value read as another type, or longer than the buffer, gives what the reference says.
    ASSERT_EQ(0, lib.NSFItemInfo(note, "Other", 5, &item, &type, &value, &valueLength));
    char small[4] = {};
    EXPECT_EQ(0, lib.NSFItemConvertValueToText(TYPE_COMPOSITE, value, valueLength, small, sizeof small, ';'));
    EXPECT_EQ(1, lib.NSFItemConvertValueToText(type, value, valueLength, small, sizeof small, ';'));
    EXPECT_EQ("x", std::string(small));
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    EXPECT_EQ(nullptr, lib.OSLockObject(value.pool)) << "a note's values go with it";
    EXPECT_EQ(0, lib.NSFItemConvertValueToText(type, value, valueLength, small, sizeof small, ';'));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

// Every value NSFItemInfo hands out is reached as OSLockBlock reaches it, the pool plus the
// block, however large the note: a block is a WORD, so a value that would start beyond it
// lies in a pool of its own, and all of them go when the note closes.
TEST_F(NnotesItemTextBounds, EveryValueOfALargeNoteIsReachedByItsBlock) {
    ASSERT_NE(nullptr, lib.NSFItemInfo);
    const std::string big(40000, 'a');
    json db = NewDatabase("large");
    db["documents"] =
        json::array({{{"id", 4},
                      {"items", json::array({{{"name", "First"}, {"type", "text"}, {"value", big}},
                                             {{"name", "Second"}, {"type", "text"}, {"value", big}},
                                             {{"name", "Third"}, {"type", "text"}, {"value", "3"}}})}}});
    WriteDatabase("large.nsf", db);
    DBHANDLE h = Open("large.nsf");
    NOTEHANDLE note = 0;
    ASSERT_EQ(0, lib.NSFNoteOpen(h, 4, OPEN_NOVERIFYDEFAULT, &note));
    std::vector<BLOCKID> values;
    for (const std::string name : {"Third", "First", "Second"}) {
        WORD type = 0;
        BLOCKID value{};
        notes::DWORD valueLength = 0;
        ASSERT_EQ(0, lib.NSFItemInfo(note, name.c_str(), static_cast<WORD>(name.size()), nullptr, &type,
                                     &value, &valueLength));
        const std::string expected = name == "Third" ? "3" : big;
        ASSERT_EQ(2 + expected.size(), valueLength) << name;
        const char* pool = static_cast<const char*>(lib.OSLockObject(value.pool));
        ASSERT_NE(nullptr, pool) << name;
        WORD typeWord = 0;
        std::memcpy(&typeWord, pool + value.block, sizeof typeWord);
        EXPECT_EQ(TYPE_TEXT, typeWord) << name;
        EXPECT_EQ(expected, std::string(pool + value.block + 2, expected.size())) << name;
        EXPECT_TRUE(lib.OSUnlockObject(value.pool));
        values.push_back(value);
    }
    EXPECT_NE(values[0].pool, values[2].pool) << "the third value starts beyond a WORD of the second's pool";
    EXPECT_EQ(0, lib.NSFNoteClose(note));
    for (const BLOCKID& value : values) EXPECT_EQ(nullptr, lib.OSLockObject(value.pool));
    EXPECT_EQ(0, lib.NSFDbClose(h));
}

TEST_F(NnotesItemTextBounds, UnknownNoteHandleGivesNoText) {
    ASSERT_NE(nullptr, lib.module);
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0, lib.NSFItemConvertToText(0x7777, "A", buffer, sizeof buffer, ';'));
    EXPECT_EQ('\0', buffer[0]);
}

}  // namespace
