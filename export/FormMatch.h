#pragma once
// Whether a document was made with a form: its Form item against the form's title.

#include <string>
#include <vector>

// The title's parts between "|" characters, as written; a "|" byte inside a double-byte
// character (the trail byte of "ポ" is one in code page 932) does not split.
std::vector<std::string> FormSynonyms(const std::string& title);

// The synonyms of one form's title (native text, the whole title: the name and its aliases
// separated by "|"), folded once for the whole export run.
class FormMatch {
public:
    explicit FormMatch(const std::string& formTitle);

    // True when `formItem` (native text) equals one of the title's synonyms, spaces around
    // each ignored, regardless of letter case, as Notes matches a document's form.
    bool Names(const std::string& formItem) const;

private:
    std::vector<std::wstring> m_synonyms;
};
