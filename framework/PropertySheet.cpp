#include "framework/PropertySheet.h"

#include "framework/ResourceString.h"
#include "framework/WinApp.h"

CPropertySheet::CPropertySheet(UINT captionId, HWND parent, UINT selectPage)
    : m_psh(), m_hParentWnd(parent), m_strCaption(ResString(captionId)) {
    m_psh.dwSize = sizeof(m_psh);
    // A sheet offers Help unless its owner says otherwise.
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP;
    m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* page) {
    page->m_pSheet = this;
    m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

INT_PTR CPropertySheet::DoModal() {
    // PropertySheetA keeps its own copies of the pages' descriptions.
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* page : m_pages) pages.push_back(page->m_psp);

    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags |= PSH_PROPSHEETPAGE;
    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS | PSH_USEPSTARTPAGE);
    m_psh.hwndParent = GetSafeOwner(m_hParentWnd);
    m_psh.hInstance = GetResourceInstance();
    m_psh.pszCaption = m_strCaption.c_str();
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.ppsp = pages.data();
    m_bEndRequested = FALSE;

    const INT_PTR ran = PropertySheetA(&m_psh);
    Detach();  // the sheet window is gone; its procedure was never ours

    // PropertySheetA gives a positive value after OK or Finish, 0 after Cancel.
    if (ran < 0) return -1;
    if (ran == 0) return m_bEndRequested ? m_nEndResult : IDCANCEL;
    return (m_psh.dwFlags & PSH_WIZARD) != 0 ? ID_WIZFINISH : IDOK;
}

void CPropertySheet::OnSheetWindow(HWND hWnd) {
    Attach(hWnd);
    // Without PSH_HASHELP the platform only hides its Help button. Removing it leaves the
    // wizard with exactly its Back, Next/Finish and Cancel buttons, for the user and for
    // anything that looks for the buttons by id; the platform's layout is done by now.
    if ((m_psh.dwFlags & PSH_HASHELP) == 0) {
        if (HWND help = ::GetDlgItem(hWnd, IDHELP)) ::DestroyWindow(help);
    }
}

void CPropertySheet::EndDialog(int result) {
    if (m_hWnd == nullptr) return;
    m_nEndResult = result;
    m_bEndRequested = TRUE;
    PressButton(PSBTN_CANCEL);
}

void CPropertySheet::PressButton(int button) { PostMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

void CPropertySheet::SetWizardButtons(DWORD flags) {
    PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}
