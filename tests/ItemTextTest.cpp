// The clean-up that makes an item's text safe for an unquoted CSV cell, and the count of the
// characters its translation to native text could not hold.
#include "notes/ItemText.h"
#include "notes/LostCharacters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CleanupCase {
    const char* name;
    std::string in;
    std::string out;
};

void PrintTo(const CleanupCase& c, std::ostream* os) { *os << c.name; }

class MakeCsvSafeCases : public ::testing::TestWithParam<CleanupCase> {};

TEST_P(MakeCsvSafeCases, LeavesNoCommaAndNoLineBreak) {
    std::vector<char> buffer(GetParam().in.begin(), GetParam().in.end());
    buffer.push_back('\0');
    MakeCsvSafe(buffer.data(), buffer.size());
    EXPECT_EQ(GetParam().out, std::string(buffer.data()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakeCsvSafeCases,
    ::testing::Values(CleanupCase{"Plain", "abc", "abc"}, CleanupCase{"Empty", "", ""},
                      CleanupCase{"EveryCommaBecomesSemicolon", "a,b,,c,", "a;b;;c;"},
                      CleanupCase{"CrLfBecomesTwoBlanks", "first\r\nsecond", "first  second"},
                      CleanupCase{"BareLineFeedKeepsTheCharacterBefore", "first\nsecond", "first second"},
                      CleanupCase{"FirstByteLineFeed", "\nx", " x"},
                      CleanupCase{"OnlyLineFeeds", "\n\n", "  "},
                      CleanupCase{"CrLfTwice", "a\r\n\r\nb", "a    b"},
                      // Excel starts a new row at a bare CR as at a bare LF.
                      CleanupCase{"LoneCarriageReturnBecomesOneBlank", "a\rb", "a b"},
                      CleanupCase{"CarriageReturnAtTheEnd", "a\r", "a "},
                      CleanupCase{"LineFeedThenCarriageReturnAreTwoBreaks", "a\n\rb", "a  b"},
                      CleanupCase{"CarriageReturnsBeforeCrLf", "a\r\r\nb", "a   b"},
                      // ソ (0x83 0x5C) before a bare line feed keeps both of its bytes.
                      CleanupCase{"DoubleByteBeforeLineFeedIsKept", "\x83\x5c\n", "\x83\x5c "},
                      CleanupCase{"QuotesUnchanged", "\"q\",x", "\"q\";x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeCsvSafe, TextFillingTheWholeBufferIsReadOnlyUpToItsEnd) {
    // No terminator inside the buffer: the guard bytes after it must stay untouched.
    std::vector<char> memory(16 + 4, 'G');
    char* buffer = memory.data();
    std::string text = "a,b\nc,d\r\nefghij";
    ASSERT_EQ(16u, text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[15] = ',';
    MakeCsvSafe(buffer, 16);
    EXPECT_EQ("a;b c;d  efghij;", std::string(buffer, 16));
    EXPECT_EQ("GGGG", std::string(buffer + 16, 4));
}

struct LossCase {
    const char* name;
    std::string original;   // LMBCS
    std::string roundTrip;  // the same after native text and back
    size_t lost;
};

void PrintTo(const LossCase& c, std::ostream* os) { *os << c.name; }

class LostCharacterCases : public ::testing::TestWithParam<LossCase> {};

TEST_P(LostCharacterCases, CountsEachCharacterThatDidNotComeBack) {
    const LossCase& c = GetParam();
    EXPECT_EQ(c.lost, CountLostCharacters(c.original.data(), c.original.size(), c.roundTrip.data(),
                                          c.roundTrip.size()));
}

const std::string kHangulSeo("\x11\xbc\xad", 3);                  // 서 in the Korean group
const std::string kYa("\x10\x96\xec", 3);                         // 野 in the Japanese group
const std::string kSurrogatePair("\x14\xd8\x42\x14\xdf\xb7", 6);  // 𠮷
const std::string kControlA("\x0f\x21", 2);                       // control character 0x01

INSTANTIATE_TEST_SUITE_P(
    Table, LostCharacterCases,
    ::testing::Values(
        LossCase{"Empty", "", "", 0}, LossCase{"SameAscii", "abc", "abc", 0},
        LossCase{"SameJapaneseAndLatin", kYa + "\x9e\xf8", kYa + "\x9e\xf8", 0},
        LossCase{"SameControl", kControlA, kControlA, 0},
        LossCase{"HangulReplaced", "a" + kHangulSeo + "b", "a?b", 1},
        LossCase{"SurrogatePairIsOneCharacter", kSurrogatePair + kYa, "?" + kYa, 1},
        // 😀: the low half U+DE00 written as 0xF6 and its high byte
        LossCase{"PairWithZeroLowByteIsOneCharacter", std::string("\x14\xd8\x3d\x14\xf6\xde", 6) + "a", "?a",
                 1},
        LossCase{"EveryReplacementCounts", kSurrogatePair + " " + kHangulSeo + kHangulSeo, "? ??", 3},
        LossCase{"LoneHighSurrogateIsOneCharacter", std::string("\x14\xd8\x42", 3) + "a", "?a", 1},
        LossCase{"LookAlikeCounts", std::string("\x14\x21\x2c", 3), "B", 1},
        LossCase{"CutShortCountsTheRest", "\x9e\x9e\x9e\x9e", "\x9e", 3},
        LossCase{"OriginalQuestionMarkIsKept", "?" + kHangulSeo, "??", 1},
        LossCase{"CharacterCutByTheEnd", std::string("a\x10\x96", 3), "a", 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct AsciiCase {
    const char* name;
    std::string text;
    bool plain;      // needs no second translation
    bool printable;  // needs no translation at all: the same bytes in LMBCS and natively
};

void PrintTo(const AsciiCase& c, std::ostream* os) { *os << c.name; }

class PlainAsciiCases : public ::testing::TestWithParam<AsciiCase> {};

TEST_P(PlainAsciiCases, TellsTextThatNeedsNoTranslation) {
    EXPECT_EQ(GetParam().plain, IsPlainAscii(GetParam().text.data(), GetParam().text.size()));
    EXPECT_EQ(GetParam().printable, IsPrintableAscii(GetParam().text.data(), GetParam().text.size()));
}

INSTANTIATE_TEST_SUITE_P(Table, PlainAsciiCases,
                         ::testing::Values(AsciiCase{"Empty", "", true, true},
                                           AsciiCase{"EveryPrintable", " !09AZaz\\~", true, true},
                                           AsciiCase{"PrintableTabAndLineBreaks", "a ~,;\t\r\n", true, false},
                                           AsciiCase{"Delete", "a\x7f", true, false},
                                           AsciiCase{"LatinGroupOneByte",
                                                     "30\x9e"
                                                     "40",
                                                     false, false},
                                           AsciiCase{"GroupByte", kYa, false, false},
                                           AsciiCase{"ControlGroup", kControlA, false, false},
                                           AsciiCase{"Lotus123Byte", "\x19", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
