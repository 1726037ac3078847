#include "wizard/MainSheet.h"

#include "res/resource.h"

#include <cstring>
#include <utility>

CMainSheet::CMainSheet(std::string documentsFolder, HWND parent)
    : CPropertySheet(IDS_WIZARD_CAPTION, parent, 0), m_documentsFolder(std::move(documentsFolder)) {
    std::memset(m_dbPath, 0, sizeof m_dbPath);
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    m_psh.dwFlags |= PSH_WIZARD;
}
