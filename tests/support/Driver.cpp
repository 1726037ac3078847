#include "support/Driver.h"
#include "support/Text.h"

#include "support/AppProcess.h"
#include "support/Emulation.h"
#include "support/ListHook.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

namespace drv {
namespace {

constexpr DWORD kPollMs = 10;

struct EnumState {
    DWORD pid;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && IsWindowVisible(window)) state->windows->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring Wide(const std::string& native) {
    if (native.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), out.data(), n);
    return out;
}

std::string Native(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    std::vector<HWND> windows;
    EnumState state{pid, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    timeoutMs = emu::ScaledMs(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(kPollMs);
    }
}

HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid)) {
                if (match(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsMessageBox(HWND window) {
    return WindowClass(window) == "#32770" && GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

HWND WaitForDialog(DWORD pid, const std::string& title, DWORD timeoutMs) {
    return WaitForWindow(
        pid, [&](HWND w) { return WindowClass(w) == "#32770" && Text(w) == title; }, timeoutMs);
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, IsMessageBox, timeoutMs); }

std::string Text(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return Native(text);
}

std::string DlgItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

void SetText(HWND window, const std::string& text) {
    const std::wstring wide = Wide(text);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void SetDlgItemText(HWND dialog, int id, const std::string& text) { SetText(GetDlgItem(dialog, id), text); }

std::string MessageBoxText(HWND box) { return DlgItemText(box, kMessageBoxTextId); }

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void ClickDlgItem(HWND dialog, int id) { Click(GetDlgItem(dialog, id)); }

void DismissMessageBox(HWND box) {
    ClickDlgItem(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
}

void PressWizardButton(HWND sheet, int psbtn) {
    PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(psbtn), 0);
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        items.push_back(Native(text));
    }
    return items;
}

bool SelectComboItem(HWND combo, const std::string& text) {
    const std::wstring wide = Wide(text);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wide.c_str()));
    if (index < 0) return false;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

int ListItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

namespace {

bool InThisProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == GetCurrentProcessId();
}

// In this process a list view is read through plain memory.
std::string LocalItemText(HWND list, int index) { return Native(text::ListItemText(list, index)); }

// The list views of another process are read and chosen from inside it, by the hook DLL of
// this width (support/ListHook.h): LVM_GETITEMTEXT and LVM_SETITEMSTATE carry pointers that no
// one carries across processes, and memory placed in another process (VirtualAllocEx,
// ReadProcessMemory) misses the program's own under user-mode emulation, where the server
// reads the emulator's memory at the guest's address.
HMODULE HookModule() {
    static const HMODULE module = LoadLibraryA((ProgramFolder() + "\\" + listhook::kDllName).c_str());
    return module;
}

// Receives the hook's answer to a read: texts go into the vector the window's user data names.
LRESULT CALLBACK AnswerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        auto* texts = reinterpret_cast<std::vector<std::string>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (copy->dwData != listhook::kTextsTag || texts == nullptr || copy->cbData < sizeof(listhook::Count))
            return FALSE;
        const char* data = static_cast<const char*>(copy->lpData);
        listhook::Count count = 0;
        std::memcpy(&count, data, sizeof count);
        std::wstring all(reinterpret_cast<const wchar_t*>(data + sizeof count),
                         (copy->cbData - sizeof count) / sizeof(wchar_t));
        size_t at = 0;
        for (listhook::Count i = 0; i < count && at < all.size(); ++i) {
            const size_t end = all.find(L'\0', at);
            texts->push_back(Native(all.substr(at, end - at)));
            at = end == std::wstring::npos ? all.size() : end + 1;
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sends `message` to `list` with the hook on the list's thread; false when the hook could not
// be set or the list did not answer in time. A read's answer arrives while the send waits.
bool SendThroughHook(HWND list, const wchar_t* messageName, WPARAM wParam, LPARAM lParam) {
    HMODULE module = HookModule();
    if (module == nullptr) return false;
    auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, listhook::kProcName)));
    const DWORD thread = GetWindowThreadProcessId(list, nullptr);
    HHOOK hook = proc != nullptr ? SetWindowsHookExW(WH_CALLWNDPROC, proc, module, thread) : nullptr;
    if (hook == nullptr) return false;
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(list, RegisterWindowMessageW(messageName), wParam, lParam,
                                              SMTO_NORMAL, emu::ScaledMs(kDefaultTimeoutMs), &result) != 0;
    UnhookWindowsHookEx(hook);
    return answered;
}

