#pragma once
// CWnd: a thin holder of a window handle. Windows of our own (dialogs, pages, the wizard
// sheet, subclassed controls) are entered in a handle map, so that a handle the platform
// gives back (a parent, a message's window) leads to the C++ object again.

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to `hWnd`, or nullptr for a window that is not one of ours.
    static CWnd* FromHandle(HWND hWnd);

    // Enters `hWnd` in the handle map without touching its window procedure. The window's
    // destruction is not seen, so whoever attaches must detach.
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Attaches and routes the window's messages through WindowProc; the object lets go of
    // the window by itself when the window is destroyed.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(int id, HWND parent);
    HWND UnsubclassWindow();

    virtual BOOL DestroyWindow();

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;

    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }

    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }

    HICON SetIcon(HICON icon, BOOL bigIcon);
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    // Messages of a subclassed window; the default hands them to the original procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
};

// The owner a new pop-up should have: `parent` when given, otherwise the application's main
// window (its most recently active pop-up); a child window is replaced by its nearest ancestor
// that is not a child. nullptr when there is none.
HWND GetSafeOwner(HWND parent);
