#pragma once
// Our nnotes.dll as the tests call it: loaded with LoadLibraryA and bound by ordinal, as
// the program binds the Notes library; plus a data folder with its own notes.ini and the
// helpers that write database files into it.

#include "notes/NotesApi.h"
#include "support/TestSupport.h"

#include <nlohmann/json.hpp>
#include <windows.h>

#include <string>

struct NnotesLibrary {
    NnotesLibrary();
    ~NnotesLibrary();
    NnotesLibrary(const NnotesLibrary&) = delete;
    NnotesLibrary& operator=(const NnotesLibrary&) = delete;

    HMODULE module = nullptr;
    // Every operation of the table: by ordinal, or by name where it has none, as the program
    // binds them.
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) notes::PFN_##name name = nullptr;
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP

    // The runtime's text for a status, in LMBCS ("" when it has none).
    std::string StatusText(notes::STATUS status) const;
    std::string ToLmbcs(const std::string& native) const;
    std::string ToNative(const std::string& lmbcs) const;
};

// Independent of the runtime: UTF-8 text in code page 932 (Shift_JIS), through Windows.
std::string Sjis(const std::string& utf8);
// Independent of the runtime, for text of ASCII, kana and kanji only: LMBCS as Notes
// stores it (ASCII as is, a double-byte character as 0x10 and its two Shift_JIS bytes, a
// half-width katakana as 0x10 0x10 and its byte).
std::string JapaneseLmbcs(const std::string& utf8);

// A data folder with a notes.ini that names it as the Directory, set up for the runtime
// through QUILLSHEET_NOTES_INI, and the runtime initialised.
class NnotesFixture {
public:
    NnotesFixture();
    ~NnotesFixture();

    NnotesLibrary lib;
    TempDir data;

    // Writes a database file (the path relative to the data folder; folders are made).
    void WriteDatabase(const std::string& relativePath, const nlohmann::json& database);
    // A database object with the format header and the given title.
    static nlohmann::json NewDatabase(const std::string& title);
    // Opens a database by its LMBCS path; the test fails on a nonzero status.
    notes::DBHANDLE Open(const std::string& path);
    // The item's text through NSFItemConvertToText with a 64000-byte buffer.
    std::string ItemText(notes::NOTEHANDLE note, const std::string& name, char separator = ';');
    void WriteIni(const std::string& extraLines);
};
