#include "support/Emulation.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace emu {
namespace {

struct Listed {
    const char* testCase;  // "Suite.Name", a parameterised case without its "/index"
    const char* reason;
};

// Every case skipped under emulation, each with the reason it cannot run there; they all still
// run where 32-bit programs run natively, and in the 64-bit suite everywhere. The field list
// is read and chosen from inside the program (support/ListHook.cpp), since another process's
// memory cannot be reached under qemu-user, and a full disk is a small file system that
// refuses the write, where a file-size limit would kill the emulated process with SIGXFSZ, so
// those run. A case that cannot run there is added here, and nowhere else, with its reason.
constexpr const char* kFileDialogHangs =
    "Wine's Save dialog hangs its thread while it creates itself under qemu-i386, in about two "
    "of three starts: the dialog stays hidden and the program stops answering";
constexpr std::array<Listed, 2> kCannotRun{{
    {"EndToEnd.BrowseProposesExportNsfInTheNotesDataDirectory", kFileDialogHangs},
    {"EndToEnd.DestinationSaveDialogDisablesTheSheetWhileOpen", kFileDialogHangs},
}};

}  // namespace

bool EmulatedFor(size_t pointerSize, const char* emulatedVariable) {
    return pointerSize == 4 && emulatedVariable != nullptr && std::strcmp(emulatedVariable, "1") == 0;
}

bool Emulated() {
    char value[8] = {};
    const DWORD n = GetEnvironmentVariableA("QS_WIN32_EMULATED", value, sizeof value);
    return EmulatedFor(sizeof(void*), n > 0 && n < sizeof value ? value : nullptr);
}

DWORD ScaledMs(DWORD ms) {
    static const bool emulated = Emulated();
    return emulated ? ms * kWaitScale : ms;
}

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
