// The clean-up that makes an item's text safe for an unquoted CSV cell.
#include "notes/ItemText.h"

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
                      CleanupCase{"LoneCarriageReturnStays", "a\rb", "a\rb"},
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

}  // namespace
