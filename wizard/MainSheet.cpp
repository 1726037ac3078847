#include "wizard/MainSheet.h"

#include "res/resource.h"

#include <cstring>

CMainSheet::CMainSheet(HWND parent) : CPropertySheet(IDS_WIZARD_CAPTION, parent, 0) {
    std::memset(m_dbPath, 0, sizeof m_dbPath);
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    m_psh.dwFlags |= PSH_WIZARD;
}
