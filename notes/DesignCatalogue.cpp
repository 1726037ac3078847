// The design catalogue: the forms of a database and the fields of a form.
#include "notes/BufferSizes.h"
#include "notes/CompositeRecords.h"
#include "notes/FieldRecords.h"
#include "notes/LostCharacters.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "notes/ScopedNotesHandle.h"
#include "log/SysLog.h"

#include <cstring>
#include <functional>
#include <set>

using namespace notes;

namespace {

constexpr size_t kTitleBufferSize = notes::kFormTitleSize;         // a longer title is cut
constexpr size_t kFormNameBufferSize = notes::kFormNameLmbcsSize;  // a form name in LMBCS
constexpr size_t kItemNameBufferSize = notes::kScanItemNameSize;   // item names are at most 255 bytes
constexpr char kTitleItem[] = "$TITLE";
constexpr char kTitleNotAvailable[] = "not available";
constexpr char kTitleUnknownType[] = "unknown data type";
// The entries of a text-list title name one form; the page shows them as a "|" title does.
constexpr char kTitleSeparator = '|';
constexpr BOOL kListWithoutTypeWord = 0;  // ListGetText: the list starts at its entry count
constexpr char kFlagsItem[] = "$Flags";
// The $Flags letters that make a design note of the form class a subform, page, frameset,
// shared action, navigator or resource rather than a form (the reference's subclass set).
// The letters that only hide a form (from menus, the web or Notes) are not among them: a
// user may still have documents made with such a form.
constexpr char kNotFormLetters[] = "UW#yi@GFXstmzk=Kg%{^";
constexpr char kSubFormsItem[] = "$SubForms";
constexpr char kFieldsItem[] = "$Fields";
// Items the designer and Notes keep on a form note, never fields of its documents.
constexpr char kDesignItemMark = '$';
constexpr char kSubformNotFoundText[] = "Subform not found: ";
constexpr char kSubformNotReadText[] = "Subform not read: ";

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

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A name as Notes compares item and field names: ASCII letters without case, every other
// LMBCS character byte for byte; two names are the same when their keys are.
std::string NameKey(const std::string& lmbcs) {
    std::string key = lmbcs;
    for (size_t i = 0; i < key.size();) {
        const size_t length = LmbcsCharacterLength(key.data() + i, key.size() - i);
        if (length == 1) key[i] = AsciiUpper(key[i]);
        i += length;
    }
    return key;
}

bool SameLmbcsName(const std::string& a, const std::string& b) { return NameKey(a) == NameKey(b); }

// One field name found on a form or subform, with its LMBCS spelling for comparing.
struct NamedField {
    std::string lmbcs;
    FieldEntry entry;
};

// What one item scan of a form or subform note gathers.
struct FormScan {
    bool keepItems = false;               // the form's own scan: a form without definitions needs them
    FieldList items;                      // every item of the note, in scan order, when kept
    std::vector<NamedField> definitions;  // CDFIELD records of its $Body items, in record order
    std::vector<std::string> subforms;    // $SubForms entries, LMBCS
    std::vector<std::string> fieldNames;  // $Fields entries, LMBCS
    bool hasBody = false;                 // a $Body of composite records
};

std::string LmbcsName(const char* name, size_t length) {
    char bounded[kItemNameBufferSize];
    CopyBounded(bounded, sizeof bounded, name, length);
    return std::string(bounded, WholeCharacterLength(bounded, std::strlen(bounded)));
}

bool IsDesignItemName(const std::string& name) { return !name.empty() && name[0] == kDesignItemMark; }

// The fields listed so far, each name once: a form may have tens of thousands.
struct ListedFields {
    FieldList fields;
    std::set<std::string> keys;

