#include "framework/PropertyPage.h"

#include "framework/PropertySheet.h"
#include "framework/WinApp.h"

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId), m_psp() {
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;  // no PSP_USETITLE: the title is the template's caption
    m_psp.hInstance = GetResourceInstance();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = &CPropertyPage::PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

CPropertySheet* CPropertyPage::GetSheet() const {
    if (m_hWnd == nullptr) return nullptr;
    return dynamic_cast<CPropertySheet*>(FromHandle(::GetParent(m_hWnd)));
}

void CPropertyPage::EndDialog(int result) {
    if (CPropertySheet* sheet = GetSheet()) sheet->EndDialog(result);
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive) {
        m_bFirstSetActive = FALSE;
    } else {
        UpdateData(FALSE);
    }
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

LRESULT CPropertyPage::OnWizardNext() { return 0; }

LRESULT CPropertyPage::OnWizardBack() { return 0; }

BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

BOOL CPropertyPage::OnQueryCancel() { return TRUE; }

BOOL CPropertyPage::OnNotify(NMHDR* hdr, LRESULT* result) {
    // Only the sheet's own notifications: a control of the page may use the same codes.
    if (hdr->hwndFrom != ::GetParent(m_hWnd)) return CDialog::OnNotify(hdr, result);
    switch (hdr->code) {
        case PSN_SETACTIVE:
            *result = OnSetActive() ? 0 : -1;
            return TRUE;
        case PSN_KILLACTIVE:
            *result = OnKillActive() ? FALSE : TRUE;
            return TRUE;
        case PSN_WIZNEXT:
            *result = OnWizardNext();
            return TRUE;
        case PSN_WIZBACK:
            *result = OnWizardBack();
            return TRUE;
        case PSN_WIZFINISH:
            // Non-zero keeps the wizard open.
            *result = OnWizardFinish() ? FALSE : TRUE;
            return TRUE;
        case PSN_QUERYCANCEL:
            *result = OnQueryCancel() ? FALSE : TRUE;
            return TRUE;
        default:
            return CDialog::OnNotify(hdr, result);
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A page's WM_INITDIALOG carries the sheet's copy of m_psp, whose lParam is the page;
    // from there on the page goes the way of every dialog.
    if (msg == WM_INITDIALOG) {
        auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        page->m_bFirstSetActive = TRUE;
        // The sheet window is the parent of every page; the first page to be created makes
        // it known, before any page needs GetSheet.
        CPropertySheet* sheet = page->m_pSheet;
        if (sheet != nullptr && sheet->m_hWnd == nullptr) sheet->OnSheetWindow(::GetParent(hWnd));
        lParam = reinterpret_cast<LPARAM>(static_cast<CDialog*>(page));
    }
    return DialogProc(hWnd, msg, wParam, lParam);
}
