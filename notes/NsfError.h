#pragma once
// The one exception type of the Notes layer: a failing status and the library's text for it.

#include "notes/NotesApi.h"

#include <string>

class CMessageSink;

class CNsfError {
public:
    explicit CNsfError(notes::STATUS status);

    // Hands the library's text to `sink` as the program's usual message: the Notes layer
    // only reports, and whoever called it decides where the text is seen.
    void ReportError(CMessageSink& sink) const;

    notes::STATUS m_status;  // exactly as the failing operation returned it, flag bits included
    std::string m_message;   // native text; "Notes error <number>" when the library has none
};

// Throws CNsfError for a nonzero status.
inline void ThrowIfFailed(notes::STATUS status) {
    if (status != 0) throw CNsfError(status);
}
