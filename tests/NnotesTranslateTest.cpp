// nnotes.dll's OSTranslate between code page 932 and LMBCS: checked against ICU over every
// character of the code page (the vectors scripts/lmbcs-vectors makes with uconv at build
// time), and for the bounds of the output buffer.

#include "NnotesLibrary.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <vector>

using namespace notes;

namespace {

struct Vector {
    std::string native;  // the character in code page 932, as ICU's cp932 has it
    uint32_t unicode;    // ICU's code point for it
    std::string lmbcs;   // ICU's LMBCS-1 of it
    std::string back;    // ICU's code page 932 of that LMBCS
};

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\'));
}

std::vector<Vector> LoadVectors() {
    std::vector<Vector> out;
    std::ifstream in(ExeFolder() + "\\lmbcs-cp932.bin", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (all.size() < 12 || all.compare(0, 8, "QSLMBCS1") != 0) return out;
    size_t pos = 8;
    auto byte = [&]() { return static_cast<uint8_t>(all.at(pos++)); };
    auto dword = [&]() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    };
    auto bytes = [&]() {
        size_t n = byte();
        std::string s = all.substr(pos, n);
        pos += n;
        return s;
    };
    uint32_t count = dword();
    for (uint32_t i = 0; i < count; ++i) {
        Vector v;
        v.native = bytes();
        v.unicode = dword();
        v.lmbcs = bytes();
        v.back = bytes();
        out.push_back(v);
    }
    return out;
}

// The code point Windows' code page 932 gives a character; 0xFFFFFFFF when it has none.
uint32_t WindowsUnicode(const std::string& native) {
    wchar_t w[2];
    int n =
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, native.data(), static_cast<int>(native.size()), w, 2);
    return n == 1 ? static_cast<uint32_t>(w[0]) : 0xFFFFFFFF;
}

std::string Hex(const std::string& s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        snprintf(b, sizeof b, "%02X", c);
        out += b;
    }
    return out;
}

class NnotesTranslate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, lib.OSTranslate);
        ASSERT_EQ(932u, GetACP()) << "the tests run with the Japanese ANSI code page";
    }
    NnotesLibrary lib;
};

}  // namespace

TEST_F(NnotesTranslate, EveryCodePage932CharacterMatchesIcu) {
    const std::vector<Vector> vectors = LoadVectors();
    // Code page 932 holds over 9000 characters; fewer means the vector file is broken.
    ASSERT_GT(vectors.size(), 9000u) << "lmbcs-cp932.bin beside the test";
    // ICU's LMBCS of each character, by code point: where ICU's and Windows' tables give a
    // byte sequence different code points (ICU's cp932 swaps the controls 0x1A, 0x1C and 0x7F
    // as IBM's does), the character Windows means is what must come out.
    std::map<uint32_t, std::string> lmbcsOf;
    for (const auto& v : vectors) {
        auto it = lmbcsOf.emplace(v.unicode, v.lmbcs).first;
        EXPECT_EQ(it->second, v.lmbcs) << "ICU gives one code point two encodings";
    }
    size_t exact = 0, differentTables = 0;
    for (const auto& v : vectors) {
        // NUL ends the text OSTranslate is given, so it has no translation of its own.
        if (v.native == std::string(1, '\0')) continue;
        const uint32_t windows = WindowsUnicode(v.native);
        ASSERT_NE(0xFFFFFFFFu, windows) << Hex(v.native) << " is no character to Windows";
        auto expected = lmbcsOf.find(windows);
        ASSERT_NE(lmbcsOf.end(), expected) << Hex(v.native);
        EXPECT_EQ(Hex(expected->second), Hex(lib.ToLmbcs(v.native))) << "native " << Hex(v.native);
        if (windows == v.unicode) {
            ++exact;
        } else {
            ++differentTables;
        }
        // Back to native: ICU's bytes wherever Windows means the same character by them;
        // otherwise the bytes by which Windows means ICU's character.
        const std::string native = lib.ToNative(v.lmbcs);
        if (WindowsUnicode(v.back) == v.unicode) {
            EXPECT_EQ(Hex(v.back), Hex(native)) << "LMBCS " << Hex(v.lmbcs);
        } else {
            EXPECT_EQ(v.unicode, WindowsUnicode(native)) << "LMBCS " << Hex(v.lmbcs);
        }
    }
    EXPECT_LT(differentTables, 10u);
    EXPECT_GT(exact, 9000u);
}

