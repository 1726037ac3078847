#pragma once
// Which copy of a library a running program loaded, read from the program's module list.
// Wine gives a process the module list of another one only when both are as wide (a 64-bit
// process asking for a 32-bit program's list gets ERROR_NOACCESS), and not at all where the
// asking process runs under user-mode emulation: so the program is asked about by a process
// of its own width, and what a failed read means is decided by JudgeModuleList.

#include <windows.h>

#include <string>

namespace mods {

// Reads the module list of process `pid`. True when the list could be read; `path` is then
// the full path of the module named `name` (any case), or "" when it is not loaded.
bool LoadedModule(DWORD pid, const std::string& name, std::string* path);

// True when process `pid` is as wide as this one; false too when it cannot be opened.
bool SameWidth(DWORD pid);

enum class ModuleListOutcome {
    Read,                // the list was read: the library's path can be checked
    NotCheckedEmulated,  // cannot be read from an emulated process: said, not failed
    OtherWidth,          // asked by a process of another width: ask with one of the program's
    Failed,              // could not be read although it should have been
};

// What reading a program's module list came to, from whether the read succeeded, whether
// the program is as wide as the reader, and whether the reader runs under user-mode emulation.
ModuleListOutcome JudgeModuleList(bool read, bool sameWidth, bool readerEmulated);

}  // namespace mods
