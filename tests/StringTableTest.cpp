// Every text of the string table, byte for byte as LoadStringA returns it on code page 932.
// The expected bytes were made by scripts/sjis-literal, independently of the resource
// compiler and of Wine's code-page tables.
#include "framework/ResourceString.h"
#include "framework/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct ExpectedString {
    UINT id;
    const char* bytes;
};

void PrintTo(const ExpectedString& c, std::ostream* os) { *os << c.id; }

const ExpectedString kExpected[] = {
    {103, "Wizard"},
    {108, "\x8f\x88\x97\x9d\x92\x86..."},
    {110,
     "\x83m\x81[\x83"
     "c API \x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
     "B\x0a\x83m\x81[\x83"
     "c\x82\xaa\x8bN\x93\xae\x82\xc5\x82\xab\x82\xe9\x82\xb1\x82\xc6\x82\xf0\x8am\x94"
     "F\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
     "B"},
    {111,
     "\x83T\x81[\x83o\x81["
     "\x96\xbc\x82\xdc\x82\xbd\x82\xcd\x83p\x83X\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81"
     "B\x83m\x81[\x83"
     "c\x82\xcc\x83p\x83X\x82\xcd 255 \x83o\x83"
     "C\x83g\x88\xc8\x93\xe0\x82\xc5\x8ew\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {112,
     "\x8f\x91\x82\xab\x8fo\x82\xb5\x82\xaa\x8fI\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81I\x83\x8d\x83O"
     "\x83t\x83@\x83"
     "C\x83\x8b\x82\xc6\x8c\x8b\x89\xca\x82\xf0\x8am\x94"
     "F\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {113,
     "\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xf0\x8f\x91\x82\xab\x8fo\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7.."
     "."},
    {138,
     "\x8f\x91\x82\xab\x8fo\x82\xb5\x82\xbd"
     "CSV\x83t\x83@\x83"
     "C\x83\x8b\x82\xcd\x95s\x8a\xae\x91S\x82\xc5\x82\xb7\x81"
     "B%lu \x8ds\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81"
     "B\x83\x8d\x83O\x83t\x83@\x83"
     "C\x83\x8b\x82\xf0\x8am\x94"
     "F\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    // The command line's messages that name a database or the code page spell them as the
    // wizard's texts and the guide do.
    {145,
     "\x8e\x9f\x82\xcc\x88\xf8\x90\x94\x82\xc9\x82\xcd Shift_JIS \x82\xc5\x95\x5c\x82\xb9\x82\xc8\x82\xa2"
     "\x95\xb6\x8e\x9a (\x3f) \x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7: %s"},
    {154,
     "\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xcc\x88\xea\x97\x97\x83t\x83@\x83"
     "C\x83\x8b\x82\xf0\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1: %s"},
    {155,
     "\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1: %s"},
    {156,
     "\x95\xa1\x90\x94\x82\xcc\x83"
     "f\x81[\x83^\x81[\x83x\x81[\x83X\x82\xe2\x83t\x83H\x81[\x83\x80\x82\xf0\x8f\x91\x82\xab\x8fo\x82\xb7"
     "\x82\xc6\x82\xab\x82\xcd\x81"
     "A/out \x82\xc5\x8f\x91\x82\xab\x8fo\x82\xb5\x90\xe6\x82\xcc\x83t\x83H\x83\x8b\x83_\x81[\x82\xf0\x8ew"
     "\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {720,
     "\x83l\x83"
     "b\x83g\x83\x8f\x81[\x83N\x83p\x83X\x82\xcd\x8eg\x97p\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"},
    {721, "\x90\xe2\x91\xce\x83p\x83X\x82\xc5\x8ew\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {722,
     "\x8e\x9f\x82\xcc\x95\xb6\x8e\x9a\x82\xcd\x83t\x83@\x83"
     "C\x83\x8b\x96\xbc\x82\xc9\x8eg\x97p\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x0a \x5c/ : , ; * \x3f "
     "\x5c\x22\x22 < > | "},
    {723, "\x83t\x83H\x83\x8b\x83_\x82\xcd\x91I\x91\xf0\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"},
    {724,
     "\x82\xb1\x82\xcc\x83t\x83@\x83"
     "C\x83\x8b\x82\xc9\x82\xcd\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x90\xea\x97p\x91\xae\x90\xab\x82\xaa\x90\xdd"
     "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81"
     "B\x0a\x95\xca\x82\xcc\x83t\x83@\x83"
     "C\x83\x8b\x96\xbc\x82\xf0\x8eg\x97p\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"},
    {725,
     "\x83t\x83@\x83"
     "C\x83\x8b\x96\xbc\x82\xcc\x92\xb7\x82\xb3\x82\xaa OS "
     "\x82\xcc\x90\xa7\x8c\xc0\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {1201, "INFO     "},
    {1202, "NOTICE   "},
    {1203, "-----------------------------------------"},
    {1205, "Quillsheet is started."},
    {1206, "Start Conversion"},
    {1207, "DEBUG    "},
    {1208, "WARNING  "},
    {1209, "ERROR    "},
    {1210,
     "\x83t\x83@\x83"
     "C\x83\x8b\x96\xa2\x92\xe8\x8b`"},
    {1211, "\x95s\x90\xb3\x83p\x83X"},
    {1212,
     "\x83I\x81[\x83v\x83\x93 \x83t\x83@\x83"
     "C\x83\x8b\x90\x94\x92\xb4\x89\xdf"},
    {1213,
     "\x83t\x83@\x83"
     "C\x83\x8b \x83"
     "A\x83N\x83Z\x83X\x8b\xd6\x8e~"},
    {1214,
     "\x95s\x90\xb3\x83t\x83@\x83"
     "C\x83\x8b \x83n\x83\x93\x83h\x83\x8b\x8eg\x97p"},
    {1215,
     "\x8d\xec\x8b\xc6\x92\x86\x82\xcc\x83J\x83\x8c\x83\x93\x83g \x83"
     "f\x83"
     "B\x83\x8c\x83N\x83g\x83\x8a\x82\xcc\x8d\xed\x8f\x9c\x95s\x89\xc2"},
    {1216,
     "\x83"
     "f\x83"
     "B\x83\x8c\x83N\x83g\x83\x8a \x83t\x83\x8b"},
    {1217,
     "\x83t\x83@\x83"
     "C\x83\x8b \x83|\x83"
     "C\x83\x93\x83^\x90\xdd\x92\xe8\x83G\x83\x89\x81["},
    {1218,
     "\x83n\x81[\x83h\x83"
     "E\x83"
     "F\x83"
     "A \x83G\x83\x89\x81["},
    {1219,
     "SHARE.EXE \x96\xa2\x83\x8d\x81[\x83h\x82\xdc\x82\xbd\x82\xcd\x8b\xa4\x97L\x97\xcc\x88\xe6\x83\x8d\x83"
     "b\x83N\x8d\xcf\x82\xdd"},
    {1220,
     "\x83\x8d\x83"
     "b\x83N\x8d\xcf\x82\xdd\x97\xcc\x88\xe6\x82\xcc\x83\x8d\x83"
     "b\x83N\x97v\x8b\x81"},
    {1221,
     "\x83"
     "f\x83"
     "B\x83X\x83N \x83t\x83\x8b"},
    {1222,
     "\x83t\x83@\x83"
     "C\x83\x8b\x82\xcc\x8fI\x82\xed\x82\xe8\x82\xc9\x93\x9e\x92"
     "B"},
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

// A text longer than the first buffer loads whole, wherever a double-byte character falls at
// the buffer's end: the same bytes as the table's UTF-16 text in code page 932.
TEST(StringTableShape, LongTextLoadsWhole) {
    const wchar_t* wide = nullptr;
    const int length = LoadStringW(GetResourceInstance(), IDS_CMD_USAGE, reinterpret_cast<LPWSTR>(&wide), 0);
    ASSERT_GT(length, 512);
    std::string expected(static_cast<size_t>(length) * 2, '\0');
    expected.resize(static_cast<size_t>(
        WideCharToMultiByte(932, 0, wide, length, &expected[0], length * 2, nullptr, nullptr)));
    EXPECT_EQ(expected, ResString(IDS_CMD_USAGE));
}

TEST(StringTableShape, MissingIdLoadsNothing) {
    std::string text = "x";
    EXPECT_FALSE(LoadResString(1200, text));
    EXPECT_TRUE(text.empty());
}

// The controls of a DIALOG template as the resource compiler built it into the executable.
struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    bool isStatic;      // by the atom 0x0082 or by the name "Static"
    std::wstring text;  // an icon's resource id as "#" and its number
};

// Steps over a sz_Or_Ord field; returns it as text, an ordinal as "#" and its number.
std::wstring SkipSzOrOrd(const WORD*& p) {
    if (*p == 0xFFFF) {
        const std::wstring ordinal = L"#" + std::to_wstring(p[1]);
        p += 2;
        return ordinal;
    }
    std::wstring text;
    while (*p != 0) text += static_cast<wchar_t>(*p++);
    ++p;
    return text;
}

std::vector<TemplateItem> DialogTemplateItems(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (found == nullptr) return {};
    const auto* dlg = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
    const auto* p = reinterpret_cast<const WORD*>(dlg + 1);
    SkipSzOrOrd(p);  // menu
    SkipSzOrOrd(p);  // class
    SkipSzOrOrd(p);  // caption
    if (dlg->style & DS_SETFONT) {
        ++p;  // point size
        SkipSzOrOrd(p);
    }
    std::vector<TemplateItem> items;
    for (WORD i = 0; i < dlg->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR{3});
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        p = reinterpret_cast<const WORD*>(item + 1);
        const std::wstring windowClass = SkipSzOrOrd(p);
        const std::wstring text = SkipSzOrOrd(p);
        p += 1 + *p / 2;  // creation data: its byte count, then the data
        items.push_back({item->style, item->x, item->y, item->cx, item->cy,
                         windowClass == L"#130" || _wcsicmp(windowClass.c_str(), L"Static") == 0, text});
    }
    return items;
}

// Windows draws the about box's icon in the rectangle its template gives; a template whose
// icon control has no size shows a control of 0 x 0 until the icon resizes it.
TEST(AboutBoxTemplate, IconControlKeepsItsPlaceAndSize) {
    const std::vector<TemplateItem> items = DialogTemplateItems(100);
    ASSERT_EQ(4u, items.size());
    int icons = 0;
    for (const TemplateItem& item : items) {
        if (!item.isStatic || (item.style & SS_TYPEMASK) != SS_ICON) continue;
        ++icons;
        EXPECT_EQ(11, item.x);
        EXPECT_EQ(17, item.y);
        EXPECT_EQ(20, item.cx);
        EXPECT_EQ(20, item.cy);
        EXPECT_TRUE(item.style & WS_VISIBLE);
        EXPECT_TRUE(item.text == L"#" + std::to_wstring(IDR_MAINFRAME)) << "the application's icon";
    }
    EXPECT_EQ(1, icons);
}

// The program's own resources, read from the built quillsheet.exe: its version, taken from
// the project's version number, and its manifest.
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring exe = ProgramFolderW() + L"\\quillsheet.exe";
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
        ASSERT_NE(0u, size);
        version.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, version.data()));
        module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
    }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
    }

    static std::wstring ProgramFolderW() {
        wchar_t path[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p(path, n);
        return p.substr(0, p.find_last_of(L'\\'));
    }

    std::wstring Value(const wchar_t* name) {
        void* text = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(version.data(), key.c_str(), &text, &length) || length == 0) return L"";
        return std::wstring(static_cast<const wchar_t*>(text), length - 1);
    }

    std::string Manifest() {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        if (found == nullptr) return "";
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(bytes, SizeofResource(module, found));
    }

    std::vector<char> version;
    HMODULE module = nullptr;
};

