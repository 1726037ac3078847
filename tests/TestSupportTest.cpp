// The decisions the test support makes about the machine it runs on, so that the branch for
// the other kind of machine runs here too: whether this process is emulated, and what a
// module list that could not be read means. And the module list read itself, from a process
// of the program's own width, as qs_release_walk reads it. And a child that Wine failed to
// start, started again: the failed starts injected.
#include "support/AppProcess.h"
#include "support/Text.h"
#include "support/CaseName.h"
#include "support/Driver.h"
#include "support/Emulation.h"
#include "support/ModuleList.h"
#include "support/StartAgain.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct EmulationCase {
    const char* label;
    size_t pointerSize;
    const char* variable;  // QS_WIN32_EMULATED, nullptr when not set
    bool emulated;
};

class EmulationDecision : public ::testing::TestWithParam<EmulationCase> {};

TEST_P(EmulationDecision, FollowsTheWidthAndTheVariable) {
    const EmulationCase& c = GetParam();
    EXPECT_EQ(c.emulated, emu::EmulatedFor(c.pointerSize, c.variable));
}

INSTANTIATE_TEST_SUITE_P(Machine, EmulationDecision,
                         ::testing::Values(EmulationCase{"ThirtyTwoBitMarkedEmulated", 4, "1", true},
                                           EmulationCase{"ThirtyTwoBitUnmarked", 4, nullptr, false},
                                           EmulationCase{"ThirtyTwoBitMarkedZero", 4, "0", false},
                                           EmulationCase{"ThirtyTwoBitMarkedOther", 4, "10", false},
                                           EmulationCase{"SixtyFourBitNeverEmulated", 8, "1", false}),
                         CaseLabel());

struct JudgementCase {
    const char* label;
    bool read, sameWidth, emulated;
    mods::ModuleListOutcome outcome;
};

class ModuleListJudgement : public ::testing::TestWithParam<JudgementCase> {};

TEST_P(ModuleListJudgement, SaysWhatAReadCameTo) {
    const JudgementCase& c = GetParam();
    EXPECT_EQ(static_cast<int>(c.outcome),
              static_cast<int>(mods::JudgeModuleList(c.read, c.sameWidth, c.emulated)));
}

using mods::ModuleListOutcome;
INSTANTIATE_TEST_SUITE_P(
    Machine, ModuleListJudgement,
    ::testing::Values(JudgementCase{"ReadNatively", true, true, false, ModuleListOutcome::Read},
                      JudgementCase{"ReadUnderEmulation", true, true, true, ModuleListOutcome::Read},
                      JudgementCase{"UnreadNativelyFails", false, true, false, ModuleListOutcome::Failed},
                      JudgementCase{"UnreadUnderEmulationIsNotChecked", false, true, true,
                                    ModuleListOutcome::NotCheckedEmulated},
                      JudgementCase{"UnreadFromTheOtherWidth", false, false, false,
                                    ModuleListOutcome::OtherWidth},
                      JudgementCase{"UnreadFromTheOtherWidthUnderEmulation", false, false, true,
                                    ModuleListOutcome::OtherWidth}),
    CaseLabel());

using text::Lower;

// The program started beside our runtime loads the runtime from its own folder, and a process
// of its width reads that from its module list (or, under emulation, says it cannot).
TEST(ModuleList, ProgramOfThisWidthShowsTheLibraryItLoaded) {
    TempDir dir;
    WriteFileBytes(dir.File("notes.ini"), "[Notes]\r\nDirectory=" + dir.path() + "\r\n");
    AppProcess app(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"));
    ASSERT_TRUE(app.started());
    HWND source = drv::WaitForDialog(app.pid(), "Quillsheet");
    ASSERT_NE(nullptr, source);
    EXPECT_TRUE(mods::SameWidth(app.pid()));

    std::string library;
    const bool read = mods::LoadedModule(app.pid(), "NNOTES.DLL", &library);
    const ModuleListOutcome outcome =
        mods::JudgeModuleList(read, mods::SameWidth(app.pid()), emu::Emulated());
    if (outcome == ModuleListOutcome::Read) {
        EXPECT_EQ(Lower(ProgramFolder() + "\\nnotes.dll"), Lower(library));
        std::string absent = "x";
        EXPECT_TRUE(mods::LoadedModule(app.pid(), "qs_no_such_module.dll", &absent));
        EXPECT_EQ("", absent) << "a module that is not loaded has no path";
    } else {
        EXPECT_EQ(static_cast<int>(ModuleListOutcome::NotCheckedEmulated), static_cast<int>(outcome))
            << "the list of a program of this width is unreadable only under emulation";
    }

    drv::ClickDlgItem(source, IDCANCEL);
    EXPECT_TRUE(app.WaitForExit(drv::kDefaultTimeoutMs));
}

// Each line of `text` that the test support wrote about a start.
std::vector<std::string> StartLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.rfind("[test support]", 0) == 0) lines.push_back(line);
    }
    return lines;
}

struct StartCase {
    const char* label;
    int failedStarts;  // starts that fail as Wine's failed start does
    bool started;
    size_t lines;  // lines on stderr about starting again or giving up
};

class StartAgain : public ::testing::TestWithParam<StartCase> {};

// The program started with /? prints its usage and ends with 0: it ran, once.
TEST_P(StartAgain, ChildThatWineDidNotStartIsStartedAtMostTwiceMore) {
    const StartCase& c = GetParam();
    TempDir dir;
    WriteFileBytes(dir.File("notes.ini"), "[Notes]\r\nDirectory=" + dir.path() + "\r\n");
    AppProcess::FailNextStarts(c.failedStarts);
    ::testing::internal::CaptureStderr();
    AppProcess app(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"), L"/?", dir.File("output.txt"));
    const std::vector<std::string> lines = StartLines(::testing::internal::GetCapturedStderr());
    AppProcess::FailNextStarts(0);
    EXPECT_EQ(c.started, app.started());
    EXPECT_EQ(c.lines, lines.size());
    if (!lines.empty()) {
        EXPECT_NE(std::string::npos, lines[0].find("quillsheet.exe")) << lines[0];
    }
    if (c.started) {
        ASSERT_TRUE(app.WaitForExit(drv::kDefaultTimeoutMs));
        EXPECT_EQ(0u, app.ExitCode());
        EXPECT_FALSE(ReadFileBytes(dir.File("output.txt")).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Child, StartAgain,
                         ::testing::Values(StartCase{"StartedAtOnce", 0, true, 0},
                                           StartCase{"StartedOnTheSecondAttempt", 1, true, 1},
                                           StartCase{"StartedOnTheThirdAttempt", 2, true, 2},
                                           StartCase{"NotStartedThreeTimesFails", 3, false, 3},
                                           StartCase{"NotStartedFourTimesStopsAtThree", 4, false, 3}),
                         CaseLabel());

// A program that is not there is not started again: another attempt would only repeat it.
TEST(StartAgainLasting, MissingProgramIsNotStartedAgain) {
    for (const DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_EXE_FORMAT}) {
        int attempts = 0;
        ::testing::internal::CaptureStderr();
        const bool started = startagain::Start(
            [&] {
                ++attempts;
                SetLastError(error);
                return false;
            },
            "none.exe");
        const DWORD last = GetLastError();
        EXPECT_TRUE(StartLines(::testing::internal::GetCapturedStderr()).empty()) << error;
        EXPECT_FALSE(started) << error;
        EXPECT_EQ(1, attempts) << error;
        EXPECT_EQ(error, last);
    }
}

}  // namespace
