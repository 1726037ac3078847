#include "notes/NsfError.h"

#include "framework/MessageSink.h"
#include "notes/BufferSizes.h"
#include "notes/NotesBinding.h"

#include <cstring>

namespace {
constexpr size_t kStatusTextSize = notes::kStatusTextSize;
constexpr char kNoTextPrefix[] = "Notes error ";
}  // namespace

CNsfError::CNsfError(notes::STATUS status) : m_status(status) {
    if (notes::NotesBound()) {
        char lmbcs[kStatusTextSize] = {};
        char native[kStatusTextSize] = {};
        notes::Api().OSLoadString(nullptr, static_cast<notes::STATUS>(status & notes::ERR_MASK), lmbcs,
                                  kStatusTextSize - 1);
        notes::TranslateInto(notes::OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs, strnlen(lmbcs, kStatusTextSize - 1),
                             native, sizeof native);
        m_message = native;
    }
    // A status without a text (none from the library, or no library) is still named: by its
    // number, flag bits aside.
    if (m_message.empty()) m_message = kNoTextPrefix + std::to_string(status & notes::ERR_MASK);
}

void CNsfError::ReportError(CMessageSink& sink) const { sink.Message(m_message); }
