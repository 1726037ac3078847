#pragma once
// The binding to nnotes.dll: the library is loaded at run time and every operation is
// resolved by its export ordinal, so the program works beside any Notes client of the
// same API.

#include "notes/NotesApi.h"

#include <cstddef>
#include <string>

// HMODULE without <windows.h>, whose DWORD would meet notes::DWORD in files that use both.
struct HINSTANCE__;

namespace notes {

// One slot per operation of the table, named as the operation.
struct NotesFunctions {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) PFN_##name name;
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
};

// Returned by NotesInitialize when nnotes.dll or one of its operations cannot be found.
constexpr STATUS kStatusLibraryUnavailable = 0xFFFF;

// Loads nnotes.dll and initialises the Notes API: with no arguments, or with `iniPath` as
// the notes.ini to read instead of the client's. Never throws; a missing library or ordinal,
// or an ordinal that does not lead where its name does, gives kStatusLibraryUnavailable.
STATUS NotesInitialize(const std::string& iniPath = std::string());
// Terminates the Notes API; only after a successful NotesInitialize.
void NotesTerminate();

// True once the library and all its operations are bound.
bool NotesBound();
// Binds the library if not yet bound; false when it or an operation is missing.
bool BindNotesLibrary(const char* libraryName = "nnotes.dll");
// Resolves every operation of `module` into `functions`, by ordinal, and those without one
// (kByNameOnly) by name; false when one is missing, or when the library exports an
// operation's name as well and that name leads to another address than its ordinal.
// Touches no binding state.
bool ResolveNotesFunctions(HINSTANCE__* module, NotesFunctions& functions);
// The bound operations. Only valid after a successful bind.
const NotesFunctions& Api();

// OSTranslate into a fixed buffer of `outCapacity` bytes, bounded so that the result is
// always NUL-terminated inside the buffer and never split inside a character (the library
// stops before a character that would not fit). Returns the translated length.
size_t TranslateInto(WORD mode, const char* in, size_t inLength, char* out, size_t outCapacity);
// OSTranslate of a whole short text (a name, a path): a character grows to at most three bytes
// in the other set.
std::string Translated(WORD mode, const std::string& text);

}  // namespace notes
