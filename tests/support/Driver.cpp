#include "support/Driver.h"

#include "support/Emulation.h"

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

// Memory in the process that owns `window`, for messages that carry pointers. In this
// process it is plain memory. In another one it is allocated there, and written and read
// through the server; where that memory cannot be reached (emu::OtherProcessMemoryWorks) no
// buffer is made, since the server would write into the emulator's own memory instead.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == GetCurrentProcessId()) {
            m_local.assign(size, '\0');
            m_address = m_local.data();
            return;
        }
        if (!emu::OtherProcessMemoryWorks()) return;
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process != nullptr)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_process != nullptr && m_address != nullptr) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process != nullptr) CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* address() const { return m_address; }
    void Write(size_t offset, const void* data, size_t size) {
        if (m_process == nullptr) {
            std::memcpy(m_local.data() + offset, data, size);
            return;
        }
        WriteProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        if (m_process == nullptr) {
            std::memcpy(data, m_local.data() + offset, size);
            return;
        }
        ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
    }

private:
    std::vector<char> m_local;
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

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

constexpr size_t kListTextChars = 1024;

// Reads item `index` through `remote`, a buffer of an LVITEMW and kListTextChars characters.
std::string ReadListItemText(HWND list, RemoteBuffer& remote, int index) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.cchTextMax = kListTextChars;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.address()) + sizeof(LVITEMW));
    remote.Write(0, &item, sizeof item);
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(remote.address()));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    remote.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
    return Native(text);
}

}  // namespace

std::string ListItemText(HWND list, int index) {
    RemoteBuffer remote(list, sizeof(LVITEMW) + kListTextChars * sizeof(wchar_t));
    if (remote.address() == nullptr) return {};
    return ReadListItemText(list, remote, index);
}

std::vector<std::string> ListItemTexts(HWND list) {
    std::vector<std::string> texts;
    RemoteBuffer remote(list, sizeof(LVITEMW) + kListTextChars * sizeof(wchar_t));
    if (remote.address() == nullptr) return texts;
    const int count = ListItemCount(list);
    texts.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) texts.push_back(ReadListItemText(list, remote, i));
    return texts;
}

void SelectListItem(HWND list, int index, bool selected) {
    RemoteBuffer remote(list, sizeof(LVITEMW));
    if (remote.address() == nullptr) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    remote.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(remote.address()));
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
        for (int i = 0; i < ListItemCount(list); ++i) {
            const std::string name = ListItemText(list, i);
            for (const std::string& wanted : choices.fields) {
                if (name == wanted) SelectListItem(list, i, true);
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
