#include "wizard/PropertyPage2.h"

#include "framework/MessageBox.h"
#include "framework/MessageSink.h"
#include "framework/ResourceString.h"
#include "framework/WinApp.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"
#include "wizard/MainSheet.h"

#include <vector>

namespace {
constexpr int kColumnWidth = 300;
constexpr int kIconSize = 16;
}  // namespace

CPropertyPage2::CPropertyPage2() : CWizardPage(IDD_PAGE_FIELDS) {}

CPropertyPage2::~CPropertyPage2() {
    // The list only borrows the image list (LVS_SHAREIMAGELISTS).
    if (m_imageList != nullptr) ImageList_Destroy(m_imageList);
}

void CPropertyPage2::DoDataExchange(CDataExchange* pDX) {
    CWizardPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FIELD_LIST, m_fieldList);
    DDX_Radio(pDX, IDC_RADIO_ALL_FIELDS, m_fieldMode);
}

BOOL CPropertyPage2::OnInitDialog() {
    CWizardPage::OnInitDialog();
    if (m_imageList != nullptr) ImageList_Destroy(m_imageList);
    m_imageList = ImageList_Create(kIconSize, kIconSize, ILC_MASK | ILC_COLOR4, 1, 1);
    HICON icon = static_cast<HICON>(
        LoadImageA(GetResourceInstance(), MAKEINTRESOURCEA(IDI_FIELD), IMAGE_ICON, kIconSize, kIconSize, 0));
    ImageList_AddIcon(m_imageList, icon);
    DestroyIcon(icon);
    m_fieldList.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_imageList));

    std::string heading = ResString(IDS_FIELD_COLUMN);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumnWidth;
    column.pszText = heading.data();
    m_fieldList.SendMessage(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    return TRUE;
}

BOOL CPropertyPage2::OnCommand(UINT id, UINT code) {
    if (code == BN_CLICKED && (id == IDC_RADIO_ALL_FIELDS || id == IDC_RADIO_SELECTED_FIELDS)) {
        UpdateData(TRUE);
        if (id == IDC_RADIO_SELECTED_FIELDS && m_fieldMode == 1) m_fieldList.EnableWindow(TRUE);
        if (id == IDC_RADIO_ALL_FIELDS && m_fieldMode == 0) m_fieldList.EnableWindow(FALSE);
        return TRUE;
    }
    return CWizardPage::OnCommand(id, code);
}

BOOL CPropertyPage2::OnSetActive() {
    CMainSheet* sheet = Sheet();
    if (m_fieldList.SendMessage(LVM_GETITEMCOUNT) != 0) {
        m_fieldList.SendMessage(LVM_DELETEALLITEMS);
        sheet->m_fieldNames.clear();
    }
    CNsfDatabase db;
    try {
        db.Open(sheet->m_dbPath);
        db.ListFields(sheet->m_formName);
    } catch (const CNsfError& error) {
        error.ReportError(MessageBoxes());
        CloseQuietly(db);
        return TRUE;
    }
    for (FieldEntry& field : db.m_fields) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = 0;  // the list places it in its sorted order
        item.pszText = field.name.data();
        item.iImage = 0;
        m_fieldList.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    try {
        db.Close();
    } catch (const CNsfError& error) {
        error.ReportError(MessageBoxes());
    }
    return CWizardPage::OnSetActive();
}

std::string CPropertyPage2::ItemText(int index) const {
    // Item names are at most 255 bytes; the buffer also bounds anything longer.
    std::vector<char> text(1024, '\0');
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    m_fieldList.SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    text.back() = '\0';
    return text.data();
}

LRESULT CPropertyPage2::OnWizardNext() {
    CMainSheet* sheet = Sheet();
    if (m_fieldMode == 0) {
        for (int i = 0; i < static_cast<int>(m_fieldList.SendMessage(LVM_GETITEMCOUNT)); ++i) {
            sheet->m_fieldNames.push_back(ItemText(i));
        }
        return 0;
    }
    if (m_fieldList.SendMessage(LVM_GETSELECTEDCOUNT) == 0) {
        AppMessageBox(IDS_CHOOSE_FIELDS);
        return -1;
    }
    const int count = static_cast<int>(m_fieldList.SendMessage(LVM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i) {
        if (m_fieldList.SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) &
            LVIS_SELECTED) {
            sheet->m_fieldNames.push_back(ItemText(i));
        }
    }
    return 0;
}
