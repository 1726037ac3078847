#include "wizard/WizardPage.h"

#include "wizard/MainSheet.h"

CMainSheet* CWizardPage::Sheet() const { return dynamic_cast<CMainSheet*>(GetSheet()); }
