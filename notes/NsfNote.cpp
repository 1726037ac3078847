#include "notes/NsfNote.h"

#include "notes/BufferSizes.h"
#include "notes/ItemText.h"
#include "notes/LostCharacters.h"
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <cstring>

using namespace notes;

namespace {
constexpr size_t kItemNameSize = notes::kConvertItemNameSize;
constexpr size_t kTextBufferSize = notes::kItemTextSize;
constexpr char kListSeparator = ';';

// Characters of the LMBCS text that its native translation does not hold.
size_t LostInTranslation(const char* lmbcs, size_t lmbcsLength, const char* native, size_t nativeLength) {
    // Most cells are plain ASCII, which every code page holds: they skip the second translation.
    if (IsPlainAscii(lmbcs, lmbcsLength)) return 0;
    char back[kTextBufferSize];
    const size_t backLength =
        TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, native, nativeLength, back, sizeof back);
    return CountLostCharacters(lmbcs, lmbcsLength, back, backLength);
}

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
    entry.lost = 0;
    if (length == 0) {
        entry.value.clear();
        return;
    }
    // The text ends at its length even if the library left the NUL out; a text that fills
    // the whole buffer is taken up to the buffer's end.
    if (length < kTextBufferSize) lmbcs[length] = '\0';
    const size_t lmbcsLength = strnlen(lmbcs, sizeof lmbcs);
    // The whole buffer is the room: a character of one LMBCS byte (×, ±, °, §) takes two
    // bytes in code page 932, so the native text may be longer than the LMBCS one.
    const size_t nativeLength =
        TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs, lmbcsLength, native, sizeof native);
    entry.lost = LostInTranslation(lmbcs, lmbcsLength, native, nativeLength);
    MakeCsvSafe(native, sizeof native);
    entry.value.assign(native, strnlen(native, sizeof native));
}
