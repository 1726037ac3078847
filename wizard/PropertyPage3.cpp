#include "wizard/PropertyPage3.h"

#include "job/InputChecks.h"
#include "job/PathCheck.h"
#include "wizard/SaveFileDialog.h"
#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "wizard/MainSheet.h"

namespace {
constexpr DWORD kSaveDialogFlags = OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_NONETWORKBUTTON;  // 0x28004
}

CPropertyPage3::CPropertyPage3() : CWizardPage(IDD_PAGE_DESTINATION) {}

BOOL CPropertyPage3::OnInitDialog() {
    CWizardPage::OnInitDialog();
    // The window is made on the page's first showing, once page 1 has read the title; the
    // proposal is made once per wizard run and whatever the user types afterwards stays.
    if (GetDlgItemText(IDC_EXPORT_PATH).empty()) {
        // A documents folder given with its separator (Wine gives one) gets no second one.
        const std::string& folder = Sheet()->m_documentsFolder;
        const char* separator = EndsWithBackslash(folder, IsNativeLeadByte) ? "" : "\\";
        SetDlgItemText(IDC_EXPORT_PATH, folder + separator + Sheet()->m_dbTitle + ".csv");
    }
    return TRUE;
}

BOOL CPropertyPage3::OnSetActive() {
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CWizardPage::OnSetActive();
}

LRESULT CPropertyPage3::OnWizardBack() {
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return 0;
}

BOOL CPropertyPage3::OnCommand(UINT id, UINT code) {
    if (id == IDC_BROWSE_CSV && code == BN_CLICKED) {
        OnBrowse();
        return TRUE;
    }
    return CWizardPage::OnCommand(id, code);
}

void CPropertyPage3::OnBrowse() {
    std::string chosen;
    // Owned by the sheet, which the dialog then disables: the main window behind the modal
    // sheet is disabled already, and an owner that is would leave Finish live meanwhile.
    if (RunSaveFileDialog(GetSafeOwner(m_hWnd), GetDlgItemText(IDC_EXPORT_PATH), ResString(IDS_CSV_FILTER),
                          ResString(IDS_CSV_DEFAULT_EXT), kSaveDialogFlags, chosen)) {
        SetDlgItemText(IDC_EXPORT_PATH, chosen);
    }
}

BOOL CPropertyPage3::OnWizardFinish() {
    std::string path = GetDlgItemText(IDC_EXPORT_PATH);
    if (const unsigned messageId = CheckDestination(path, IDS_CHOOSE_DESTINATION)) {
        AppMessageBox(messageId);
        return FALSE;
    }
    // The edit keeps what the user typed; only the stored path is trimmed.
    Sheet()->m_exportPath = path;
    return TRUE;
}
