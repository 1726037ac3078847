#pragma once
// Page 1: shows the database title and lets the user choose the form.

#include "wizard/WizardPage.h"

class CPropertyPage1 : public CWizardPage {
public:
    CPropertyPage1();

protected:
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
};
