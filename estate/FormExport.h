#pragma once
// The path every export of one form takes, whether the run names one database and one form
// or a whole estate: the form's fields chosen from its catalogue entry, then the export to its
// target. A single export is an estate of one.

#include "estate/FormCatalogue.h"
#include "job/ExportStage.h"
#include "job/ExportTotals.h"
#include "job/TextOutput.h"
#include "job/UnattendedRun.h"

#include <string>
#include <vector>

// The fields of `form` that `wanted` names, as the form spells them, in the order asked
// for; every field in the field page's order when `wanted` is empty. False when one is not
// there, told on `output`.
bool ChooseFields(const FormFields& form, const std::vector<std::string>& wanted, CTextOutput& output,
                  std::vector<std::string>& fields);

// One database's one form to `choices.exportPath` (its attachments placed already): the
// catalogue read for that form, the form that `formName` names, its fields, then the export.
// What ends it before the export stage is printed on `early`, the rest on `output`. Returns
// the exit status; `totals` holds the export's counts.
int ExportOneForm(const UnattendedRun& run, const std::string& formName,
                  const std::vector<std::string>& wanted, ExportChoices choices, const std::string& logPath,
                  CTextOutput& early, CTextOutput& output, ExportTotals& totals);
