#include "estate/FormCatalogue.h"

#include "cli/FormChoice.h"

#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"

#include <windows.h>

#include <algorithm>

bool ReadFormCatalogue(CMessageSink& messages, const char* notesPath, std::vector<FormFields>& forms) {
    forms.clear();
    CNsfDatabase db;
    try {
        db.Open(notesPath);
        db.ListForms();
        for (const std::string& form : db.m_forms) {
            db.m_fields.clear();
            try {
                db.ListFields(form);
                forms.push_back({form, FieldPageOrder(db.m_fields), {}, form == db.m_defaultForm});
            } catch (const CNsfError& error) {
                forms.push_back({form, {}, error.m_message, form == db.m_defaultForm});
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
