#pragma once
// Every form of a database and the fields of each, as the form and field pages list them,
// read with the database opened once.

#include "framework/MessageSink.h"

#include <string>
#include <vector>

struct FormFields {
    std::string form;                 // the whole title, as the form page lists it
    std::vector<std::string> fields;  // in the field page's order
    std::string error;                // why its fields could not be read; empty: they were
    bool isDefault = false;           // the database's default form
    bool unnamed = false;             // without a text title: `error` says it is not exported
};

// Reads the forms and fields of the database at `notesPath` (LMBCS). False when it cannot be
// opened or its forms listed; the reason has been told to `messages`. A form whose fields
// cannot be read keeps its reason in `error`, and the other forms are read.
// With `onlyForm` (a form's name or synonym as typed), only the form it finds has its fields
// read: an export of one form needs no other form's.
// `defaultFormUnread`, when given, receives why the default form the library names could
// not be had (empty: it was, or there is none).
bool ReadFormCatalogue(CMessageSink& messages, const char* notesPath, std::vector<FormFields>& forms,
                       const std::string& onlyForm = std::string(), std::string* defaultFormUnread = nullptr);
