#include "job/FormChoice.h"

#include "export/FormMatch.h"
#include "job/PathCheck.h"

#include <windows.h>

#include <algorithm>

std::string FindForm(const std::vector<std::string>& forms, const std::string& name) {
    for (const std::string& form : forms) {
        if (form == name) return form;
    }
    for (const std::string& form : forms) {
        if (FormMatch(form).Names(name)) return form;
    }
    return {};
}

namespace {

// True when two item names differ at most in the case of their ASCII letters, as Notes compares
// them: the second byte of a double-byte character is compared as it is.
bool SameItemName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsNativeLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string FindField(const std::vector<std::string>& fields, const std::string& name) {
    for (const std::string& field : fields) {
        if (field == name) return field;
    }
    for (const std::string& field : fields) {
        if (SameItemName(field, name)) return field;
    }
    return {};
}

std::vector<std::string> FieldPageOrder(const FieldList& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& field : fields) names.push_back(field.name);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}