    // Adds `field` unless a field of its name is listed already; with `noDesignItems`, a `$`
    // name is left out as well.
    void Add(const NamedField& field, bool noDesignItems) {
        if (field.lmbcs.empty() || (noDesignItems && IsDesignItemName(field.lmbcs))) return;
        if (keys.insert(NameKey(field.lmbcs)).second) fields.push_back(field.entry);
    }
};

// True when the summary's $Flags marks a design note of the form class as something else.
bool IsOtherThanForm(void* summary) {
    void* value = nullptr;
    WORD length = 0;
    WORD type = 0;
    if (!Api().NSFLocateSummaryValue(summary, kFlagsItem, &value, &length, &type) || type != TYPE_TEXT ||
        value == nullptr) {
        return false;
    }
    const char* flags = static_cast<const char*>(value);
    for (WORD i = 0; i < length; ++i) {
        if (flags[i] != '\0' &&
            std::memchr(kNotFormLetters, flags[i], sizeof kNotFormLetters - 1) != nullptr) {
            return true;
        }
    }
    return false;
}

// The entries of a text-list title, as far as they lie inside the summary value and until
// they fill `capacity` bytes joined.
std::vector<std::string> TitleEntries(void* list, WORD length, size_t capacity) {
    std::vector<std::string> entries;
    if (length < sizeof(WORD)) return entries;
    const WORD count = ReadWord(list);
    size_t used = sizeof(WORD) * (size_t{count} + 1);
    size_t joined = 0;
    for (WORD i = 0; i < count && used <= length && joined < capacity; ++i) {
        char* text = nullptr;
        WORD textLength = 0;
        if (Api().ListGetText(list, kListWithoutTypeWord, i, &text, &textLength) != 0 || text == nullptr)
            break;
        used += textLength;
        if (used > length) break;
        entries.emplace_back(text, textLength);
        joined += (i != 0 ? 1 : 0) + textLength;
    }
    return entries;
}

}  // namespace

STATUS LNCALLBACK CollectItem(WORD /*spare*/, WORD /*itemFlags*/, char* name, WORD nameLength, void* value,
                              DWORD valueLength, void* routineParameter) {
    const WORD type = valueLength >= sizeof(WORD) ? ReadWord(value) : 0;
    auto* scan = static_cast<FormScan*>(routineParameter);
    if (scan->keepItems) scan->items.emplace_back(NativeName(name, nameLength), type);
    const std::string itemName = LmbcsName(name, nameLength);
    // A form saved by a designer holds its fields as CDFIELD records in its $Body items (one
    // or several), in record order.
    if (type == TYPE_COMPOSITE && IsBodyItem(name, nameLength)) {
        scan->hasBody = true;
        ForEachFieldRecord(value, valueLength, [scan](const FieldRecord& field) {
            scan->definitions.push_back(
                NamedField{LmbcsName(field.name, field.nameLength),
                           FieldEntry(NativeName(field.name, field.nameLength), field.dataType)});
        });
    } else if (SameLmbcsName(itemName, kSubFormsItem) || SameLmbcsName(itemName, kFieldsItem)) {
        auto& names = SameLmbcsName(itemName, kSubFormsItem) ? scan->subforms : scan->fieldNames;
        ForEachTextEntry(value, valueLength, [&names](const char* text, size_t textLength) {
            if (textLength != 0) names.emplace_back(text, textLength);
        });
    }
    return 0;
}

namespace {

// The wizard lists fields before a job has a log: it hands none.
void LogSubform(CSysLog* log, const std::string& text) {
    if (log != nullptr) log->Write(LEVEL_DEBUG, text);
}

// A buffer the library handed over, locked for reading, then unlocked and freed on every way
// out, a visit that throws among them.
struct LockedBuffer {
    explicit LockedBuffer(DHANDLE buffer) : handle(buffer), data(Api().OSLockObject(buffer)) {}
    ~LockedBuffer() {
        if (data != nullptr) Api().OSUnlockObject(handle);
        Api().OSMemFree(handle);
    }
    LockedBuffer(const LockedBuffer&) = delete;
    LockedBuffer& operator=(const LockedBuffer&) = delete;

    DHANDLE handle;
    void* data;
};

void ScanDesignNote(DBHANDLE db, NOTEID noteId, FormScan* scan) {
    NOTEHANDLE note = 0;
    ThrowIfFailed(Api().NSFNoteOpen(db, noteId, 0, &note));
    ScopedNotesHandle closeNote(note, Api().NSFNoteClose);
    ThrowIfFailed(Api().NSFItemScan(note, CollectItem, scan));
}

}  // namespace

void CNsfDatabase::ListForms() {
    ForEachDesignEntry(
        [this](NOTEID noteId, WORD noteClass, void* summary) { AddFormEntry(noteId, noteClass, summary); });
    ReadDefaultForm();
}

