#include "export/FormMatch.h"

#include <windows.h>

#include <vector>

namespace {

constexpr char kSynonymSeparator = '|';

// The text, without the spaces around it, in UTF-16 upper case: the comparison folds the
// case of every script that has one (Latin, Greek, Cyrillic, full-width letters alike).
std::wstring Folded(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::wstring();
    const size_t last = text.find_last_not_of(' ');
    const std::string trimmed = text.substr(first, last - first + 1);
    const int wide =
        MultiByteToWideChar(CP_ACP, 0, trimmed.data(), static_cast<int>(trimmed.size()), nullptr, 0);
    if (wide <= 0) return std::wstring();
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, trimmed.data(), static_cast<int>(trimmed.size()), &result[0], wide);
    CharUpperBuffW(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

}  // namespace

std::vector<std::string> FormSynonyms(const std::string& title) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < title.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(title[i])) && i + 1 < title.size()) {
            parts.back().append(title, i, 2);
            ++i;
        } else if (title[i] == kSynonymSeparator) {
            parts.emplace_back();
        } else {
            parts.back().push_back(title[i]);
        }
    }
    return parts;
}

FormMatch::FormMatch(const std::string& formTitle) {
    for (const std::string& synonym : FormSynonyms(formTitle)) m_synonyms.push_back(Folded(synonym));
}

bool FormMatch::Names(const std::string& formItem) const {
    const std::wstring form = Folded(formItem);
    if (form.empty()) return false;
    for (const std::wstring& synonym : m_synonyms) {
        if (synonym == form) return true;
    }
    return false;
}
