#pragma once
// Finding and loading the Notes library. A Notes client does not put its program folder
// on PATH; it records the folder in the registry. So the library is loaded by name first
// (beside the program, the system folders, PATH), and otherwise from each program folder
// that a client recorded, until one loads. The current directory is never searched: a
// nnotes.dll left in a documents folder must not stand in for the client's library.

#include <windows.h>

#include <string>
#include <vector>

namespace notes {

// Where a Notes client records its program folder: the value "Path" of
// SOFTWARE\Lotus\Notes and of each of its per-version subkeys ("5.0", "9.0", ...), under
// HKEY_LOCAL_MACHINE for an install for all users, then under HKEY_CURRENT_USER for an
// install for one user. Read in the registry view of this program's own width, since a
// client's library can only be loaded into a program of the same width.
constexpr char kNotesClientKey[] = "SOFTWARE\\Lotus\\Notes";
constexpr char kNotesClientPathValue[] = "Path";

// The program folders recorded by Notes clients, in the order they are tried: the key's own
// value before its subkeys, the newest version first; all-users installs before per-user
// ones. Duplicates and empty values are left out.
std::vector<std::string> NotesProgramFolders();

// Loads `libraryName`: by name, without the current directory in the search; failing that,
// from the first recorded program folder that holds it, with that folder searched for the
// library's own dependencies and put in front of the process's PATH. nullptr when neither
// found it.
HMODULE LoadNotesLibrary(const char* libraryName);

}  // namespace notes
