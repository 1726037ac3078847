// Every text of the string table, byte for byte as LoadStringA returns it on code page 932.
// The expected bytes were made by scripts/sjis-literal, independently of the resource
// compiler and of Wine's code-page tables.
#include "framework/ResourceString.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct ExpectedString {
    UINT id;
    const char* bytes;
};

void PrintTo(const ExpectedString& c, std::ostream* os) { *os << c.id; }

const ExpectedString kExpected[] = {
    {720, "\x83l\x83""b\x83g\x83\x8f\x81[\x83N\x83p\x83X\x82\xcd\x8eg\x97p\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"},
    {721, "\x90\xe2\x91\xce\x83p\x83X\x82\xc5\x8ew\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {722, "\x8e\x9f\x82\xcc\x95\xb6\x8e\x9a\x82\xcd\x83t\x83@\x83""C\x83\x8b\x96\xbc\x82\xc9\x8eg\x97p\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x0a \x5c/ : , ; * \x3f \x5c\x22\x22 < > | "},
    {723, "\x83t\x83H\x83\x8b\x83_\x82\xcd\x91I\x91\xf0\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"},
    {724, "\x82\xb1\x82\xcc\x83t\x83@\x83""C\x83\x8b\x82\xc9\x82\xcd\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x90\xea\x97p\x91\xae\x90\xab\x82\xaa\x90\xdd\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81""B\x0a\x95\xca\x82\xcc\x83t\x83@\x83""C\x83\x8b\x96\xbc\x82\xf0\x8eg\x97p\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {725, "\x83t\x83@\x83""C\x83\x8b\x96\xbc\x82\xcc\x92\xb7\x82\xb3\x82\xaa OS \x82\xcc\x90\xa7\x8c\xc0\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {1201, "INFO     "},
    {1202, "NOTICE   "},
    {1203, "-----------------------------------------"},
    {1205, "Quillsheet is started."},
    {1206, "Start Conversion"},
    {1207, "DEBUG    "},
    {1208, "WARNING  "},
    {1209, "ERROR    "},
    {1210, "\x83t\x83@\x83""C\x83\x8b\x96\xa2\x92\xe8\x8b`"},
    {1211, "\x95s\x90\xb3\x83p\x83X"},
    {1212, "\x83I\x81[\x83v\x83\x93 \x83t\x83@\x83""C\x83\x8b\x90\x94\x92\xb4\x89\xdf"},
    {1213, "\x83t\x83@\x83""C\x83\x8b \x83""A\x83N\x83Z\x83X\x8b\xd6\x8e~"},
    {1214, "\x95s\x90\xb3\x83t\x83@\x83""C\x83\x8b \x83n\x83\x93\x83h\x83\x8b\x8eg\x97p"},
    {1215, "\x8d\xec\x8b\xc6\x92\x86\x82\xcc\x83J\x83\x8c\x83\x93\x83g \x83""f\x83""B\x83\x8c\x83N\x83g\x83\x8a\x82\xcc\x8d\xed\x8f\x9c\x95s\x89\xc2"},
    {1216, "\x83""f\x83""B\x83\x8c\x83N\x83g\x83\x8a \x83t\x83\x8b"},
    {1217, "\x83t\x83@\x83""C\x83\x8b \x83|\x83""C\x83\x93\x83^\x90\xdd\x92\xe8\x83G\x83\x89\x81["},
    {1218, "\x83n\x81[\x83h\x83""E\x83""F\x83""A \x83G\x83\x89\x81["},
    {1219, "SHARE.EXE \x96\xa2\x83\x8d\x81[\x83h\x82\xdc\x82\xbd\x82\xcd\x8b\xa4\x97L\x97\xcc\x88\xe6\x83\x8d\x83""b\x83N\x8d\xcf\x82\xdd"},
    {1220, "\x83\x8d\x83""b\x83N\x8d\xcf\x82\xdd\x97\xcc\x88\xe6\x82\xcc\x83\x8d\x83""b\x83N\x97v\x8b\x81"},
    {1221, "\x83""f\x83""B\x83X\x83N \x83t\x83\x8b"},
    {1222, "\x83t\x83@\x83""C\x83\x8b\x82\xcc\x8fI\x82\xed\x82\xe8\x82\xc9\x93\x9e\x92""B"},
    {1223, " \x96\xa2\x92\xe8\x8b`\x83G\x83\x89\x81["},
    {1224, "Log File Error!"},
    {1225, "COMMAND  "},
    {1226, "RESULT   "},
};

class StringTable : public ::testing::TestWithParam<ExpectedString> {};

TEST(StringTableSetup, RunsOnCodePage932) { ASSERT_EQ(932u, GetACP()); }

TEST_P(StringTable, LoadsExactShiftJisBytes) {
    std::string text;
    ASSERT_TRUE(LoadResString(GetParam().id, text));
    EXPECT_EQ(std::string(GetParam().bytes), text);
}

INSTANTIATE_TEST_SUITE_P(AllTexts, StringTable, ::testing::ValuesIn(kExpected),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST(StringTableShape, LevelTagsAreNineCharacters) {
    for (UINT id : {1201u, 1202u, 1207u, 1208u, 1209u, 1225u, 1226u}) {
        EXPECT_EQ(9u, ResString(id).size()) << id;
    }
}

TEST(StringTableShape, BadCharacterMessageEndsWithTheTwentyFourListedCharacters) {
    const std::string text = ResString(722);
    const size_t lf = text.find('\n');
    ASSERT_NE(std::string::npos, lf);
    EXPECT_EQ(" \\/ : , ; * ? \\\"\" < > | ", text.substr(lf + 1));
    EXPECT_EQ(24u, text.size() - lf - 1);
}

TEST(StringTableShape, SeparatorIsFortyOneHyphens) { EXPECT_EQ(std::string(41, '-'), ResString(1203)); }

TEST(StringTableShape, GenericCauseStartsWithABlank) { EXPECT_EQ(' ', ResString(1223).at(0)); }

TEST(StringTableShape, CopyrightIsOneNonEmptyLine) {
    const std::string text = ResString(1204);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
}

TEST(StringTableShape, MissingIdLoadsNothing) {
    std::string text = "x";
    EXPECT_FALSE(LoadResString(1200, text));
    EXPECT_TRUE(text.empty());
}

}  // namespace
