#include "wizard/WizardPage.h"

#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "wizard/MainSheet.h"

CMainSheet* CWizardPage::Sheet() const { return dynamic_cast<CMainSheet*>(GetSheet()); }

void CloseQuietly(CNsfDatabase& db) {
    try {
        db.Close();
    } catch (const CNsfError&) {
    }
}
