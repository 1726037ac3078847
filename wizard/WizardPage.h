#pragma once
// What the three pages share: the way to their sheet.

#include "framework/PropertyPage.h"

class CMainSheet;

class CWizardPage : public CPropertyPage {
public:
    using CPropertyPage::CPropertyPage;

protected:
    CMainSheet* Sheet() const;
};
