#pragma once
// The fixture of the end-to-end tests: the real quillsheet.exe beside our nnotes.dll in a
// folder of its own, started, operated through its windows and read back afterwards.
#include "support/AppProcess.h"
#include "support/Driver.h"
#include "support/Emulation.h"
#include "support/ExpectedTexts.h"
#include "support/NotesDatabaseFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

constexpr int kRadioServer = 1002;
constexpr int kRadioLocal = 1003;
constexpr int kServerName = 1004;
constexpr int kLocalPath = 1005;
constexpr int kServerPath = 1006;
constexpr int kStart = 1000;
constexpr int kExportPathEdit = 1015;
constexpr int kBrowseDatabase = 1007;
constexpr int kBrowseCsv = 1018;
constexpr int kFormCombo = 1008;
constexpr UINT kAboutCommand = 0x0010;
// A log line's time stamp: "YYYY/MM/DD HH:MM:SS " (20 bytes).
constexpr size_t kStampLength = 20;

// The user's documents folder, where the destination page proposes the CSV file; without a
// separator at its end (Wine may give one).
inline std::string DocumentsFolder() {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path) != S_OK) return "";
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QS_SKIP_WHERE_EMULATION_CANNOT_RUN();
        CreateDirectoryA(dir.File("data").c_str(), nullptr);
        CreateDirectoryA(dir.File("data\\servers").c_str(), nullptr);
        CreateDirectoryA(dir.File("data\\servers\\hub").c_str(), nullptr);
        CreateDirectoryA(dir.File("data\\servers\\hub\\sales").c_str(), nullptr);
        dbPath = dir.File("data\\orders.nsf");
        csvPath = dir.File("out.csv");
        logPath = dir.File("LOG.TXT");
        WriteNotesDatabase(dbPath, kOrders);
        WriteNotesDatabase(dir.File("data\\servers\\hub\\sales\\orders.nsf"), kOrders);
        WriteIni("");
    }

    void WriteIni(const std::string& extra) {
        WriteFileBytes(dir.File("notes.ini"), "[Notes]\r\nDirectory=" + dir.File("data") + "\r\n" + extra);
    }

    // Starts the program and waits for its source dialog.
    HWND Start(const std::string& tempDir = "") {
        app =
            std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"), tempDir);
        if (!app->started()) return nullptr;
        return drv::WaitForDialog(app->pid(), "Quillsheet");
    }

    void ChooseLocal(HWND source, const std::string& path) {
        drv::ClickDlgItem(source, kRadioLocal);
        ASSERT_TRUE(drv::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(source, kLocalPath)) != FALSE; }));
        drv::SetDlgItemText(source, kLocalPath, path);
        drv::ClickDlgItem(source, kStart);
    }

    // Starts the program, opens `path` as a local database and waits for the form page and
    // its form list; false when one of them does not come.
    bool OpenFormPage(const std::string& path, HWND* source, HWND* sheet, HWND* combo) {
        *source = Start();
        if (*source == nullptr) return false;
        ChooseLocal(*source, path);
        *sheet = drv::WaitForDialog(app->pid(), drv::kFormPageTitle);
        *combo = *sheet != nullptr ? drv::WaitForDescendant(*sheet, kFormCombo) : nullptr;
        return *combo != nullptr;
    }

    // Walks to the destination page with the form `form` and all of its fields chosen.
    bool OpenDestinationPage(const std::string& path, const char* form, HWND* source, HWND* sheet) {
        HWND combo = nullptr;
        if (!OpenFormPage(path, source, sheet, &combo) || !drv::SelectComboItem(combo, form)) return false;
        drv::PressWizardButton(*sheet, PSBTN_NEXT);
        if (!drv::WaitUntil([&] { return drv::Text(*sheet) == drv::kFieldPageTitle; })) return false;
        drv::PressWizardButton(*sheet, PSBTN_NEXT);
        return drv::WaitUntil([&] { return drv::Text(*sheet) == drv::kDestinationPageTitle; });
    }

    // The text of the next message box, which is then answered with OK.
    std::string NextMessage() {
        HWND box = drv::WaitForMessageBox(app->pid());
        if (box == nullptr) return "(no message box)";
        const std::string text = drv::MessageBoxText(box);
        drv::DismissMessageBox(box);
        return text;
    }

    // Closes the source dialog and expects the program to end cleanly; then waits for every
    // process it started (the shell-open recorders), so that Opened() is their final record.
    void Exit(HWND source) {
        drv::ClickDlgItem(source, IDCANCEL);
        ASSERT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
        EXPECT_EQ(0u, app->ExitCode());
        ASSERT_TRUE(app->WaitForStartedProcesses(drv::kDefaultTimeoutMs));
    }

    // The log's lines without their 20-byte time stamps. Every line is kept: one too short
    // to hold a stamp is marked, so that a cut or stray line fails the comparisons that
    // read it. Only the empty rest after the last CR LF is no line.
    std::vector<std::string> LogTexts() const {
        std::vector<std::string> lines = SplitCrLf(ReadFileBytes(logPath));
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        std::vector<std::string> texts;
        for (const std::string& line : lines) {
            texts.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : "(no stamp) " + line);
        }
        return texts;
    }

    // Proves that the program waits for the user with the source dialog and `others` open
    // and no other window (no message box): the About box asked for now comes only once the
    // program reads its posted messages again, which is after any window it opens before it
    // waits (a message box's own loop reads them too, so a box left open is listed beside
    // the About box); then the windows of the process are those and the About box.
    void ExpectOnlyTheseWindows(HWND source, const std::vector<HWND>& others = {}) {
        PostMessageA(source, WM_SYSCOMMAND, kAboutCommand, 0);
        HWND about = drv::WaitForDialog(app->pid(), kTextAboutTitle);
        ASSERT_NE(nullptr, about);
        std::vector<HWND> windows = drv::TopLevelWindows(app->pid());
        std::vector<HWND> expected = others;
        expected.push_back(source);
        expected.push_back(about);
        std::sort(windows.begin(), windows.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, windows) << "a window other than those expected was open";
        drv::ClickDlgItem(about, IDOK);
        ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(about); }));
    }

    // The paths the shell was asked to open, in the order it was asked. A recorder that
    // could not write its record leaves a mark instead, which fails the test.
    std::vector<std::string> Opened() const {
        EXPECT_FALSE(FileExists(dir.File("opened.txt.lost"))) << "a recorder lost its record";
        std::vector<std::string> lines;
        for (const std::string& line : SplitCrLf(ReadFileBytes(dir.File("opened.txt")))) {
            // Records end with LF only: split again.
            size_t start = 0;
            for (size_t end; (end = line.find('\n', start)) != std::string::npos; start = end + 1) {
                lines.push_back(line.substr(start, end - start));
            }
        }
        std::sort(lines.begin(), lines.end());
        for (std::string& l : lines) l = l.substr(l.find(' ') + 1);
        return lines;
    }

    TempDir dir;
    ShellOpenRecorderAssociation association;
    std::unique_ptr<AppProcess> app;
    std::string dbPath, csvPath, logPath;
};

