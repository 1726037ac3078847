#include "estate/FormCatalogue.h"

#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"

#include <windows.h>

#include <algorithm>

std::vector<std::string> FieldPageOrder(const FieldList& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& field : fields) names.push_back(field.name);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

bool ReadFormCatalogue(CMessageSink& messages, const char* notesPath, std::vector<FormFields>& forms) {
    forms.clear();
    CNsfDatabase db;
    try {
        db.Open(notesPath);
        db.ListForms();
        for (const std::string& form : db.m_forms) {
            db.m_fields.clear();
            db.ListFields(form);
            forms.push_back({form, FieldPageOrder(db.m_fields)});
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
