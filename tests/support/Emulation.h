#pragma once
// Where the 32-bit tests run under user-mode emulation (qemu-i386 through binfmt_misc, set up
// by scripts/win32-emulation where the kernel cannot execute 32-bit programs; wine-env then
// sets QS_WIN32_EMULATED): everything is several times slower, so waits that assume native
// speed scale their limit. A case that emulation cannot run at all would be skipped there,
// with its reason, listed in Emulation.cpp and nowhere else (none is, today).

#include <windows.h>

#include <cstddef>

namespace emu {

// How many times longer a wait may take under emulation.
constexpr DWORD kWaitScale = 5;

// True in a 32-bit process that runs under user-mode emulation.
bool Emulated();

// The decision Emulated() makes, from the width of a pointer in the process and the value of
// QS_WIN32_EMULATED (nullptr when it is not set): only a 32-bit process can be emulated here.
bool EmulatedFor(size_t pointerSize, const char* emulatedVariable);

// True when EmulationInit.cpp (in every test executable) has sent the executable's calls of
// OutputDebugStringA to a function that does nothing, which it does only under emulation.
bool DebugOutputRedirected();

// `ms` as a wait's limit here: scaled in an emulated process. A program is always driven by
// a process of its own width, so the driver is emulated exactly when the program is.
DWORD ScaledMs(DWORD ms);

// The reason the current case cannot run here, or nullptr when it can: only under emulation,
// and only for a listed case.
const char* CannotRunReason();

}  // namespace emu

// Skips the current case, with its reason, when it is listed in Emulation.cpp and this process
// runs under emulation; call it first in SetUp, then return when IsSkipped().
#define QS_SKIP_WHERE_EMULATION_CANNOT_RUN()                            \
    do {                                                                \
        if (const char* qs_reason = ::emu::CannotRunReason()) {         \
            GTEST_SKIP() << "under user-mode emulation: " << qs_reason; \
        }                                                               \
    } while (false)
