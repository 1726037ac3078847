// The runtime's LMBCS codec natively, with code page 932 as the native code page.
#include "nnotes/Lmbcs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Translates into a heap block of exactly `size` bytes, so that a write past it is an
// AddressSanitizer report; returns what was written.
std::string Translate(bool toLmbcs, const std::string& in, size_t size) {
    std::unique_ptr<char[]> out(new char[size]);
    const size_t written = nnotes::TranslateBounded(toLmbcs, in.data(), in.size(), out.get(), size);
    EXPECT_LE(written, size);
    if (written < size) EXPECT_EQ('\0', out[written]);
    return std::string(out.get(), written);
}

// 顧客 in Shift_JIS and in LMBCS (group 0x10 and the Shift_JIS bytes).
const std::string kKokyakuSjis = "\x8c\xda\x8b\x71";
const std::string kKokyakuLmbcs = "\x10\x8c\xda\x10\x8b\x71";

TEST(NativeLmbcs, JapaneseTakesGroup0x10BothWays) {
    EXPECT_EQ(kKokyakuLmbcs, nnotes::NativeToLmbcs(kKokyakuSjis.data(), kKokyakuSjis.size()));
    EXPECT_EQ(kKokyakuSjis, nnotes::LmbcsToNative(kKokyakuLmbcs.data(), kKokyakuLmbcs.size()));
    // Half-width katakana ｱ repeats the group byte.
    EXPECT_EQ("\x10\x10\xb1", nnotes::NativeToLmbcs("\xb1", 1));
    EXPECT_EQ("\xb1", nnotes::LmbcsToNative("\x10\x10\xb1", 3));
}

TEST(NativeLmbcs, Utf8OfTheDatabaseFilesRoundTrips) {
    const std::string utf8 =
        "\xe9\xa1\xa7\xe5\xae\xa2 \xce\xa9 \xd0\x96 \xc3\xa9 \xf0\x9f\x98\x80";  // 顧客 Ω Ж é 😀
    EXPECT_EQ(utf8, nnotes::LmbcsToUtf8(nnotes::Utf8ToLmbcs(utf8)));
}

TEST(NativeLmbcs, EverySizeKeepsWholeCharactersInsideTheBuffer) {
    const std::string lmbcs = kKokyakuLmbcs + "ab" + kKokyakuLmbcs;
    const std::string whole = nnotes::LmbcsToNative(lmbcs.data(), lmbcs.size());
    ASSERT_EQ(10u, whole.size());
    const size_t expected[] = {0, 0, 2, 2, 4, 5, 6, 6, 8, 8, 10, 10};
    for (size_t size = 0; size < sizeof expected / sizeof expected[0]; ++size) {
        EXPECT_EQ(whole.substr(0, expected[size]), Translate(false, lmbcs, size)) << size;
    }
    const std::string back = nnotes::NativeToLmbcs(whole.data(), whole.size());
    for (size_t size = 0; size <= back.size() + 1; ++size) {
        EXPECT_EQ(back.substr(0, nnotes::LmbcsFit(back, size)), Translate(true, whole, size)) << size;
    }
}

TEST(NativeLmbcs, LoneLeadByteAtTheEndOrBeforeANulStandsAlone) {
    EXPECT_EQ(1u, nnotes::NativeCharLength("\x81", 1));
    EXPECT_EQ(1u, nnotes::NativeCharLength("\x81\0\x40", 3));
    for (const std::string& in : {std::string("ab\x81"), std::string("\x82\0\x82\xa0", 4)}) {
        const std::string lmbcs = nnotes::NativeToLmbcs(in.data(), in.size());
        for (size_t size = 0; size <= lmbcs.size() + 1; ++size) {
            EXPECT_EQ(lmbcs.substr(0, nnotes::LmbcsFit(lmbcs, size)), Translate(true, in, size));
        }
    }
}

TEST(NativeLmbcs, GroupByteCutShortByTheEndIsReadOnlyToTheEnd) {
    // 0x10 promises two more bytes, 0x14 two, 0x0F one: none of them are there.
    EXPECT_EQ(2u, nnotes::LmbcsCharLength("\x10\x88", 2));
    EXPECT_EQ(2u, nnotes::LmbcsCharLength("\x14\x4e", 2));
    EXPECT_EQ(1u, nnotes::LmbcsCharLength("\x0f", 1));
    for (const std::string& in : {std::string("a\x10\x88"), std::string("\x14\x4e"), std::string("\x0f")}) {
        const std::string native = nnotes::LmbcsToNative(in.data(), in.size());
        EXPECT_FALSE(native.empty());
        EXPECT_EQ(native, Translate(false, in, native.size() + 1));
    }
}

}  // namespace
