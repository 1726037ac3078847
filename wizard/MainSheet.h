#pragma once
// The three-page export wizard and the choices it collects for the conversion job.

#include "framework/PropertySheet.h"
#include "notes/NotesApi.h"
#include "wizard/PropertyPage1.h"
#include "wizard/PropertyPage2.h"
#include "wizard/PropertyPage3.h"

#include <string>
#include <vector>

class CMainSheet : public CPropertySheet {
public:
    explicit CMainSheet(std::string documentsFolder, HWND parent = nullptr);

    CPropertyPage1 m_page1;
    CPropertyPage2 m_page2;
    CPropertyPage3 m_page3;
    char m_dbPath[notes::MAXPATH];  // LMBCS, as the Notes API opens it
    std::string m_dbTitle;          // only the destination page reads it
    std::string m_documentsFolder;  // the destination page's proposal; empty when unknown
    std::string m_formName;
    std::vector<std::string> m_fieldNames;  // the CSV column order
    std::string m_exportPath;
};
