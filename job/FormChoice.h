#pragma once
// What the form and field pages would take for a form or a field named on the command line.

#include "notes/FieldEntry.h"

#include <string>
#include <vector>

// The form the form page shows under `name`: its whole title, or one of its synonyms as the
// export's filter matches them. Empty when no form answers.
std::string FindForm(const std::vector<std::string>& forms, const std::string& name);

// The field of the form that `name` names, as the form spells it: Notes finds an item
// whatever the letter case of its name, so a batch file need not match it. Empty when none.
std::string FindField(const std::vector<std::string>& fields, const std::string& name);

// The field page's list: every field of the form, in the order its list view sorts them.
std::vector<std::string> FieldPageOrder(const FieldList& fields);
