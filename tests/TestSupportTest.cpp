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
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
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
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("[test support]", 0) == 0) lines.push_back(line);
    return lines;
}

struct StartCase {
    const char* label;
    int failedStarts;     // starts that fail as Wine's failed start does
    const char* program;  // in the test's folder; nullptr: quillsheet.exe
    bool started;
    size_t lines;  // lines on stderr about starting again or giving up
};

class StartAgain : public ::testing::TestWithParam<StartCase> {};

// A child that Wine did not start is started at most twice more; a program that is not there
// is not started again: another attempt would only repeat it. The program started with /?
// prints its usage and ends with 0: it ran, once.
TEST_P(StartAgain, OnlyAChildThatWineDidNotStart) {
    const StartCase& c = GetParam();
    TempDir dir;
    WriteFileBytes(dir.File("notes.ini"), "[Notes]\r\nDirectory=" + dir.path() + "\r\n");
    AppProcess::FailNextStarts(c.failedStarts);
    ::testing::internal::CaptureStderr();
    AppProcess app(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"), L"/?", dir.File("output.txt"),
                   c.program != nullptr ? dir.File(c.program) : std::string());
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
                         ::testing::Values(StartCase{"StartedOnTheThirdAttempt", 2, nullptr, true, 2},
                                           StartCase{"NotStartedStopsAtThree", 4, nullptr, false, 3},
                                           StartCase{"MissingProgramNotStartedAgain", 0, "none.exe", false,
                                                     0}),
                         CaseLabel());

}  // namespace
