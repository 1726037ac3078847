#pragma once
// Drives the program's windows as a person would, from another thread or another
// process: finds windows by class and title, types, clicks, picks entries, reads and
// dismisses message boxes. Every wait is bounded and polls the window state, never a
// fixed sleep.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace drv {

constexpr DWORD kDefaultTimeoutMs = 20000;
constexpr int kMessageBoxTextId = 0xFFFF;
// Wizard buttons of the platform's property sheet.
constexpr int kWizardBack = 0x3023;
constexpr int kWizardNext = 0x3024;
constexpr int kWizardFinish = 0x3025;

// Visible top-level windows of process `pid`.
std::vector<HWND> TopLevelWindows(DWORD pid);

// The first visible top-level window of `pid` that `match` accepts, waiting up to the
// timeout; nullptr when none came.
HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs = kDefaultTimeoutMs);

// A dialog (#32770) with exactly this title (native text).
HWND WaitForDialog(DWORD pid, const std::string& title, DWORD timeoutMs = kDefaultTimeoutMs);

// A message box: a dialog holding the static text 0xFFFF (a dialog of the program whose
// label statics have the id -1 in a 16-bit template looks the same: wait for those by title).
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = kDefaultTimeoutMs);
bool IsMessageBox(HWND window);

// Waits until `condition` holds; false on timeout. Every wait's limit is scaled under
// user-mode emulation (support/Emulation.h).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);

// Text of a window or control in native text (read as UTF-16, which crosses processes).
std::string Text(HWND window);
std::string DlgItemText(HWND dialog, int id);
void SetText(HWND window, const std::string& text);
void SetDlgItemText(HWND dialog, int id, const std::string& text);
std::string MessageBoxText(HWND box);
std::string WindowClass(HWND window);

// Posted, so that a click that opens a modal window does not block the driver.
void Click(HWND button);
void ClickDlgItem(HWND dialog, int id);
// Answers a message box with OK and waits until it is gone.
void DismissMessageBox(HWND box);
void PressWizardButton(HWND sheet, int psbtn);

// Combo box entries and choosing one by its exact text.
std::vector<std::string> ComboItems(HWND combo);
bool SelectComboItem(HWND combo, const std::string& text);

// List view of this process or another (read and chosen from inside that process, by the
// hook DLL qs_list_hook.dll built beside the driver): item texts, selection.
int ListItemCount(HWND list);
std::string ListItemText(HWND list, int index);
// Every item text of the list, in its order, read at once (one answer of the hook).
std::vector<std::string> ListItemTexts(HWND list);
void SelectListItem(HWND list, int index, bool selected);

// Conversions between UTF-16 and the process's ANSI code page.
std::wstring Wide(const std::string& native);
std::string Native(const std::wstring& wide);

}  // namespace drv

namespace drv {

// The control `id` anywhere below `root` (a wizard page's controls sit in a child dialog).
HWND FindDescendant(HWND root, int id);
// The same, waiting until the control is there; nullptr on timeout.
HWND WaitForDescendant(HWND root, int id, DWORD timeoutMs = kDefaultTimeoutMs);

// Page captions of the wizard, which the sheet shows as its title.
inline constexpr char kFormPageTitle[] = "\x83t\x83H\x81[\x83\x80\x82\xcc\x91I\x91\xf0";
inline constexpr char kFieldPageTitle[] =
    "\x83t\x83"
    "B\x81[\x83\x8b\x83h\x82\xcc\x91I\x91\xf0";
inline constexpr char kDestinationPageTitle[] =
    "\x8f\x91\x82\xab\x8fo\x82\xb5\x82\xbd\x83t\x83@\x83"
    "C\x83\x8b\x82\xcc\x95\xdb\x91\xb6\x90\xe6\x82\xcc\x91I\x91\xf0";

// What a user does in the wizard: the form, the fields (none: all fields) and the path.
struct WizardChoices {
    std::string form;
    std::vector<std::string> fields;
    std::string exportPath;
    // Called just before Finish is pressed (to change the world under the job).
    std::function<void()> beforeFinish;
};

// Walks the wizard of process `pid` from page 1 to Finish; false when a page did not come,
// and then the wizard is closed (its message boxes answered, the sheet cancelled), so that
// nothing is left waiting in it.
bool WalkWizard(DWORD pid, const WizardChoices& choices);

}  // namespace drv