TEST_F(ProgramResources, VersionIsTheProjectsWithTheAboutBoxCopyright) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(QS_VERSION_MINOR, QS_VERSION_MAJOR)), fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, QS_VERSION_PATCH)), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(L"" QS_VERSION_TEXT, Value(L"FileVersion"));
    EXPECT_EQ(L"" QS_VERSION_TEXT, Value(L"ProductVersion"));
    EXPECT_EQ(L"Copyright (C) 2026 Quillsheet", Value(L"LegalCopyright"));
    EXPECT_EQ(L"Quillsheet ノーツデーターベースの CSV 書き出し", Value(L"FileDescription"));
    EXPECT_EQ(L"quillsheet.exe", Value(L"OriginalFilename"));
}

TEST_F(ProgramResources, ManifestAsksForUserRightsThemedControlsAndSystemDpi) {
    const std::string manifest = Manifest();
    EXPECT_NE(std::string::npos,
              manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
    EXPECT_NE(std::string::npos,
              manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, manifest.find(">system</dpiAwareness>"));
    EXPECT_NE(std::string::npos, manifest.find(">true</dpiAware>"));
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        EXPECT_NE(std::string::npos, manifest.find(std::string("<supportedOS Id=\"{") + os + "}\"/>")) << os;
    }
}

}  // namespace