TEST_F(NnotesTranslate, WholeStringIsTheCharactersOneAfterAnother) {
    const std::vector<Vector> vectors = LoadVectors();
    ASSERT_GT(vectors.size(), 9000u);
    // Characters of every kind side by side translate as each alone does.
    std::string native, lmbcs;
    for (size_t i = 0; i < vectors.size(); i += 7) {
        if (vectors[i].native == "\x1a" || vectors[i].native == "\x1c" || vectors[i].native == "\x7f" ||
            vectors[i].native[0] == '\0') {
            continue;
        }
        native += vectors[i].native;
        lmbcs += lib.ToLmbcs(vectors[i].native);
        if (native.size() > 20000) break;
    }
    EXPECT_EQ(Hex(lmbcs), Hex(lib.ToLmbcs(native)));
}

struct KnownCase {
    const char* name;
    std::string native;
    std::string lmbcs;
};

class NnotesTranslateKnown : public NnotesTranslate, public ::testing::WithParamInterface<KnownCase> {};

TEST_P(NnotesTranslateKnown, BothDirections) {
    EXPECT_EQ(Hex(GetParam().lmbcs), Hex(lib.ToLmbcs(GetParam().native)));
    EXPECT_EQ(Hex(GetParam().native), Hex(lib.ToNative(GetParam().lmbcs)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesTranslateKnown,
    ::testing::Values(KnownCase{"Ascii", "Hello, World!", "Hello, World!"},
                      KnownCase{"Hiragana", "\x82\xa0", std::string("\x10\x82\xa0", 3)},
                      KnownCase{"HalfWidthKatakana", "\xb1", std::string("\x10\x10\xb1", 3)},
                      KnownCase{"GreekAlpha", "\x83\x9f", std::string("\x02\xa4", 2)},
                      KnownCase{"CyrillicA", "\x84\x40", std::string("\x05\xc0", 2)},
                      KnownCase{"PlusMinusIsLatin1", "\x81\x7d", std::string("\xf1", 1)},
                      KnownCase{"Ellipsis", "\x81\x63", std::string("\x03\x85", 2)},
                      KnownCase{"Tab", "\t", "\t"}, KnownCase{"ControlA", "\x01", std::string("\x0f\x21", 2)},
                      KnownCase{"Backslash", "\\", "\\"},
                      // One byte in LMBCS group 1, two in code page 932.
                      KnownCase{"MultiplicationIsLatin1", "\x81\x7e", std::string("\x9e", 1)},
                      KnownCase{"DegreeIsLatin1", "\x81\x8b", std::string("\xf8", 1)},
                      KnownCase{"SectionIsLatin1", "\x81\x98", std::string("\xf5", 1)}),
    [](const ::testing::TestParamInfo<KnownCase>& info) { return std::string(info.param.name); });

struct UnheldCase {
    const char* name;
    std::string lmbcs;   // as ICU's LMBCS-1 encodes it
    std::string native;  // what code page 932 gets
};

void PrintTo(const UnheldCase& c, std::ostream* os) { *os << c.name; }

class NnotesTranslateUnheld : public NnotesTranslate, public ::testing::WithParamInterface<UnheldCase> {};

TEST_P(NnotesTranslateUnheld, EachCharacterWithoutANativeFormBecomesOneQuestionMark) {
    EXPECT_EQ(Hex(GetParam().native), Hex(lib.ToNative(GetParam().lmbcs)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesTranslateUnheld,
    ::testing::Values(
        // 𠮷 (U+20BB7): its surrogate pair, two Unicode-group characters, is one character.
        UnheldCase{"SupplementaryPair", std::string("\x14\xd8\x42\x14\xdf\xb7\x10\x96\xec", 9), "?\x96\xec"},
        // 😀 (U+1F600): its low half U+DE00 is 0xF6 and its high byte, as no NUL may appear.
        UnheldCase{"Emoji", std::string("a\x14\xd8\x3d\x14\xf6\xdez", 8), "a?z"},
        // 서울 in the Korean group, as ICU writes it, and 서 in the Unicode group.
        UnheldCase{"HangulKoreanGroup", std::string("\x11\xbc\xad\x11\xbf\xef", 6), "??"},
        UnheldCase{"HangulUnicodeGroup", std::string("\x14\xc1\x1c", 3), "?"},
        UnheldCase{"LoneHighSurrogate",
                   std::string("\x14\xd8\x42"
                               "b",
                               4),
                   "?b"},
        UnheldCase{"LoneLowSurrogate",
                   std::string("\x14\xdf\xb7"
                               "b",
                               4),
                   "?b"}),
    [](const ::testing::TestParamInfo<UnheldCase>& info) { return std::string(info.param.name); });

// OSTranslate's LMBCS to UTF-8 (mode 22): every character whole, a surrogate pair as the one
// character beyond the 16-bit range it stands for.
struct Utf8Case {
    const char* name;
    std::string lmbcs;
    std::string utf8;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }

class NnotesTranslateUtf8 : public NnotesTranslate, public ::testing::WithParamInterface<Utf8Case> {};

TEST_P(NnotesTranslateUtf8, GivesEachCharacterWhole) {
    char out[64];
    memset(out, 'x', sizeof out);
    const WORD n = lib.OSTranslate(OS_TRANSLATE_LMBCS_TO_UTF8, GetParam().lmbcs.data(),
                                   static_cast<WORD>(GetParam().lmbcs.size()), out, sizeof out);
    EXPECT_EQ(Hex(GetParam().utf8), Hex(std::string(out, n)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NnotesTranslateUtf8,
    ::testing::Values(Utf8Case{"Ascii", "Hello, World!", "Hello, World!"},
                      Utf8Case{"HiraganaOfTheJapaneseGroup", std::string("\x10\x82\xa0", 3), u8"あ"},
                      Utf8Case{"HalfWidthKatakana", std::string("\x10\x10\xb6\x10\x10\xde", 6), u8"ｶﾞ"},
                      Utf8Case{"LatinOfGroupOne", std::string("Caf\x82 M\x81ller", 11), u8"Café Müller"},
                      Utf8Case{"Multiplication", std::string("\x9e", 1), u8"×"},
                      Utf8Case{"GreekAlpha", std::string("\x02\xa4", 2), u8"Α"},
                      Utf8Case{"SupplementaryPair", std::string("\x14\xd8\x42\x14\xdf\xb7\x10\x96\xec", 9),
                               u8"𠮷野"},
                      Utf8Case{"EmojiWithZeroLowByte", std::string("a\x14\xd8\x3d\x14\xf6\xdez", 8), u8"a😀z"},
                      Utf8Case{"HangulUnicodeGroup", std::string("\x14\xc1\x1c", 3), u8"서"},
                      Utf8Case{"LoneHighSurrogateIsReplaced",
                               std::string("\x14\xd8\x42"
                                           "b",
                                           4),
                               u8"\uFFFDb"},
                      Utf8Case{"ControlsAndBreaks", std::string("\x0f\x21\t\r\n", 5), "\x01\t\r\n"}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

TEST_F(NnotesTranslate, SurrogatePairIsNeverSplitByTheBuffer) {
    const std::string in(
        "a\x14\xd8\x42\x14\xdf\xb7"
        "b",
        8);
    char out[8];
    memset(out, 'x', sizeof out);
    // Room for "a" and one more byte: the pair's "?" fits, "b" does not.
    EXPECT_EQ(2,
              lib.OSTranslate(OS_TRANSLATE_LMBCS_TO_NATIVE, in.data(), static_cast<WORD>(in.size()), out, 2));
    EXPECT_EQ("a?", std::string(out, 2));
    EXPECT_EQ('x', out[2]);
}

TEST_F(NnotesTranslate, StopsAtNulInsideTheInputLength) {
    const char in[] = "ab\0cd";
    char out[16];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(2, lib.OSTranslate(OS_TRANSLATE_NATIVE_TO_LMBCS, in, 5, out, sizeof out));
    EXPECT_STREQ("ab", out);
}

TEST_F(NnotesTranslate, UnknownModeTranslatesNothing) {
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, lib.OSTranslate(7, "abc", 3, out, sizeof out));
    EXPECT_EQ('x', out[0]);
}

struct BoundsCase {
    const char* name;
    WORD mode;
    std::string in;
    std::vector<size_t> ends;  // where whole output characters end
};

class NnotesTranslateBounds : public NnotesTranslate, public ::testing::WithParamInterface<BoundsCase> {};

TEST_P(NnotesTranslateBounds, EverySizeStaysInsideAndKeepsWholeCharacters) {
    const BoundsCase& c = GetParam();
    const size_t fullLength = c.ends.back();
    std::vector<char> whole(fullLength + 8, 'x');
    ASSERT_EQ(fullLength, lib.OSTranslate(c.mode, c.in.data(), static_cast<WORD>(c.in.size()), whole.data(),
                                          static_cast<WORD>(whole.size())));
    for (WORD size = 0; size <= fullLength + 2; ++size) {
        std::vector<char> out(size + 8, 'x');
        WORD n = lib.OSTranslate(c.mode, c.in.data(), static_cast<WORD>(c.in.size()), out.data(), size);
        size_t expected = 0;
        for (size_t e : c.ends) {
            if (e <= size) expected = e;
        }
        EXPECT_EQ(expected, n) << "size " << size;
        EXPECT_EQ(std::string(whole.data(), n), std::string(out.data(), n)) << "size " << size;
        if (n < size) {
            EXPECT_EQ('\0', out[n]) << "a NUL when there is room, size " << size;
        }
        for (size_t i = size; i < out.size(); ++i)
            ASSERT_EQ('x', out[i]) << "size " << size << " wrote at " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NnotesTranslateBounds,
                         ::testing::Values(
                             // a, あ (3 LMBCS bytes), b, ｱ (3), Α (2), c
                             BoundsCase{"ToLmbcs",
                                        OS_TRANSLATE_NATIVE_TO_LMBCS,
                                        "a\x82\xa0"
                                        "b\xb1\x83\x9f"
                                        "c",
                                        {0, 1, 4, 5, 8, 10, 11}},
                             // the same back: a, あ (2 native bytes), b, ｱ (1), Α (2), c
                             BoundsCase{"ToNative",
                                        OS_TRANSLATE_LMBCS_TO_NATIVE,
                                        std::string("a\x10\x82\xa0"
                                                    "b\x10\x10\xb1\x02\xa4"
                                                    "c",
                                                    11),
                                        {0, 1, 3, 4, 5, 7, 8}},
                             // runs of ASCII cut at every byte: ab, あ, cd
                             BoundsCase{"AsciiRunsToLmbcs",
                                        OS_TRANSLATE_NATIVE_TO_LMBCS,
                                        "ab\x82\xa0"
                                        "cd",
                                        {0, 1, 2, 5, 6, 7}},
                             BoundsCase{"AsciiRunsToNative",
                                        OS_TRANSLATE_LMBCS_TO_NATIVE,
                                        "ab\x10\x82\xa0"
                                        "cd",
                                        {0, 1, 2, 4, 5, 6}},
                             // a, あ (3 UTF-8 bytes), b, ｱ (3), Α (2), c, 𠮷 (a pair, 4), d
                             BoundsCase{"ToUtf8",
                                        OS_TRANSLATE_LMBCS_TO_UTF8,
                                        std::string("a\x10\x82\xa0"
                                                    "b\x10\x10\xb1\x02\xa4"
                                                    "c\x14\xd8\x42\x14\xdf\xb7"
                                                    "d",
                                                    18),
                                        {0, 1, 4, 5, 8, 10, 11, 15, 16}}),
                         [](const ::testing::TestParamInfo<BoundsCase>& info) {
                             return std::string(info.param.name);
                         });
