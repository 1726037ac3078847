// Linked into every test executable: under user-mode emulation, the executable's calls of
// OutputDebugStringA are sent to a function that does nothing.
//
// GoogleTest passes every failure and skip message to OutputDebugStringA as well as to the
// console. Wine's OutputDebugStringA raises DBG_PRINTEXCEPTION_C inside a guarded block and
// leaves it by an unwind; under qemu-i386 that unwind returns into an illegal instruction
// ("segv_handler Got unexpected trap -1"), and the test process dies at its first failure or
// skip, with none of its later results. Where no debugger listens, as here, the call has
// nothing to do but that. The console keeps every message.
#include "support/Emulation.h"

#include <windows.h>

#include <cstring>

namespace {

void WINAPI NoDebugOutput(LPCSTR) {}

// Points this executable's import of kernel32's OutputDebugStringA at NoDebugOutput.
bool RedirectDebugOutput() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    bool redirected = false;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0;
         ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), "kernel32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "OutputDebugStringA") != 0) continue;
            DWORD previous = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &previous)) {
                return false;
            }
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&NoDebugOutput);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, previous, &previous);
            redirected = true;
        }
    }
    return redirected;
}

const bool g_redirected = emu::Emulated() && RedirectDebugOutput();

}  // namespace

bool emu::DebugOutputRedirected() { return g_redirected; }
