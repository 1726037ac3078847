#include "estate/FormExport.h"

#include "framework/ResourceString.h"
#include "job/ExitStatus.h"
#include "job/FormChoice.h"
#include "job/OutputMessages.h"
#include "job/TargetExport.h"
#include "res/resource.h"

bool ChooseFields(const FormFields& form, const std::vector<std::string>& wanted, CTextOutput& output,
                  std::vector<std::string>& fields) {
    if (wanted.empty()) {
        fields = form.fields;
        return true;
    }
    fields.clear();
    for (const std::string& name : wanted) {
        const std::string field = FindField(form.fields, name);
        if (field.empty()) {
            output.PrintClosing(ResStringWith(IDS_CMD_FIELD_NOT_FOUND, name));
            return false;
        }
        fields.push_back(field);
    }
    return true;
}

int ExportOneForm(const UnattendedRun& run, const std::string& formName,
                  const std::vector<std::string>& wanted, ExportChoices choices, const std::string& logPath,
                  CTextOutput& early, CTextOutput& output, ExportTotals& totals) {
    COutputMessages messages(early);
    std::vector<FormFields> catalogue;
    if (!ReadFormCatalogue(messages, choices.dbPath.c_str(), catalogue, formName)) return kExitNothing;
    std::vector<std::string> titles;
    for (const FormFields& form : catalogue) titles.push_back(form.form);
    const std::string title = FindForm(titles, formName);
    const FormFields* chosen = nullptr;
    for (const FormFields& form : catalogue) {
        if (!title.empty() && form.form == title) chosen = &form;
    }
    if (chosen == nullptr) {
        messages.Message(ResStringWith(IDS_CMD_FORM_NOT_FOUND, formName));
        return kExitNothing;
    }
    // A form without a text title names no document; its entry says so.
    if (!chosen->error.empty()) {
        messages.Message(chosen->error);
        return kExitNothing;
    }
    choices.formName = chosen->form;
    if (!ChooseFields(*chosen, wanted, early, choices.fieldNames)) return kExitNothing;
    // Ctrl+C during Notes' start or the look-ups (a server far away) is heard here.
    if (run.StopRequested()) {
        messages.Message(ResString(IDS_CMD_STOPPED_BEFORE_EXPORT));
        return kExitIncomplete;
    }
    return ExportToTarget(run, choices, logPath, early, output, totals);
}
