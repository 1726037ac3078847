#include "support/ModuleList.h"
#include "support/Text.h"

#include <tlhelp32.h>

namespace mods {
namespace {

using text::Lower;

// True when `process` is a 32-bit process on 64-bit Windows, or a process of this one's
// width on 32-bit Windows; false when that cannot be told.
bool IsWow64(HANDLE process, bool* known) {
    BOOL wow64 = FALSE;
    *known = IsWow64Process(process, &wow64) != FALSE;
    return wow64 != FALSE;
}

}  // namespace

bool LoadedModule(DWORD pid, const std::string& name, std::string* path) {
    path->clear();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    const std::string wanted = Lower(name);
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        if (Lower(entry.szModule) == wanted) *path = entry.szExePath;
    }
    CloseHandle(snapshot);
    return true;
}

bool SameWidth(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return false;
    bool knownThere = false, knownHere = false;
    const bool there = IsWow64(process, &knownThere);
    const bool here = IsWow64(GetCurrentProcess(), &knownHere);
    CloseHandle(process);
    return knownThere && knownHere && there == here;
}

ModuleListOutcome JudgeModuleList(bool read, bool sameWidth, bool readerEmulated) {
    if (read) return ModuleListOutcome::Read;
    if (!sameWidth) return ModuleListOutcome::OtherWidth;
    // Wine reads the list from the program's memory, which under qemu-user lies elsewhere
    // than the guest's addresses say.
    if (readerEmulated) return ModuleListOutcome::NotCheckedEmulated;
    return ModuleListOutcome::Failed;
}

}  // namespace mods
