#include "support/Emulation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace emu {
namespace {

// Under qemu-user a 32-bit guest's address is not its host address: the guest's memory lies
// at an offset in the emulator's own address space. Wine's server reads and writes another
// process's memory (ReadProcessMemory, WriteProcessMemory) at the host address it is given,
// so it misses what the guest put at that address. Shown on this kind of machine: a 32-bit
// process that read 64 bytes of its own static data back through ReadProcessMemory got
// other bytes (the emulator's), one that wrote a buffer of its own through
// WriteProcessMemory saw nothing arrive, and Toolhelp's module list of another 32-bit process
// (read from that process's memory) failed with ERROR_NOACCESS; a 64-bit process saw its own
// bytes each time. Such calls are not even tried under emulation: a test process that read
// its own bytes that way there died ("stack smashing detected"). A list view of another
// process is read and chosen from only through memory in that process (LVM_GETITEMTEXT and
// LVM_SETITEMSTATE carry pointers that no one marshals), so there such a list reads "" and
// chooses nothing.
constexpr char kCrossProcessListView[] =
    "reads or chooses entries of the program's list view, which needs another process's memory "
    "(WriteProcessMemory and ReadProcessMemory miss a qemu-user guest's memory)";

// scripts/wine-exec-file-limit limits every file with "ulimit -f" and ignores SIGXFSZ, so that
// a write past the limit fails as on a full disk. qemu-user installs its own handler for that
// signal, and the emulated process is killed by it instead: shown on this kind of machine,
// both cases ended in their first write past the limit with status 153 (128 + SIGXFSZ),
// "File size limit exceeded", while natively (x86_64) they pass.
constexpr char kFileSizeSignal[] =
    "a write past the file-size limit kills the emulated process with SIGXFSZ (status 153) "
    "although the limit's script ignores that signal; natively the write fails as on a full disk";

struct Listed {
    const char* testCase;  // "Suite.Name", a parameterised case without its "/index"
    const char* reason;
};

// Every case skipped under emulation; they all still run where 32-bit programs run natively.
constexpr Listed kCannotRun[] = {
    {"EndToEnd.LocalDatabaseSelectedFields", kCrossProcessListView},
    {"EndToEnd.GenuineFormOffersItsFieldsAndExportsOnlyItsDocuments", kCrossProcessListView},
    {"EndToEnd.PagesRefuseNextWithoutAChoiceAndTheFieldModesSwitchTheList", kCrossProcessListView},
    {"EndToEnd.LogHeldByAnotherProgramShowsOneBoxAndTheExportStillRuns", kCrossProcessListView},
    {"EndToEnd.LogFolderThatCannotBeWrittenShowsOneBoxAndTheExportStillRuns", kCrossProcessListView},
    {"EndToEnd.NoteTableThatCannotBeHadLeavesTheHeaderAndNoCompletion", kCrossProcessListView},
    {"EndToEnd.NoteThatVanishesAfterTheTableIsSkippedAndCounted", kCrossProcessListView},
    {"EndToEnd.FortyThousandFieldsAllReachTheFieldListAndTheHeader", kCrossProcessListView},
    {"EndToEnd.CommasAndLineFeedsInFormAndFieldNamesKeepEveryLineAsWideAsTheHeader", kCrossProcessListView},
    {"EndToEnd.FieldNameOverTheScanBufferIsListedCutAndGivesAnEmptyColumn", kCrossProcessListView},
    {"FullDisk.OneDiskFullBoxTheJobGoesOnAndTheFileHoldsWhatFitted", kFileSizeSignal},
};

}  // namespace

bool Emulated() {
    if (sizeof(void*) != 4) return false;
    char value[8] = {};
    const DWORD n = GetEnvironmentVariableA("QS_WIN32_EMULATED", value, sizeof value);
    return n > 0 && n < sizeof value && std::strcmp(value, "1") == 0;
}

namespace {
bool g_drivesEmulated = false;
}  // namespace

void DrivesEmulatedProgram() { g_drivesEmulated = true; }

DWORD ScaledMs(DWORD ms) {
    static const bool emulated = Emulated();
    return emulated || g_drivesEmulated ? ms * kWaitScale : ms;
}

bool OtherProcessMemoryWorks() { return !Emulated(); }

const char* CannotRunReason() {
    if (!Emulated()) return nullptr;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) return nullptr;
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    // A parameterised case: "Prefix/Suite.Name/Param" is listed as "Suite.Name".
    const size_t slash = name.find('/');
    if (slash != std::string::npos && slash < name.find('.')) name = name.substr(slash + 1);
    const size_t param = name.find('/', name.find('.'));
    if (param != std::string::npos) name = name.substr(0, param);
    for (const Listed& listed : kCannotRun) {
        if (name == listed.testCase) return listed.reason;
    }
    return nullptr;
}

}  // namespace emu
