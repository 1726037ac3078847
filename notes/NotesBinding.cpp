#include "notes/NotesBinding.h"

#include "notes/NotesLibraryPath.h"

#include <windows.h>

#include <cstring>

namespace notes {
namespace {

NotesFunctions g_api{};
bool g_bound = false;

// Binds by ordinal. A library that exports the operation's name too must give the same
// address for it: an ordinal that leads elsewhere belongs to another ordinal table, and
// calling it would call another operation with these arguments.
template <typename Fn>
bool Resolve(HMODULE module, uint16_t ordinal, const char* name, Fn& slot) {
    FARPROC proc = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    if (proc == nullptr) return false;
    FARPROC named = GetProcAddress(module, name);
    if (named != nullptr && named != proc) return false;
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
    return true;
}

// Binds an operation whose ordinal is not known by its exported name.
template <typename Fn>
bool ResolveByName(HMODULE module, const char* name, Fn& slot) {
    FARPROC proc = GetProcAddress(module, name);
    if (proc == nullptr) return false;
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
    return true;
}

}  // namespace

bool ResolveNotesFunctions(HMODULE module, NotesFunctions& functions) {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters)                    \
    if (!((ordinal) == kByNameOnly ? ResolveByName(module, #name, functions.name)        \
                                   : Resolve(module, ordinal, #name, functions.name))) { \
        return false;                                                                    \
    }
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
    return true;
}

bool BindNotesLibrary(const char* libraryName) {
    if (g_bound) return true;
    HMODULE module = LoadNotesLibrary(libraryName);
    if (module == nullptr) return false;
    NotesFunctions functions{};
    if (!ResolveNotesFunctions(module, functions)) {
        FreeLibrary(module);
        return false;
    }
    g_api = functions;
    g_bound = true;
    return true;
}

bool NotesBound() { return g_bound; }

const NotesFunctions& Api() { return g_api; }

STATUS NotesInitialize(const std::string& iniPath) {
    if (!BindNotesLibrary()) return kStatusLibraryUnavailable;
    if (iniPath.empty()) return g_api.NotesInitExtended(0, nullptr);
    // The Notes C API reference (NotesInitExtended): another ini file is named by an argument
    // after the first, "=" and its path; the first is the program, as a main() receives it.
    char program[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, program, sizeof program - 1);
    std::string iniArgument = "=" + iniPath;
    char* argv[] = {program, iniArgument.data(), nullptr};
    return g_api.NotesInitExtended(2, argv);
}

void NotesTerminate() {
    if (g_bound) g_api.NotesTerm();
}

size_t TranslateInto(WORD mode, const char* in, size_t inLength, char* out, size_t outCapacity) {
    if (outCapacity == 0) return 0;
    // One byte of the buffer is kept for the terminator; OSTranslate counts in 16 bits.
    const size_t room = outCapacity - 1 > 0xFFFF ? 0xFFFF : outCapacity - 1;
    const WORD inWord = static_cast<WORD>(inLength > 0xFFFF ? 0xFFFF : inLength);
    WORD n = g_api.OSTranslate(mode, in, inWord, out, static_cast<WORD>(room));
    if (n > room) n = static_cast<WORD>(room);
    out[n] = '\0';
    return n;
}

std::string Translated(WORD mode, const std::string& text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(TranslateInto(mode, text.data(), text.size(), &out[0], out.size()));
    return out;
}

}  // namespace notes
