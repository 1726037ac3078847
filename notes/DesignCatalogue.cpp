// The design catalogue: the forms of a database and the fields of a form.
#include "notes/BufferSizes.h"
#include "notes/CompositeRecords.h"
#include "notes/FieldRecords.h"
#include "notes/LostCharacters.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "notes/ScopedNotesHandle.h"

#include <cstring>

using namespace notes;

CNsfDatabase g_scanDb;

namespace {

constexpr size_t kTitleBufferSize = notes::kFormTitleSize;         // a longer title is cut
constexpr size_t kFormNameBufferSize = notes::kFormNameLmbcsSize;  // a form name in LMBCS
constexpr size_t kItemNameBufferSize = notes::kScanItemNameSize;   // item names are at most 255 bytes
constexpr char kTitleItem[] = "$TITLE";
constexpr char kTitleNotAvailable[] = "not available";
constexpr char kTitleUnknownType[] = "unknown data type";

// Copies at most `capacity - 1` bytes of a value and terminates it.
void CopyBounded(char* dest, size_t capacity, const char* src, size_t length) {
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(dest, src, length);
    dest[length] = '\0';
}

WORD ReadWord(const void* p) {
    WORD w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// An item or field name (LMBCS, `length` bytes, not terminated) in native text, bounded by
// the name buffers.
std::string NativeName(const char* name, size_t length) {
    char lmbcsName[kItemNameBufferSize];
    CopyBounded(lmbcsName, sizeof lmbcsName, name, length);
    char nativeName[kItemNameBufferSize] = {};
    TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcsName,
                  WholeCharacterLength(lmbcsName, std::strlen(lmbcsName)), nativeName, sizeof nativeName);
    return nativeName;
}

// True for an item name that is the form's $Body (item names ignore the case of ASCII
// letters, and "$Body" has no other).
bool IsBodyItem(const char* name, size_t length) {
    return length == sizeof kFormBodyItem - 1 && _strnicmp(name, kFormBodyItem, length) == 0;
}

}  // namespace

STATUS LNCALLBACK CollectItem(WORD /*spare*/, WORD /*itemFlags*/, char* name, WORD nameLength, void* value,
                              DWORD valueLength, void* routineParameter) {
    const WORD type = valueLength >= sizeof(WORD) ? ReadWord(value) : 0;
    g_scanDb.m_fields.emplace_back(NativeName(name, nameLength), type);
    // A form saved by a designer holds its fields as CDFIELD records in its $Body items (one
    // or several); the scan's parameter, when given, collects them in record order.
    auto* definitions = static_cast<FieldList*>(routineParameter);
    if (definitions != nullptr && type == TYPE_COMPOSITE && IsBodyItem(name, nameLength)) {
        ForEachFieldRecord(value, valueLength, [definitions](const FieldRecord& field) {
            definitions->emplace_back(NativeName(field.name, field.nameLength),
                                      ItemTypeOfField(field.dataType));
        });
    }
    return 0;
}

void CNsfDatabase::ListForms() {
    HCOLLECTION collection = 0;
    ThrowIfFailed(Api().NIFOpenCollection(m_hDb, m_hDb, NOTE_CLASS_DESIGN_COLLECTION, OPEN_NOEXPAND, 0,
                                          &collection, nullptr, nullptr, nullptr, nullptr));
    ScopedNotesHandle closeCollection(collection, Api().NIFCloseCollection);

    // One read returns only what fits its 64 KB buffer (about 1,700 short titles); the
    // position then names the last entry read, and each read starts one entry further on.
    COLLECTIONPOSITION position{};
    position.Level = 0;
    position.Tumbler[0] = 0;
    WORD signal = 0;
    do {
        DHANDLE buffer = 0;
        DWORD count = 0;
        signal = 0;
        ThrowIfFailed(Api().NIFReadEntries(collection, &position, NAVIGATE_NEXT, 1, NAVIGATE_NEXT,
                                           MAXDWORD_COUNT, READ_MASK_NOTECLASS | READ_MASK_SUMMARY, &buffer,
                                           nullptr, nullptr, &count, &signal));
        // A read that returns nothing ends the list even if it says more is left.
        if (buffer == 0) return;
        auto* entry = static_cast<char*>(Api().OSLockObject(buffer));
        for (DWORD i = 0; entry != nullptr && i < count; ++i) {
            const WORD noteClass = ReadWord(entry);
            char* summary = entry + sizeof(WORD);
            AddFormEntry(noteClass, summary);
            entry = summary + ReadWord(summary);
        }
        Api().OSUnlockObject(buffer);
        Api().OSMemFree(buffer);
        if (count == 0) return;
    } while ((signal & SIGNAL_MORE_TO_DO) != 0);
}

void CNsfDatabase::AddFormEntry(WORD noteClass, void* summary) {
    char title[kTitleBufferSize] = {};
    char translated[kTitleBufferSize] = {};
    void* value = nullptr;
    WORD length = 0;
    WORD type = 0;
    if (!Api().NSFLocateSummaryValue(summary, kTitleItem, &value, &length, &type)) {
        CopyBounded(title, sizeof title, kTitleNotAvailable, sizeof kTitleNotAvailable - 1);
    } else if (type == TYPE_TEXT) {
        CopyBounded(title, sizeof title, static_cast<const char*>(value), length);
    } else if (type == TYPE_TEXT_LIST) {
        char* text = nullptr;
        WORD textLength = 0;
        if (Api().ListGetText(value, 0, 0, &text, &textLength) == 0 && text != nullptr) {
            CopyBounded(title, sizeof title, text, textLength);
        }
    } else {
        CopyBounded(title, sizeof title, kTitleUnknownType, sizeof kTitleUnknownType - 1);
    }
    if ((noteClass & NOTE_CLASS_FORM) == 0) return;
    const size_t titleLength = WholeCharacterLength(title, std::strlen(title));
    // The whole buffer is the room: "A×B" is three bytes of LMBCS and four of code page 932.
    TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, title, titleLength, translated, sizeof translated);
    m_forms.emplace_back(translated);
}

void CNsfDatabase::ListFields(const std::string& formName) {
    g_scanDb.m_fields.clear();
    char lmbcsName[kFormNameBufferSize] = {};
    TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, formName.c_str(), formName.size(), lmbcsName,
                  sizeof lmbcsName);
    NOTEID noteId = 0;
    ThrowIfFailed(Api().NIFFindDesignNote(m_hDb, lmbcsName, NOTE_CLASS_FORM, &noteId));
    NOTEHANDLE note = 0;
    ThrowIfFailed(Api().NSFNoteOpen(m_hDb, noteId, 0, &note));
    ScopedNotesHandle closeNote(note, Api().NSFNoteClose);
    FieldList definitions;
    ThrowIfFailed(Api().NSFItemScan(note, CollectItem, &definitions));
    // A form with field definitions lists those fields, and none of its other items ($TITLE,
    // $Info, $Body, ...); a form without any keeps every item as a field.
    const FieldList& fields = definitions.empty() ? g_scanDb.m_fields : definitions;
    m_fields.insert(m_fields.end(), fields.begin(), fields.end());
}
