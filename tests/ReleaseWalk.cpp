// Walks one whole job in Quillsheet as a user meets it after installing or unpacking the
// release: the program started through its Start-menu shortcut's target (or by its path),
// bound to the Notes client's library (checked among the process's modules, which only a
// process of the program's width can read: release-check runs the walker of each width), a local
// database exported with all fields of a form, the completion message answered, and the CSV
// file, the log and the shell's opening of both checked. scripts/release-check runs it.
// Usage: qs_release_walk <shortcut .lnk | quillsheet.exe> <client folder> <work folder> <database> <form>
// Exit status 0 when every step held; each failed step is printed.
#include "support/AppProcess.h"
#include "support/Text.h"
#include "support/Driver.h"
#include "support/Emulation.h"
#include "support/ExpectedTexts.h"
#include "support/ModuleList.h"
#include "support/TestSupport.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void Check(bool held, const std::string& what) {
    std::printf("%s: %s\n", held ? "ok  " : "FAIL", what.c_str());
    if (!held) ++g_failures;
}

using text::Lower;

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The program a shortcut starts, as the shell reads it; "" when it cannot be read.
std::string ShortcutTarget(const std::string& link) {
    std::string target;
    if (FAILED(CoInitialize(nullptr))) return target;
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(drv::Wide(link).c_str(), STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
                target = drv::Native(path);
            }
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return target;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::printf(
            "usage: qs_release_walk <shortcut.lnk|quillsheet.exe> <client folder> <work> <database> <form>\n");
        return 2;
    }
    const std::string start = argv[1], client = argv[2], work = argv[3], database = argv[4], form = argv[5];
    std::string program = start;
    if (EndsWith(Lower(start), ".lnk")) {
        program = ShortcutTarget(start);
        Check(!program.empty(), "the shortcut " + start + " leads to " + program);
    }
    const std::string csv = work + "\\release.csv";
    const std::string log = work + "\\LOG.TXT";
    const std::string opened = work + "\\opened.txt";

    ShellOpenRecorderAssociation association;
    // No notes.ini is named: the client's library reads the one in its own folder.
    AppProcess app(work, "", opened, "", program);
    Check(app.started(), "started " + program);
    if (!app.started()) return 1;

    HWND source = drv::WaitForDialog(app.pid(), "Quillsheet");
    Check(source != nullptr, "the source dialog came (the Notes API started)");
    if (source == nullptr) return 1;
    std::string library;
    const bool read = mods::LoadedModule(app.pid(), "nnotes.dll", &library);
    const DWORD readError = read ? 0 : GetLastError();
    switch (mods::JudgeModuleList(read, mods::SameWidth(app.pid()), emu::Emulated())) {
        case mods::ModuleListOutcome::Read:
            Check(Lower(library) == Lower(client + "\\nnotes.dll"), "the Notes library loaded is " + library);
            break;
        case mods::ModuleListOutcome::NotCheckedEmulated:
            std::printf(
                "not checked: which nnotes.dll the 32-bit program loaded (under user-mode emulation "
                "another process's module list cannot be read)\n");
            break;
        case mods::ModuleListOutcome::OtherWidth:
            Check(false, "the program's module list: " + program +
                             " is not as wide as this walker; walk it with the walker of its width");
            break;
        case mods::ModuleListOutcome::Failed:
            Check(false, "the program's module list could be read (error " + std::to_string(readError) + ")");
            break;
    }

    drv::ClickDlgItem(source, 1003);
    drv::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(source, 1005)) != FALSE; });
    drv::SetDlgItemText(source, 1005, database);
    drv::ClickDlgItem(source, 1000);
    drv::WizardChoices choices;
    choices.form = form;
    choices.exportPath = csv;
    Check(drv::WalkWizard(app.pid(), choices), "the wizard walked from the form page to Finish");

    HWND box = drv::WaitForMessageBox(app.pid(), 120000);
    const std::string message = box != nullptr ? drv::MessageBoxText(box) : "";
    Check(message == kTextFinished, "the completion message");
    if (box != nullptr) drv::DismissMessageBox(box);
    drv::ClickDlgItem(source, IDCANCEL);
    Check(app.WaitForExit(drv::kDefaultTimeoutMs), "the program ended with its source dialog");

    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csv));
    Check(lines.size() > 2,
          "the CSV file has a header and documents: " + std::to_string(lines.size() - 1) + " lines");
    Check(FileSizeOf(log) > 0, "the log was written: " + log);
    // The shell starts the opening programs and does not wait for them.
    const bool bothOpened = drv::WaitUntil([&] {
        const std::string record = ReadFileBytes(opened);
        return record.find(log) != std::string::npos && record.find(csv) != std::string::npos;
    });
    Check(bothOpened, "the shell opened the log and the CSV file");
    std::printf("%s\n", g_failures == 0 ? "release walk: passed" : "release walk: FAILED");
    return g_failures == 0 ? 0 : 1;
}
