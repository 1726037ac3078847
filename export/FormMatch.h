#pragma once
// Whether a document was made with a form: its Form item against the form's title.

#include <string>

// True when `formItem` (native text) names the form titled `formTitle` (native text, the
// whole title: the name and its aliases separated by "|"): it equals one of the title's
// synonyms, spaces around each synonym ignored, regardless of letter case, as Notes
// matches a document's form.
bool IsFormOf(const std::string& formItem, const std::string& formTitle);
