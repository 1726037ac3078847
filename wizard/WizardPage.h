#pragma once
// What the three pages share: the way to their sheet and a quiet close of a database.

#include "framework/PropertyPage.h"

class CMainSheet;
class CNsfDatabase;

class CWizardPage : public CPropertyPage {
public:
    using CPropertyPage::CPropertyPage;

protected:
    CMainSheet* Sheet() const;
};

// Closes a database on a path that has already reported a failure: a second failure
// would only repeat it, so it adds no message of its own.
void CloseQuietly(CNsfDatabase& db);
