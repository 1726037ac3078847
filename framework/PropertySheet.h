#pragma once
// CPropertySheet: a modal property sheet over the platform's PropertySheetA, normally in
// wizard mode (PSH_WIZARD in m_psh.dwFlags).

#include "framework/PropertyPage.h"
#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#ifndef ID_WIZFINISH
// What DoModal returns after a wizard's Finish; the platform's headers here do not name it.
#define ID_WIZFINISH 12325
#endif

class CPropertySheet : public CWnd {
public:
    // `captionId`: string of the sheet's caption; `selectPage`: index of the first page shown.
    explicit CPropertySheet(UINT captionId, HWND parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    // The page object must live as long as the sheet runs.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;

    // Runs the sheet over GetSafeOwner(m_hParentWnd). A wizard returns ID_WIZFINISH after
    // Finish; any sheet returns IDCANCEL after Cancel, the result given to EndDialog when
    // that ended it, and -1 when the sheet could not be shown.
    virtual INT_PTR DoModal();

    // Ends a running sheet with `result` by pressing its Cancel button, so the pages are
    // asked and told as on any cancel.
    virtual void EndDialog(int result);

    // PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH, PSBTN_CANCEL...: posted, as a user's press is.
    void PressButton(int button);
    // PSWIZB_BACK | PSWIZB_NEXT | PSWIZB_FINISH...: posted to the sheet.
    void SetWizardButtons(DWORD flags);

    // The header given to PropertySheetA. The owner may change dwFlags before DoModal (set
    // PSH_WIZARD, clear PSH_HASHELP); DoModal fills the page array, parent and caption.
    PROPSHEETHEADERA m_psh;
    HWND m_hParentWnd;
    std::string m_strCaption;

private:
    friend class CPropertyPage;
    // The sheet window became known (its first page is being created).
    void OnSheetWindow(HWND hWnd);

    std::vector<CPropertyPage*> m_pages;
    int m_nEndResult = 0;
    BOOL m_bEndRequested = FALSE;
};
