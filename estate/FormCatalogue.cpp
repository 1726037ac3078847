#include "estate/FormCatalogue.h"

#include "job/FormChoice.h"

#include "framework/ResourceString.h"
#include "notes/NsfDatabase.h"
#include "res/resource.h"
#include "notes/NsfError.h"

#include <windows.h>

#include <algorithm>

bool ReadFormCatalogue(CMessageSink& messages, const char* notesPath, std::vector<FormFields>& forms,
                       const std::string& onlyForm, std::string* defaultFormUnread) {
    forms.clear();
    if (defaultFormUnread != nullptr) defaultFormUnread->clear();
    CNsfDatabase db;
    try {
        db.Open(notesPath);
        db.ListForms();
        if (defaultFormUnread != nullptr && db.m_defaultFormStatus != 0)
            *defaultFormUnread = CNsfError(db.m_defaultFormStatus).m_message + " (status " +
                                 std::to_string(db.m_defaultFormStatus & notes::ERR_MASK) + ")";
        const std::string wanted = onlyForm.empty() ? std::string() : FindForm(db.m_forms, onlyForm);
        for (const std::string& form : db.m_forms) {
            if (!onlyForm.empty() && form != wanted) {
                forms.push_back({form, {}, {}, false, false});
                continue;
            }
            const bool isDefault = form == db.m_defaultForm;
            if (std::find(db.m_unnamedForms.begin(), db.m_unnamedForms.end(), form) !=
                db.m_unnamedForms.end()) {
                forms.push_back({form, {}, ResString(IDS_CMD_FORM_UNNAMED), isDefault, true});
                continue;
            }
            db.m_fields.clear();
            try {
                db.ListFields(form);
                forms.push_back({form, FieldPageOrder(db.m_fields), {}, isDefault});
            } catch (const CNsfError& error) {
                forms.push_back({form, {}, error.m_message, isDefault});
            }
        }
        db.Close();
    } catch (const CNsfError& error) {
        messages.Message(error.m_message);
        CloseQuietly(db);
        forms.clear();
        return false;
    }
    return true;
}
