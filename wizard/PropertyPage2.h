#pragma once
// Page 2: lists the chosen form's fields; all of them or a selection are exported.

#include "wizard/WizardPage.h"

#include <commctrl.h>

class CPropertyPage2 : public CWizardPage {
public:
    CPropertyPage2();
    ~CPropertyPage2() override;

    CWnd m_fieldList;
    int m_fieldMode = 0;  // 0: all fields, 1: the selected fields
    HIMAGELIST m_imageList = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code) override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

private:
    std::string ItemText(int index) const;
};
