// qs_list_hook.dll: loaded by Windows into the program whose list view the window driver
// reads or chooses from (support/ListHook.h), as the procedure of a WH_CALLWNDPROC hook on
// that list's thread.
#include "support/ListHook.h"
#include "support/Text.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace {

UINT ReadMessage() {
    static const UINT message = RegisterWindowMessageW(listhook::kReadMessage);
    return message;
}

UINT SelectMessage() {
    static const UINT message = RegisterWindowMessageW(listhook::kSelectMessage);
    return message;
}

void SendTexts(HWND list, WPARAM which, HWND reply) {
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    int first = 0, end = count;
    if (which != listhook::kAllItems) {
        first = static_cast<int>(which);
        end = first < count ? first + 1 : first;
    }
    const listhook::Count sent = static_cast<listhook::Count>(end - first);
    std::vector<char> data(sizeof sent);
    std::memcpy(data.data(), &sent, sizeof sent);
    for (int i = first; i < end; ++i) {
        const std::wstring itemText = text::ListItemText(list, i);
        const char* bytes = reinterpret_cast<const char*>(itemText.c_str());  // with its NUL
        data.insert(data.end(), bytes, bytes + (itemText.size() + 1) * sizeof(wchar_t));
    }
    COPYDATASTRUCT copy{};
    copy.dwData = listhook::kTextsTag;
    copy.cbData = static_cast<DWORD>(data.size());
    copy.lpData = data.data();
    // The driver waits for this answer inside its own send to the list, so it takes it at once;
    // the limit only keeps the program from hanging on a driver that has gone.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(reply, WM_COPYDATA, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&copy),
                        SMTO_ABORTIFHUNG, 60000, &result);
}

void Select(HWND list, WPARAM index, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QsListHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == ReadMessage()) {
            SendTexts(call->hwnd, call->wParam, reinterpret_cast<HWND>(call->lParam));
        } else if (call->message == SelectMessage()) {
            Select(call->hwnd, call->wParam, call->lParam != 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
