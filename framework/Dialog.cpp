#include "framework/Dialog.h"

#include "framework/WinApp.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParentWnd(parent) {}

CDialog::~CDialog() {
    // The derived part is gone already: only the window itself is left to remove.
    if (m_hWnd != nullptr && !m_bModal) CWnd::DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    m_bModal = TRUE;
    const INT_PTR result =
        DialogBoxParamA(GetResourceInstance(), MAKEINTRESOURCEA(m_nIDTemplate), GetSafeOwner(m_hParentWnd),
                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = FALSE;
    return result;
}

BOOL CDialog::Create(HWND parent) {
    if (m_hWnd != nullptr) return FALSE;
    m_bModal = FALSE;
    HWND hWnd = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(m_nIDTemplate),
                                   parent != nullptr ? parent : GetMainWindow(), &CDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

BOOL CDialog::DestroyWindow() { return CWnd::DestroyWindow(); }

void CDialog::EndDialog(int result) {
    if (m_hWnd == nullptr) return;
    if (m_bModal) {
        ::EndDialog(m_hWnd, result);
    } else {
        DestroyWindow();
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) { return m_hWnd != nullptr && IsDialogMessageA(m_hWnd, msg); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(UINT id, UINT code) {
    if (code != BN_CLICKED) return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnNotify(NMHDR*, LRESULT*) { return FALSE; }

BOOL CDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
        case WM_INITDIALOG:
            *result = OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* dlg = nullptr;
    if (msg == WM_INITDIALOG) {
        dlg = reinterpret_cast<CDialog*>(lParam);
        dlg->Attach(hWnd);
    } else {
        // Messages before WM_INITDIALOG (WM_SETFONT) find no object and get the defaults.
        dlg = dynamic_cast<CDialog*>(FromHandle(hWnd));
        if (dlg == nullptr) return FALSE;
    }

    LRESULT result = 0;
    const BOOL handled = dlg->OnMessage(msg, wParam, lParam, &result);
    if (msg == WM_NCDESTROY) dlg->Detach();
    if (!handled) return FALSE;

    switch (msg) {
        // The dialog manager takes these results from the procedure's return value...
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return static_cast<INT_PTR>(result);
        // ...and every other result from DWLP_MSGRESULT.
        default:
            if (IsWindow(hWnd)) SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}
