#pragma once
// CPropertyPage: one page of a CPropertySheet, built from a numbered dialog template whose
// caption is the page's title. The sheet's notifications (activation, Back, Next, Finish,
// Cancel) arrive as the virtual functions below.

#include "framework/Dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    // The sheet this page's window sits in, found from the page's parent window; nullptr
    // while the page has no window.
    CPropertySheet* GetSheet() const;

    // A page has no run of its own to end: ends the sheet's.
    void EndDialog(int result) override;

    // What the sheet is given for this page; filled by the constructor.
    PROPSHEETPAGEA m_psp;

protected:
    friend class CPropertySheet;

    // The page is about to be shown: TRUE shows it, FALSE skips it. The default shows the
    // members in the controls again on every activation after the first.
    virtual BOOL OnSetActive();
    // The page is about to be left: TRUE lets it go. The default reads the controls back.
    virtual BOOL OnKillActive();
    // Next and Back pressed: 0 moves to the neighbouring page, -1 stays (default 0).
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // Finish pressed: TRUE ends the wizard with ID_WIZFINISH, FALSE stays (default TRUE).
    virtual BOOL OnWizardFinish();
    // Cancel pressed: TRUE lets the sheet close (default TRUE).
    virtual BOOL OnQueryCancel();

    // Turns the sheet's notifications into the functions above and their results into what
    // the sheet expects back.
    BOOL OnNotify(NMHDR* hdr, LRESULT* result) override;

private:
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    CPropertySheet* m_pSheet = nullptr;  // set by AddPage
    BOOL m_bFirstSetActive = TRUE;
};
