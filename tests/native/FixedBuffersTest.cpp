// The fixed buffers of the Notes layer, at the sizes the program gives them
// (notes/BufferSizes.h): each test gives the translation the largest input that can reach a
// buffer, or one byte more, with exactly the room notes::TranslateInto hands it (the
// buffer's size less the NUL it always writes), in a heap block of exactly that size, and
// expects what that buffer must hold. Whatever does not fit is cut inside the buffer at a
// character boundary. A buffer made smaller or larger changes what these tests see. The
// Notes layer's own handling of each buffer is tested under Wine (docs/robustness.md names
// those tests).
#include "nnotes/Lmbcs.h"
#include "nnotes/Store.h"
#include "nnotes/TextFormat.h"
#include "notes/BufferSizes.h"
#include "notes/ItemText.h"
#include "notes/NotesApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// What notes::TranslateInto passes on for a buffer of `capacity` bytes.
size_t RoomOf(size_t capacity) { return capacity - 1; }

std::string Translate(bool toLmbcs, const std::string& in, size_t room) {
    std::unique_ptr<char[]> out(new char[room]);
    const size_t written = nnotes::TranslateBounded(toLmbcs, in.data(), in.size(), out.get(), room);
    EXPECT_LE(written, room);
    return std::string(out.get(), written);
}

std::string Repeat(const std::string& piece, size_t times) {
    std::string s;
    for (size_t i = 0; i < times; ++i) s += piece;
    return s;
}

// Native (Shift_JIS) characters that grow in LMBCS: あ (2 bytes -> 3), ｱ (1 byte -> 3).
const std::string kHiraganaA = "\x82\xa0";
const std::string kKatakanaA = "\xb1";
// An LMBCS character that grows in Shift_JIS: § is one byte of group 1 and two in code
// page 932 (0x81 0x98).
const std::string kSectionLmbcs = "\xf5";
const std::string kSectionSjis = "\x81\x98";

TEST(FixedBuffers, NotesPath256TakesAt255LmbcsBytes) {
    const size_t pathSize = static_cast<size_t>(notes::MAXPATH);
    // 85 あ are 170 native bytes and 255 in LMBCS: the largest path that fits, with its NUL.
    EXPECT_EQ(255u, nnotes::NativeToLmbcs(Repeat(kHiraganaA, 85).data(), 170).size());
    EXPECT_EQ(Repeat("\x10\x82\xa0", 85), Translate(true, Repeat(kHiraganaA, 85), RoomOf(pathSize)));
    // One more character is 258 bytes: the conversion job measures this in a larger buffer
    // and refuses the path (NotesPathThatDoesNotFitIsRefusedBeforeAnyOpen); a cut path
    // would name another database.
    EXPECT_EQ(258u, nnotes::NativeToLmbcs(Repeat(kHiraganaA, 86).data(), 172).size());
    EXPECT_EQ(Repeat("\x10\x82\xa0", 85), Translate(true, Repeat(kHiraganaA, 86), RoomOf(pathSize)));
}

TEST(FixedBuffers, ConfigurationValue781IsCutAt780BytesOfWholeCharacters) {
    // OSGetEnvironmentString fills at most 780 bytes; § doubles in Shift_JIS.
    const std::string value = Repeat(kSectionLmbcs, 780);
    EXPECT_EQ(Repeat(kSectionSjis, 390), Translate(false, value, RoomOf(notes::kConfigValueSize)));
    EXPECT_EQ(Repeat(kSectionSjis, 390), Translate(false, value + "x", RoomOf(notes::kConfigValueSize)));
}

TEST(FixedBuffers, DatabaseTitle128HoldsTheRuntimes96ByteTitleEvenWhenItGrows) {
    // The runtime cuts a title to 96 bytes of LMBCS (NSFDbInfoGet); 96 § become 192 native
    // bytes, which the 128-byte m_title cuts at 126: 63 whole characters.
    EXPECT_EQ(96u, nnotes::LmbcsFit(Repeat(kSectionLmbcs, 97), 96));
    EXPECT_EQ(Repeat(kSectionSjis, 63),
              Translate(false, Repeat(kSectionLmbcs, 96), RoomOf(notes::kDatabaseTitleSize)));
}

