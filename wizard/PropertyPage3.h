#pragma once
// Page 3: where the CSV file goes.

#include "wizard/WizardPage.h"

class CPropertyPage3 : public CWizardPage {
public:
    CPropertyPage3();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code) override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;

private:
    void OnBrowse();
};