void CNsfDatabase::ReadDefaultForm() {
    m_defaultForm.clear();
    m_defaultFormStatus = 0;
    // The library names the default form: nsfnote.h warns that more than one form may carry
    // the default flag and that the file's header decides, so the flags are not read.
    NOTEID defaultId = 0;
    const STATUS status = Api().NSFDbGetSpecialNoteID(m_hDb, SPECIAL_ID_NOTE | NOTE_CLASS_FORM, &defaultId);
    if ((status & ERR_MASK) == ERR_SPECIAL_ID) return;
    if (status != 0) {
        m_defaultFormStatus = status;
        return;
    }
    for (size_t i = 0; i < m_formIds.size() && i < m_forms.size(); ++i) {
        if (m_formIds[i] == defaultId) {
            m_defaultForm = m_forms[i];
            return;
        }
    }
    // Named, but not among the listed forms: one that cannot be opened is told with its
    // status; one that opens is a design note the form page does not offer.
    NOTEHANDLE note = 0;
    const STATUS opened = Api().NSFNoteOpen(m_hDb, defaultId, 0, &note);
    if (opened != 0) {
        m_defaultFormStatus = opened;
        return;
    }
    Api().NSFNoteClose(note);
}

void CNsfDatabase::ForEachDesignEntry(
    const std::function<void(NOTEID noteId, WORD noteClass, void* summary)>& visit) {
    HCOLLECTION collection = 0;
    ThrowIfFailed(Api().NIFOpenCollection(m_hDb, m_hDb, NOTE_CLASS_DESIGN_COLLECTION, OPEN_DO_NOT_CREATE, 0,
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
                                           MAXDWORD_COUNT,
                                           READ_MASK_NOTEID | READ_MASK_NOTECLASS | READ_MASK_SUMMARY,
                                           &buffer, nullptr, nullptr, &count, &signal));
        // A read that returns nothing ends the list even if it says more is left.
        if (buffer == 0) return;
        {
            LockedBuffer locked(buffer);
            auto* entry = static_cast<char*>(locked.data);
            for (DWORD i = 0; entry != nullptr && i < count; ++i) {
                // What each entry holds comes in the order of the mask's bits: the id, the class,
                // the summary.
                NOTEID noteId = 0;
                std::memcpy(&noteId, entry, sizeof noteId);
                const WORD noteClass = ReadWord(entry + sizeof noteId);
                char* summary = entry + sizeof noteId + sizeof(WORD);
                visit(noteId, noteClass, summary);
                entry = summary + ReadWord(summary);
            }
        }
        if (count == 0) return;
    } while ((signal & SIGNAL_MORE_TO_DO) != 0);
}

namespace {

// A form's title as the form page shows it (LMBCS, cut to the title buffer), and the one
// name that finds it again, whole however long the title: the first name of a text title
// (up to its first "|"), the first entry of a text-list title.
struct FormTitle {
    char shown[kTitleBufferSize] = {};
    std::string lookup;
    bool named = false;  // the title is text: documents and the library can name the form
};

// The first "|"-separated name of an LMBCS title; a "|" byte inside a double-byte character
// separates nothing.
std::string FirstName(const char* title, size_t length) {
    for (size_t i = 0; i < length;) {
        const size_t charLength = LmbcsCharacterLength(title + i, length - i);
        if (charLength == 1 && title[i] == kTitleSeparator) return std::string(title, i);
        i += charLength;
    }
    return std::string(title, length);
}

void ReadFormTitle(void* summary, FormTitle* title) {
    void* value = nullptr;
    WORD length = 0;
    WORD type = 0;
    if (!Api().NSFLocateSummaryValue(summary, kTitleItem, &value, &length, &type)) {
        CopyBounded(title->shown, sizeof title->shown, kTitleNotAvailable, sizeof kTitleNotAvailable - 1);
    } else if (type == TYPE_TEXT) {
        CopyBounded(title->shown, sizeof title->shown, static_cast<const char*>(value), length);
        const char* text = static_cast<const char*>(value);
        title->lookup = FirstName(text, strnlen(text, length));
        title->named = true;
        if (!title->lookup.empty()) return;
    } else if (type == TYPE_TEXT_LIST) {
        // The page shows the entries joined by "|"; the library knows the form by each of
        // them, never by their join.
        const std::vector<std::string> entries = TitleEntries(value, length, sizeof title->shown);
        std::string joined;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i != 0) joined.push_back(kTitleSeparator);
            joined += entries[i];
        }
        CopyBounded(title->shown, sizeof title->shown, joined.data(), joined.size());
        if (!entries.empty()) {
            title->lookup = entries.front();
            title->named = true;
            return;
        }
    } else {
        CopyBounded(title->shown, sizeof title->shown, kTitleUnknownType, sizeof kTitleUnknownType - 1);
    }
    title->lookup = title->shown;
}