TEST(FixedBuffers, FormTitle130CutMidCharacterTranslatesToWholeCharacters) {
    // AddFormEntry copies at most 129 bytes of LMBCS, whatever they cut: "A" and 43
    // Japanese characters are 130 bytes, so the last character loses its last byte.
    const std::string title = "A" + Repeat("\x10\x8c\xda", 43);
    const std::string cut = title.substr(0, notes::kFormTitleSize - 1);
    ASSERT_EQ(129u, cut.size());
    const std::string native = Translate(false, cut, RoomOf(notes::kFormTitleSize));
    EXPECT_LE(native.size(), 129u);
    EXPECT_EQ("A" + Repeat("\x8c\xda", 42), native.substr(0, 85));
    // What the cut character leaves is no Shift_JIS lead byte waiting for a second byte.
    const unsigned char last = static_cast<unsigned char>(native.back());
    EXPECT_FALSE((last >= 0x81 && last <= 0x9f) || (last >= 0xe0 && last <= 0xfc));
}

TEST(FixedBuffers, FormName391HoldsTheLongestTitleAndCutsOneCharacterMore) {
    // A form name comes from the form list: at most 129 native bytes. 130 ｱ would be 390
    // bytes of LMBCS, exactly the room; 131 are cut to the 130 that fit.
    EXPECT_EQ(Repeat("\x10\x10\xb1", 130),
              Translate(true, Repeat(kKatakanaA, 130), RoomOf(notes::kFormNameLmbcsSize)));
    EXPECT_EQ(Repeat("\x10\x10\xb1", 130),
              Translate(true, Repeat(kKatakanaA, 131), RoomOf(notes::kFormNameLmbcsSize)));
}

TEST(FixedBuffers, ItemName255IsCutAt254BytesOfWholeCharacters) {
    // An item name of 85 ｱ is 255 bytes of LMBCS, one over the room of the 255-byte buffer:
    // the last whole character that fits ends at 252.
    EXPECT_EQ(Repeat("\x10\x10\xb1", 84),
              Translate(true, Repeat(kKatakanaA, 85), RoomOf(notes::kConvertItemNameSize)));
}

TEST(FixedBuffers, CollectItemName256KeepsWholeCharacters) {
    // The runtime accepts item names far longer than 255 bytes; CollectItem copies 255 and
    // translates them into 256 bytes.
    const std::string name = Repeat("\x10\x8c\xda", 100).substr(0, notes::kScanItemNameSize - 1);
    const std::string native = Translate(false, name, RoomOf(notes::kScanItemNameSize));
    EXPECT_EQ(Repeat("\x8c\xda", 85), native);
}

TEST(FixedBuffers, TextBuffers64000CutInsideAndStayCsvSafe) {
    // A text one byte over the buffer: 64000 bytes of LMBCS of which 63999 reach the
    // translation (strnlen of a full buffer), translated into at most 63999 bytes.
    const std::string text = Repeat(kSectionLmbcs + ",\n", 21333) + "x";
    ASSERT_EQ(64000u, text.size());
    const std::string native =
        Translate(false, text.substr(0, notes::kItemTextSize - 1), RoomOf(notes::kItemTextSize));
    // 15999 whole "§,\n" (four native bytes each), then the § and the comma that still fit.
    EXPECT_EQ(Repeat(kSectionSjis + ",\n", 15999) + kSectionSjis + ",", native);
    std::unique_ptr<char[]> buffer(new char[notes::kItemTextSize]);
    std::memset(buffer.get(), 0, notes::kItemTextSize);
    std::memcpy(buffer.get(), native.data(), native.size());
    MakeCsvSafe(buffer.get(), notes::kItemTextSize);
    EXPECT_EQ(native.size(), strnlen(buffer.get(), notes::kItemTextSize));
    EXPECT_EQ(nullptr, std::memchr(buffer.get(), ',', native.size()));
    EXPECT_EQ(nullptr, std::memchr(buffer.get(), '\n', native.size()));
}

TEST(FixedBuffers, StatusText1024IsCutAt1023Bytes) {
    // OSLoadString fills at most 1023 bytes; the translation is bounded the same way.
    const std::string text = Repeat(kSectionLmbcs, 1024);
    EXPECT_EQ(Repeat(kSectionSjis, 511),
              Translate(false, text.substr(0, notes::kStatusTextSize - 1), RoomOf(notes::kStatusTextSize)));
}

}  // namespace