inline constexpr char kNoteOpen[] = "---COMMAND  nsfNote.Open";
inline constexpr char kNoteOpened[] = "---RESULT   nsfNote.Open is success.";

// What the log of a whole job holds, line by line without the time stamps; the second
// line, the copyright notice, as "(copyright)" (see WithoutCopyright).
// The summary line that ends every export run's lines.
inline std::string SummaryLine(size_t written, size_t otherForm, size_t unreadable, size_t refusedLines) {
    return "---INFO     Documents written = " + std::to_string(written) +
           ", Other form = " + std::to_string(otherForm) + ", Not readable = " + std::to_string(unreadable) +
           ", Lines not written to the file = " + std::to_string(refusedLines);
}

// The whole log of a job whose documents all open and belong to the form; `refusedLines` of
// their lines (never the header) were not taken by the CSV file.
inline std::vector<std::string> WholeJobLog(const std::string& dbPath, const std::string& form,
                                            const std::vector<unsigned>& noteIds, size_t refusedLines = 0) {
    std::vector<std::string> log = {"---INFO     " + std::string(41, '-'),
                                    "(copyright)",
                                    "---NOTICE   Quillsheet is started.",
                                    "---NOTICE   Start Conversion",
                                    "---INFO     " + std::string(41, '-'),
                                    "---COMMAND  Open Notes DataBase",
                                    "---DEBUG    DB Path=" + dbPath,
                                    "---RESULT   Open Command is success.",
                                    "---COMMAND  Write All Document By Form",
                                    "---DEBUG    Form Name=" + form,
                                    "---COMMAND  Make Indicater",
                                    "---COMMAND  Make ExportFile Header",
                                    "---COMMAND  NSFDbGetModifiedNoteTable",
                                    "---RESULT   NSFDbGetModifiedNoteTable is success."};
    for (unsigned id : noteIds) {
        log.push_back(kNoteOpen);
        log.push_back("---DEBUG    Note ID = " + std::to_string(id));
        log.push_back(kNoteOpened);
    }
    log.push_back(SummaryLine(noteIds.size() - refusedLines, 0, 0, refusedLines));
    log.push_back("---RESULT   Write All Document By Form is success.");
    log.push_back("---COMMAND  Close Notes DataBase");
    log.push_back("---RESULT   Close Notes DataBase is success.");
    if (refusedLines != 0) {
        log.push_back("---WARNING  Export file incomplete: Lines not written = " +
                      std::to_string(refusedLines));
    }
    return log;
}

// The log texts with the copyright notice (the second line) replaced by the placeholder
// WholeJobLog puts there.
inline std::vector<std::string> WithoutCopyright(std::vector<std::string> texts) {
    if (texts.size() > 1) texts[1] = "(copyright)";
    return texts;
}

}  // namespace e2e
