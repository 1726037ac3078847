#include "NnotesLibrary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace {

template <class F>
void Bind(HMODULE module, F* slot, uint16_t ordinal) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

template <class F>
void BindByName(HMODULE module, F* slot, const char* name) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring Wide(const std::string& text, UINT codePage) {
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    return w;
}

void MakeFolders(const std::string& path) {
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1)) {
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

}  // namespace

NnotesLibrary::NnotesLibrary() {
    module = LoadLibraryA("nnotes.dll");
    if (module == nullptr) return;
    using namespace notes;
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) \
    if (ordinal == kByNameOnly) {                                     \
        BindByName(module, &name, #name);                             \
    } else {                                                          \
        Bind(module, &name, static_cast<uint16_t>(ordinal));          \
    }
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
}

NnotesLibrary::~NnotesLibrary() {
    if (module != nullptr) FreeLibrary(module);
}

std::string NnotesLibrary::StatusText(notes::STATUS status) const {
    std::vector<char> buffer(1024, '\0');
    notes::WORD n = OSLoadString(nullptr, status, buffer.data(), 1023);
    return std::string(buffer.data(), n);
}

std::string NnotesLibrary::ToLmbcs(const std::string& native) const {
    std::vector<char> out(native.size() * 3 + 8, '\0');
    notes::WORD n = OSTranslate(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, native.data(),
                                static_cast<notes::WORD>(native.size()), out.data(),
                                static_cast<notes::WORD>(out.size()));
    return std::string(out.data(), n);
}

std::string NnotesLibrary::ToNative(const std::string& lmbcs) const {
    std::vector<char> out(lmbcs.size() * 2 + 8, '\0');
    notes::WORD n =
        OSTranslate(notes::OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs.data(), static_cast<notes::WORD>(lmbcs.size()),
                    out.data(), static_cast<notes::WORD>(out.size()));
    return std::string(out.data(), n);
}

std::string Sjis(const std::string& utf8) {
    std::wstring w = Wide(utf8, CP_UTF8);
    int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string JapaneseLmbcs(const std::string& utf8) {
    std::string sjis = Sjis(utf8), out;
    for (size_t i = 0; i < sjis.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else if (b >= 0xA1 && b <= 0xDF) {
            out += "\x10\x10";
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back('\x10');
            out.push_back(sjis[i]);
            out.push_back(sjis[i + 1]);
            ++i;
        }
    }
    return out;
}

NnotesFixture::NnotesFixture() {
    WriteIni("");
    if (lib.NotesInitExtended != nullptr) {
        EXPECT_EQ(0, lib.NotesInitExtended(0, nullptr));
    }
}

NnotesFixture::~NnotesFixture() {
    if (lib.NotesTerm != nullptr) lib.NotesTerm();
    SetEnvironmentVariableA("QUILLSHEET_NOTES_INI", nullptr);
}

void NnotesFixture::WriteIni(const std::string& extraLines) {
    const std::string ini = data.File("notes.ini");
    WriteFileBytes(ini, "[Notes]\r\nDirectory=" + data.path() + "\r\n" + extraLines);
    SetEnvironmentVariableA("QUILLSHEET_NOTES_INI", ini.c_str());
}

void NnotesFixture::WriteDatabase(const std::string& relativePath, const nlohmann::json& database) {
    const std::string path = data.File(relativePath);
    MakeFolders(path);
    WriteFileBytes(path, database.dump(1));
}

nlohmann::json NnotesFixture::NewDatabase(const std::string& title) {
    return {{"format", "quillsheet-notes-database"}, {"version", 1}, {"title", title}};
}

notes::DBHANDLE NnotesFixture::Open(const std::string& path) {
    notes::DBHANDLE h = 0;
    EXPECT_EQ(0, lib.NSFDbOpen(path.c_str(), &h)) << path;
    return h;
}

std::string NnotesFixture::ItemText(notes::NOTEHANDLE note, const std::string& name, char separator) {
    std::vector<char> buffer(64000, '\0');
    notes::WORD n = lib.NSFItemConvertToText(note, name.c_str(), buffer.data(), 64000, separator);
    return std::string(buffer.data(), n);
}
