#include "wizard/PropertyPage1.h"

#include "framework/MessageBox.h"
#include "framework/MessageSink.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"
#include "wizard/MainSheet.h"

#include <vector>

CPropertyPage1::CPropertyPage1() : CWizardPage(IDD_PAGE_FORM) {}

BOOL CPropertyPage1::OnSetActive() {
    CMainSheet* sheet = Sheet();
    HWND combo = GetDlgItem(IDC_FORM_COMBO);
    // The database is read on the first activation only; a return keeps list and choice.
    if (::SendMessageA(combo, CB_GETCOUNT, 0, 0) != 0) return TRUE;

    CNsfDatabase db;
    try {
        db.Open(sheet->m_dbPath);
        db.ReadTitle();
        sheet->m_dbTitle = db.m_title;
        SetDlgItemText(IDC_DB_TITLE, sheet->m_dbTitle);
        db.ListForms();
    } catch (const CNsfError& error) {
        error.ReportError(MessageBoxes());
        CloseQuietly(db);
        return TRUE;
    }
    for (const std::string& form : db.m_forms) {
        const LRESULT added = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(form.c_str()));
        if (added < 0) AppMessageBox(IDS_TOO_MANY_ITEMS);
    }
    try {
        db.Close();
    } catch (const CNsfError& error) {
        error.ReportError(MessageBoxes());
    }
    return CWizardPage::OnSetActive();
}

LRESULT CPropertyPage1::OnWizardNext() {
    HWND combo = GetDlgItem(IDC_FORM_COMBO);
    const LRESULT selected = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        AppMessageBox(IDS_CHOOSE_FORM);
        return -1;
    }
    // Only an entry of the list counts; text typed into the edit field is never read.
    const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    if (length > 0) {
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                       reinterpret_cast<LPARAM>(text.data()));
    }
    if (text[0] == '\0') {
        AppMessageBox(IDS_FORM_INVALID);
        return -1;
    }
    Sheet()->m_formName = text.data();
    return 0;
}

LRESULT CPropertyPage1::OnWizardBack() {
    EndDialog(IDCANCEL);
    return -1;
}
