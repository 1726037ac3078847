#include "framework/Wnd.h"

#include "framework/WinApp.h"

#include <unordered_map>
#include <vector>

namespace {
// Every window of the program lives on the one user-interface thread, so one map serves.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}
}  // namespace

CWnd::~CWnd() {
    if (m_pfnSuper != nullptr) {
        UnsubclassWindow();
    } else {
        Detach();
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    const auto it = HandleMap().find(hWnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr) return FALSE;
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        const auto it = HandleMap().find(hWnd);
        if (it != HandleMap().end() && it->second == this) HandleMap().erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || FromHandle(hWnd) != nullptr || !Attach(hWnd)) return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper != nullptr && ::IsWindow(m_hWnd))
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hWnd);
    if (wnd == nullptr || wnd->m_pfnSuper == nullptr) return DefWindowProcA(hWnd, msg, wParam, lParam);
    const LRESULT result = wnd->WindowProc(msg, wParam, lParam);
    // The last message a window gets: the object no longer holds a window.
    if (msg == WM_NCDESTROY) wnd->UnsubclassWindow();
    return result;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    HWND hWnd = m_hWnd;
    const BOOL destroyed = ::DestroyWindow(hWnd);
    // A window whose procedure is not ours tells us nothing about its end.
    if (destroyed && m_hWnd == hWnd) Detach();
    return destroyed;
}

void CWnd::SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }

std::string CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return std::string();
    std::vector<char> buf(static_cast<size_t>(length) + 1);
    const int n = ::GetWindowTextA(m_hWnd, buf.data(), static_cast<int>(buf.size()));
    return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

void CWnd::SetDlgItemText(int id, const std::string& text) { ::SetDlgItemTextA(m_hWnd, id, text.c_str()); }

std::string CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (item == nullptr) return std::string();
    const int length = ::GetWindowTextLengthA(item);
    if (length <= 0) return std::string();
    std::vector<char> buf(static_cast<size_t>(length) + 1);
    const int n = ::GetWindowTextA(item, buf.data(), static_cast<int>(buf.size()));
    return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, msg, wParam, lParam);
}

HWND GetSafeOwner(HWND parent) {
    HWND owner = parent;
    if (owner == nullptr) {
        owner = GetMainWindow();
        if (owner != nullptr) owner = GetLastActivePopup(owner);
    }
    // A child cannot own a pop-up; the window it sits in can.
    while (owner != nullptr && (GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD) != 0)
        owner = ::GetParent(owner);
    return owner;
}
