#include "notes/NsfNote.h"

#include "notes/BufferSizes.h"
#include "notes/ItemText.h"
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <cstring>

using namespace notes;

namespace {
constexpr size_t kItemNameSize = notes::kConvertItemNameSize;
constexpr size_t kTextBufferSize = notes::kItemTextSize;
constexpr char kListSeparator = ';';
}  // namespace

void CNsfNote::Open(DBHANDLE hDb, NOTEID noteId, WORD openFlags) {
    ThrowIfFailed(Api().NSFNoteOpen(hDb, noteId, openFlags, &m_hNote));
    PrepareForReading();
}

void CNsfNote::PrepareForReading() {
    BOOL isSigned = 0;
    BOOL isSealed = 0;
    Api().NSFNoteIsSignedOrSealed(m_hNote, &isSigned, &isSealed);
    if (isSigned) ThrowIfFailed(Api().NSFNoteSign(m_hNote));
    if (isSealed) ThrowIfFailed(Api().NSFNoteDecrypt(m_hNote, 0, nullptr));
}

void CNsfNote::Close() { Api().NSFNoteClose(m_hNote); }

void CNsfNote::ReadValues(FieldList& fields) {
    for (FieldEntry& field : fields) {
        FieldEntry copy = field;
        ReadItemText(copy);
        field = std::move(copy);
    }
}

void CNsfNote::ReadItemText(FieldEntry& entry) {
    // Not zeroed: clearing 128 KB for every field of every document showed in the export's
    // profile, and all that is read is what the calls write, up to the NUL each text ends in.
    char name[kItemNameSize];
    char lmbcs[kTextBufferSize];
    char native[kTextBufferSize];
    TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, entry.name.c_str(), entry.name.size(), name, sizeof name);
    const WORD length = Api().NSFItemConvertToText(m_hNote, name, lmbcs, kTextBufferSize, kListSeparator);
    if (length == 0) {
        entry.value.clear();
        return;
    }
    // The text ends at its length even if the library left the NUL out; a text that fills
    // the whole buffer is taken up to the buffer's end.
    if (length < kTextBufferSize) lmbcs[length] = '\0';
    const size_t lmbcsLength = strnlen(lmbcs, sizeof lmbcs);
    TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs, lmbcsLength, native,
                  lmbcsLength + 1 < sizeof native ? lmbcsLength + 1 : sizeof native);
    MakeCsvSafe(native, sizeof native);
    entry.value.assign(native, strnlen(native, sizeof native));
}
