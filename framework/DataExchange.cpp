#include "framework/DataExchange.h"

#include "framework/Wnd.h"

HWND CDataExchange::PrepareCtrl(int id) const { return m_pDlgWnd->GetDlgItem(id); }

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    HWND ctrl = pDX->PrepareCtrl(id);
    if (ctrl == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    } else {
        SetWindowTextA(ctrl, value.c_str());
    }
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
    HWND first = pDX->PrepareCtrl(firstId);
    if (first == nullptr) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    // Template order is the order of the dialog's child windows.
    for (HWND ctrl = first; ctrl != nullptr; ctrl = GetWindow(ctrl, GW_HWNDNEXT)) {
        if (ctrl != first && (GetWindowLongPtrA(ctrl, GWL_STYLE) & WS_GROUP) != 0) break;
        if ((SendMessageA(ctrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0) continue;
        if (pDX->m_bSaveAndValidate) {
            if (value == -1 && SendMessageA(ctrl, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageA(ctrl, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    HWND ctrl = pDX->PrepareCtrl(id);
    if (ctrl == nullptr || control.m_hWnd == ctrl) return;
    control.UnsubclassWindow();
    control.SubclassWindow(ctrl);
}
