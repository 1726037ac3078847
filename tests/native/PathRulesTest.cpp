// The path rules natively, with the file system behind the lookup seam: every message of
// the rules, and Shift_JIS bytes the rules must step over as whole characters.
#include "job/PathRules.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

PathEntryInfo g_entry{};
std::string g_lookedUp;

PathEntryInfo Lookup(const char* path) {
    g_lookedUp = path;
    return g_entry;
}

unsigned Check(const std::string& path, PathEntryInfo entry = {}) {
    g_entry = entry;
    g_lookedUp.clear();
    return CheckPathRules(path, IsCp932LeadByte, Lookup);
}

// 表 is 0x95 0x5C: its second byte has the value of a backslash.
const std::string kHyo = "\x95\x5c";

TEST(NativePathRules, EachRuleGivesItsMessage) {
    EXPECT_EQ(0u, Check("C:\\data\\sample.nsf"));
    EXPECT_EQ(unsigned{IDS_PATH_NETWORK}, Check("\\\\server\\share\\a.nsf"));
    EXPECT_EQ(unsigned{IDS_PATH_NOT_ABSOLUTE}, Check("sample.nsf"));
    EXPECT_EQ(unsigned{IDS_PATH_NOT_ABSOLUTE}, Check("C:sample.nsf"));
    EXPECT_EQ(unsigned{IDS_PATH_BAD_CHARS}, Check("C:\\data\\"));
    EXPECT_EQ(unsigned{IDS_PATH_BAD_CHARS}, Check("C:\\a*b.csv"));
    EXPECT_EQ(unsigned{IDS_PATH_FOLDER}, Check("C:\\data", {true, true, false}));
    EXPECT_EQ(unsigned{IDS_PATH_READONLY}, Check("C:\\ro.nsf", {true, false, true}));
    EXPECT_EQ("C:\\ro.nsf", g_lookedUp);
}

TEST(NativePathRules, LengthLimitIsMaxPathMinusOne) {
    const std::string fits = "C:\\" + std::string(252, 'a') + ".csv";
    ASSERT_EQ(259u, fits.size());
    EXPECT_EQ(0u, Check(fits));
    EXPECT_EQ(unsigned{IDS_PATH_TOO_LONG}, Check(fits + "x"));
}

TEST(NativePathRules, TrailByteOfBackslashValueIsNoBackslash) {
    EXPECT_EQ(0u, Check("C:\\" + kHyo));
    EXPECT_FALSE(EndsWithBackslash("C:\\" + kHyo, IsCp932LeadByte));
    EXPECT_EQ(std::string::npos, FindMultibyte("\x95:\\", ":\\", IsCp932LeadByte));
}

TEST(NativePathRules, LoneLeadBytesCountAsSingleCharacters) {
    // A lead byte at the very end has no second byte: it is a character of its own.
    EXPECT_EQ(0u, Check("C:\\a\\b\x81"));
    // Before a backslash it is a lead byte with its second byte: the path ends in a
    // double-byte character, not in a backslash.
    EXPECT_EQ(0u, Check("C:\\a\\\x81\\"));
    EXPECT_TRUE(EndsWithBackslash("\x81\\\\", IsCp932LeadByte));
    // A lead byte in front of the colon swallows it: no drive prefix.
    EXPECT_EQ(unsigned{IDS_PATH_NOT_ABSOLUTE}, Check("\x81:\\a.nsf"));
    // A lead byte just before a forbidden character hides it.
    EXPECT_EQ(0u, Check("C:\\a\x81*b.csv"));
}

TEST(NativePathRules, TrimLeavesABlankOnlyTextAlone) {
    std::string text = "   C:\\a.csv";
    EXPECT_TRUE(TrimLeadingSpaces(text));
    EXPECT_EQ("C:\\a.csv", text);
    std::string blanks = "   ";
    EXPECT_FALSE(TrimLeadingSpaces(blanks));
    EXPECT_EQ("   ", blanks);
    EXPECT_EQ(unsigned{IDS_PATH_NOT_ABSOLUTE}, Check(blanks));
    std::string tab = "\tC:\\a.csv";
    EXPECT_TRUE(TrimLeadingSpaces(tab));
    EXPECT_EQ("\tC:\\a.csv", tab);
}

}  // namespace