std::vector<std::string> TextsThroughHook(HWND list, WPARAM which) {
    static const wchar_t kClass[] = L"QuillsheetTest.ListTexts";
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = AnswerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        return RegisterClassW(&windowClass);
    }();
    std::vector<std::string> texts;
    if (registered == 0) return texts;
    HWND answer = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (answer == nullptr) return texts;
    SetWindowLongPtrW(answer, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&texts));
    SendThroughHook(list, listhook::kReadMessage, which, reinterpret_cast<LPARAM>(answer));
    DestroyWindow(answer);
    return texts;
}

}  // namespace

std::string ListItemText(HWND list, int index) {
    if (InThisProcess(list)) return LocalItemText(list, index);
    std::vector<std::string> texts = TextsThroughHook(list, static_cast<WPARAM>(index));
    return texts.size() == 1 ? texts.front() : std::string();
}

std::vector<std::string> ListItemTexts(HWND list) {
    if (!InThisProcess(list)) return TextsThroughHook(list, listhook::kAllItems);
    std::vector<std::string> texts;
    const int count = ListItemCount(list);
    texts.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) texts.push_back(LocalItemText(list, i));
    return texts;
}

void SelectListItem(HWND list, int index, bool selected) {
    if (!InThisProcess(list)) {
        SendThroughHook(list, listhook::kSelectMessage, static_cast<WPARAM>(index), selected ? 1 : 0);
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace drv

namespace drv {
namespace {
struct DescendantSearch {
    int id;
    HWND found;
};
BOOL CALLBACK MatchDescendant(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DescendantSearch*>(param);
    if (GetDlgCtrlID(window) == search->id && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindDescendant(HWND root, int id) {
    DescendantSearch search{id, nullptr};
    EnumChildWindows(root, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDescendant(HWND root, int id, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDescendant(root, id)) != nullptr; }, timeoutMs);
    return found;
}

namespace {

// Closes a wizard that a walk gives up on, so that whatever waits for the wizard to end (the
// job's thread, in-process) goes on and the case fails with its message at once: message
// boxes of the process are answered first (the sheet takes no input under one), then the
// sheet is cancelled. Returns false, the walk's result.
bool GiveUp(DWORD pid, HWND sheet) {
    for (HWND box : TopLevelWindows(pid)) {
        if (IsMessageBox(box)) DismissMessageBox(box);
    }
    if (IsWindow(sheet)) {
        PressWizardButton(sheet, PSBTN_CANCEL);
        WaitUntil([&] { return !IsWindow(sheet); });
    }
    return false;
}

}  // namespace

bool WalkWizard(DWORD pid, const WizardChoices& choices) {
    constexpr int kFormCombo = 1008;
    constexpr int kFieldList = 1012;
    constexpr int kSelectedFieldsRadio = 1014;
    constexpr int kExportPathEdit = 1015;

    HWND sheet = WaitForDialog(pid, kFormPageTitle);
    if (sheet == nullptr) return false;
    HWND combo = WaitForDescendant(sheet, kFormCombo);
    if (combo == nullptr) return GiveUp(pid, sheet);
    if (!SelectComboItem(combo, choices.form)) return GiveUp(pid, sheet);
    PressWizardButton(sheet, PSBTN_NEXT);

    if (!WaitUntil([&] { return Text(sheet) == kFieldPageTitle; })) return GiveUp(pid, sheet);
    HWND list = WaitForDescendant(sheet, kFieldList);
    if (list == nullptr) return GiveUp(pid, sheet);
    if (!choices.fields.empty()) {
        ClickDlgItem(GetParent(list), kSelectedFieldsRadio);
        if (!WaitUntil([&] { return IsWindowEnabled(list) != FALSE; })) return GiveUp(pid, sheet);
        const std::vector<std::string> names = ListItemTexts(list);
        for (size_t i = 0; i < names.size(); ++i) {
            for (const std::string& wanted : choices.fields) {
                if (names[i] == wanted) SelectListItem(list, static_cast<int>(i), true);
            }
        }
    }
    PressWizardButton(sheet, PSBTN_NEXT);

    if (!WaitUntil([&] { return Text(sheet) == kDestinationPageTitle; })) return GiveUp(pid, sheet);
    HWND edit = WaitForDescendant(sheet, kExportPathEdit);
    if (edit == nullptr) return GiveUp(pid, sheet);
    SetText(edit, choices.exportPath);
    if (choices.beforeFinish) choices.beforeFinish();
    PressWizardButton(sheet, PSBTN_FINISH);
    if (!WaitUntil([&] { return !IsWindow(sheet); })) return GiveUp(pid, sheet);
    return true;
}

}  // namespace drv