// The native text of a title as the form page shows it.
std::string ShownTitle(const FormTitle& title) {
    char translated[kTitleBufferSize] = {};
    const size_t titleLength = WholeCharacterLength(title.shown, std::strlen(title.shown));
    // The whole buffer is the room: "A×B" is three bytes of LMBCS and four of code page 932.
    TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, title.shown, titleLength, translated, sizeof translated);
    return translated;
}

bool IsListedForm(WORD noteClass, void* summary) {
    return (noteClass & NOTE_CLASS_FORM) != 0 && !IsOtherThanForm(summary);
}

}  // namespace

void CNsfDatabase::AddFormEntry(NOTEID noteId, WORD noteClass, void* summary) {
    FormTitle title;
    ReadFormTitle(summary, &title);
    if (!IsListedForm(noteClass, summary)) return;
    m_forms.push_back(ShownTitle(title));
    m_formIds.push_back(noteId);
    if (!title.named) m_unnamedForms.push_back(m_forms.back());
}

std::string CNsfDatabase::FormLookupName(const std::string& formName) {
    std::string lookup;
    ForEachDesignEntry([&](NOTEID, WORD noteClass, void* summary) {
        if (!lookup.empty() || !IsListedForm(noteClass, summary)) return;
        FormTitle title;
        ReadFormTitle(summary, &title);
        if (ShownTitle(title) == formName) lookup = title.lookup;
    });
    if (!lookup.empty()) return lookup;
    // A name the form page did not show (a synonym, or a form gone since) is asked for as given.
    char lmbcsName[kFormNameBufferSize] = {};
    TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, formName.c_str(), formName.size(), lmbcsName,
                  sizeof lmbcsName);
    return lmbcsName;
}

void CNsfDatabase::ListFields(const std::string& formName) {
    const std::string lmbcsName = FormLookupName(formName);
    NOTEID noteId = 0;
    ThrowIfFailed(Api().NIFFindDesignNote(m_hDb, lmbcsName.c_str(), NOTE_CLASS_FORM, &noteId));
    FormScan form;
    form.keepItems = true;
    ScanDesignNote(m_hDb, noteId, &form);

    ListedFields listed;
    for (const NamedField& field : form.definitions) listed.Add(field, form.hasBody);
    // Fields placed on an inserted subform live in the subform's $Body. Each subform is read
    // once, so that subforms that insert each other end, and in the order a reader meets
    // them: a nested subform's fields before those of the next one its parent names.
    std::set<NOTEID> read = {noteId};
    std::vector<std::string> pending(form.subforms.rbegin(), form.subforms.rend());
    while (!pending.empty()) {
        const std::string name = pending.back();
        pending.pop_back();
        NOTEID subformId = 0;
        FormScan subform;
        // A subform that cannot be had costs only its own fields: the form's others stay.
        try {
            const STATUS found = Api().NIFFindDesignNote(m_hDb, name.c_str(), NOTE_CLASS_FORM, &subformId);
            if ((found & ERR_MASK) == ERR_NOT_FOUND) {
                LogSubform(m_log, kSubformNotFoundText + NativeName(name.data(), name.size()));
                continue;
            }
            ThrowIfFailed(found);
            if (!read.insert(subformId).second) continue;
            ScanDesignNote(m_hDb, subformId, &subform);
        } catch (const CNsfError& error) {
            LogSubform(m_log,
                       kSubformNotReadText + NativeName(name.data(), name.size()) + ", " + error.m_message);
            continue;
        }
        for (const NamedField& field : subform.definitions) listed.Add(field, true);
        pending.insert(pending.end(), subform.subforms.rbegin(), subform.subforms.rend());
    }
    if (listed.fields.empty() && form.subforms.empty()) {
        for (const std::string& name : form.fieldNames) {
            listed.Add(NamedField{name, FieldEntry(NativeName(name.data(), name.size()), 0)}, form.hasBody);
        }
    }
    if (!listed.fields.empty() || !form.subforms.empty()) {
        m_fields.insert(m_fields.end(), listed.fields.begin(), listed.fields.end());
        return;
    }
    // A form without field definitions keeps every item as a field, as older databases made
    // by hand expect; a designer's form still never offers its own $ items.
    for (const FieldEntry& item : form.items) {
        if (!form.hasBody || !IsDesignItemName(item.name)) m_fields.push_back(item);
    }
}
