#include "notes/NsfNote.h"

#include "notes/BufferSizes.h"
#include "notes/CompositeRecords.h"
#include "notes/ItemText.h"
#include "notes/LostCharacters.h"
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <algorithm>
#include <cstring>

using namespace notes;

namespace {
constexpr size_t kItemNameSize = notes::kConvertItemNameSize;
constexpr size_t kTextBufferSize = notes::kItemTextSize;
constexpr char kListSeparator = ';';
constexpr char kLineBreakText[] = "  ";
// The longest LMBCS character: a group byte and two bytes. A conversion that stops within
// this many bytes of its buffer's end may have left out the rest of the value.
constexpr size_t kLongestLmbcsCharacter = 3;
// Notes splits a long rich-text field into items of one name, mostly at a paragraph, but it
// may split inside one: the next item then goes on with the paragraph the last one ended in.
constexpr char kParagraphBreak[] = "\r\n";
constexpr size_t kParagraphBreakLength = sizeof kParagraphBreak - 1;
// No note holds more items than a WORD counts: a library that kept handing back items would
// otherwise never end the walk.
constexpr size_t kMostItemsOfOneName = 0xFFFF;

bool FilledBuffer(size_t length, size_t capacity) { return length + kLongestLmbcsCharacter >= capacity; }

// The reference gives 60 KB as the largest buffer of the item-to-text conversion, while the
// program passes its whole 64,000 bytes: a text that ends within one character of either
// limit may have been cut at it.
bool NearConversionLimit(size_t length) {
    return FilledBuffer(length, kTextBufferSize) ||
           (FilledBuffer(length, kConvertValueTextLimit) && length <= kConvertValueTextLimit);
}

// True when the stored length of a text or text-list value shows that its whole text is the
// `length` bytes the conversion returned. A text list of c entries is stored as its type
// word, its count, c lengths and the entries (4 + 2c + entries bytes) and converts to the
// entries and c - 1 separators; every separator is among the semicolons of the text.
bool StoredValueFits(WORD type, DWORD valueLength, const char* text, size_t length, char separator) {
    const size_t stored = valueLength;
    if (type == TYPE_TEXT) return stored >= sizeof(WORD) && length >= stored - sizeof(WORD);
    if (type != TYPE_TEXT_LIST) return false;
    // Stored: type word, count, a WORD length per entry, the entries; the text holds the
    // entries and one separator between each two. So stored = text + 5 + c, and c is at
    // most one more than the text's semicolons.
    constexpr size_t kListHead = 2 * sizeof(WORD);
    const size_t mostEntries = static_cast<size_t>(std::count(text, text + length, separator)) + 1;
    return length + kListHead + 1 + mostEntries * (sizeof(WORD) - 1) >= stored;
}

// Whether a further rich-text item starts a paragraph: its value, after the type word, opens
// with a CDPARAGRAPH record. The value is reached as OSLockBlock reaches a BLOCKID's: the
// pool locked, the block its offset there. A value that cannot be looked at is taken to start
// one, the split Notes makes most.
bool StartsParagraph(const BLOCKID& value, DWORD valueLength) {
    if (valueLength < sizeof(WORD) + kBsigSize) return true;
    const char* pool = static_cast<const char*>(Api().OSLockObject(value.pool));
    if (pool == nullptr) return true;
    WORD signature = 0;
    std::memcpy(&signature, pool + value.block + sizeof(WORD), sizeof signature);
    Api().OSUnlockObject(value.pool);
    const WORD length = static_cast<WORD>(signature >> 8);
    return (signature & 0xFF) == SIG_CD_PARAGRAPH && length != kWordRecordLength &&
           length != kLongRecordLength;
}

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

notes::STATUS CNsfNote::Open(DBHANDLE hDb, NOTEID noteId, WORD openFlags) {
    // The handle is taken only from an open that succeeded: a note that did not open has
    // nothing to close.
    NOTEHANDLE opened = 0;
    ThrowIfFailed(Api().NSFNoteOpen(hDb, noteId, openFlags, &opened));
    m_hNote = opened;
    return PrepareForReading();
}

notes::STATUS CNsfNote::PrepareForReading() {
    BOOL isSigned = 0;
    BOOL isSealed = 0;
    Api().NSFNoteIsSignedOrSealed(m_hNote, &isSigned, &isSealed);
    // The signature plays no part in reading the items: a user whose ID cannot sign, or who
    // cancelled the password prompt, or a signature that does not verify, leaves the document
    // readable, so its status is handed back for a warning rather than thrown.
    notes::STATUS signature = 0;
    if (isSigned) {
        signature = m_signatureStep == SignatureStep::kVerify
                        ? Api().NSFNoteVerifySignature(m_hNote, nullptr, nullptr, nullptr, nullptr)
                        : Api().NSFNoteSign(m_hNote);
    }
    if (isSealed) Decrypt();
    return signature;
}

void CNsfNote::Decrypt() {
    m_hasAttachmentKey = false;
    if (!m_keepAttachmentKey) {
        ThrowIfFailed(Api().NSFNoteDecrypt(m_hNote, 0, nullptr));
        return;
    }
    const notes::STATUS asked = Api().NSFNoteDecrypt(m_hNote, 0, &m_attachmentKey);
    if (asked == 0) {
        m_hasAttachmentKey = true;
        return;
    }
    // A key of the kinds of Notes 8.0.1 and later does not fit an ENCRYPTION_KEY; the
    // reference's way out is to decrypt the attachments with the note, and extract them
    // without a key.
    if ((asked & ERR_MASK) == ERR_BSAFE_UNSUPPORTED_CRYPTO_OP &&
        Api().NSFNoteDecrypt(m_hNote, DECRYPT_ATTACHMENTS_IN_PLACE, nullptr) == 0) {
        return;
    }
    // Asking for the attachments must never cost the document its line: decrypted as an export
    // of the fields alone would, its files are then warned of one by one as not written.
    ThrowIfFailed(Api().NSFNoteDecrypt(m_hNote, 0, nullptr));
}

void CNsfNote::Close() {
    if (m_hNote == 0) return;
    Api().NSFNoteClose(m_hNote);
    m_hNote = 0;
}

void CNsfNote::ReadValues(FieldList& fields) {
    // In place: the value's buffer from the last document takes this one's, where a copy of
    // each entry would make its strings anew for every cell.
    for (FieldEntry& field : fields) ReadItemText(field);
}

size_t CNsfNote::AppendFurtherItems(const FirstItem& first, const char* name, WORD nameLength, char* text,
                                    size_t length, FieldEntry& entry) const {
    if ((first.status & ERR_MASK) == ERR_ITEM_NOT_FOUND) return length;
    if (first.status != 0) {
        // The first item was read, but whether others follow cannot be told.
        entry.unjoined = length != 0;
        return length;
    }
    // Only rich text is split into items of one name; several items of another type are a
    // database's own matter, and the first is what Notes itself shows.
    if (first.type != TYPE_COMPOSITE) return length;
    BLOCKID item = first.item;
    WORD type = first.type;
    BLOCKID value{};
    DWORD valueLength = 0;
    const size_t firstLength = length;
    for (size_t items = 1; items < kMostItemsOfOneName; ++items) {
        const STATUS next =
            Api().NSFItemInfoNext(m_hNote, item, name, nameLength, &item, &type, &value, &valueLength);
        if ((next & ERR_MASK) == ERR_ITEM_NOT_FOUND) return length;
        if (next != 0 || type != TYPE_COMPOSITE) {
            // A part that cannot be read, or one that is not rich text, would leave a gap
            // nobody sees: the cell keeps the first item whole, and the log says so.
            entry.unjoined = true;
            return firstLength;
        }
        // The items join as their records do: an item that starts a paragraph starts a line,
        // one that goes on with the paragraph goes on with its line.
        const size_t breakLength =
            length != 0 && StartsParagraph(value, valueLength) ? kParagraphBreakLength : 0;
        if (FilledBuffer(length + breakLength, kTextBufferSize)) {
            entry.cut = true;
            return length;
        }
        char* at = text + length + breakLength;
        const size_t room = std::min(kTextBufferSize - length - breakLength, size_t{kConvertValueTextLimit});
        const WORD added = Api().NSFItemConvertValueToText(type, value, valueLength, at,
                                                           static_cast<WORD>(room), kListSeparator);
        if (added == 0) continue;
        std::memcpy(text + length, kParagraphBreak, breakLength);
        size_t addedLength = std::min<size_t>(added, room - 1);
        if (FilledBuffer(addedLength, room)) {
            entry.cut = true;
            return length + breakLength + WholeCharacterLength(at, addedLength);
        }
        length += breakLength + addedLength;
    }
    return length;
}

void CNsfNote::ReadItemText(FieldEntry& entry, bool forCsv) {
    // Not zeroed: clearing 128 KB for every field of every document showed in the export's
    // profile, and all that is read is what the calls write, within the lengths they return.
    char lmbcs[kTextBufferSize];
    char native[kTextBufferSize];
    // The name is the same for every document: translated once, not once per cell.
    if (entry.lmbcsName.empty()) {
        char translated[kItemNameSize];
        entry.lmbcsName.assign(translated, TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, entry.name.c_str(),
                                                         entry.name.size(), translated, sizeof translated));
    }
    const char* const name = entry.lmbcsName.c_str();
    const size_t nameLength = entry.lmbcsName.size();
    const WORD length = Api().NSFItemConvertToText(m_hNote, name, lmbcs, kTextBufferSize, kListSeparator);
    entry.lost = 0;
    entry.cut = false;
    entry.unjoined = false;
    entry.value.clear();
    // Notes keeps a line break inside a text as a NUL byte, so the text ends at the length
    // the conversion returns, never at its first NUL; a text that fills the whole buffer is
    // taken up to the buffer's end.
    size_t lmbcsLength = length < kTextBufferSize ? length : kTextBufferSize;
    FirstItem first;
    BLOCKID value{};
    DWORD valueLength = 0;
    first.status = Api().NSFItemInfo(m_hNote, name, static_cast<WORD>(nameLength), &first.item, &first.type,
                                     &value, &valueLength);
    // A text near a limit of the conversion may have been cut there, unless its stored length
    // shows that it is whole.
    if (NearConversionLimit(lmbcsLength) &&
        !(first.status == 0 &&
          StoredValueFits(first.type, valueLength, lmbcs, lmbcsLength, kListSeparator))) {
        // The library may cut anywhere, even inside a character, whose first bytes alone
        // would be translated as a character of their own.
        entry.cut = true;
        lmbcsLength = WholeCharacterLength(lmbcs, lmbcsLength);
    } else {
        lmbcsLength =
            AppendFurtherItems(first, name, static_cast<WORD>(nameLength), lmbcs, lmbcsLength, entry);
    }
    // A NUL at the very end is the break after the last line, not a line of its own.
    if (lmbcsLength > 0 && lmbcs[lmbcsLength - 1] == '\0') --lmbcsLength;
    size_t lineStart = 0;
    for (size_t pos = 0; pos <= lmbcsLength;) {
        const size_t charLength =
            pos < lmbcsLength ? LmbcsCharacterLength(lmbcs + pos, lmbcsLength - pos) : 1;
        const bool lineEnds = pos == lmbcsLength || (charLength == 1 && lmbcs[pos] == '\0');
        if (!lineEnds) {
            pos += charLength;
            continue;
        }
        // The whole buffer is the room: a character of one LMBCS byte (×, ±, °, §) takes two
        // bytes in code page 932, so the native text may be longer than the LMBCS one.
        const char* line = lmbcs + lineStart;
        const size_t lineLength = pos - lineStart;
        // Printable ASCII is the same bytes in LMBCS and in every native code page: most lines
        // are, and skip the library's translation.
        size_t nativeLength = 0;
        if (IsPrintableAscii(line, lineLength)) {
            // As the translation would, with the buffer's last byte kept for its terminator.
            nativeLength = lineLength < sizeof native ? lineLength : sizeof native - 1;
            std::memcpy(native, line, nativeLength);
        } else {
            nativeLength =
                TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, line, lineLength, native, sizeof native);
            entry.lost += LostInTranslation(line, lineLength, native, nativeLength);
        }
        // A line break becomes two blanks, as a CR LF pair does, so that a value stays on
        // one CSV line.
        if (lineStart != 0) entry.value += kLineBreakText;
        entry.value.append(native, nativeLength);
        lineStart = ++pos;
    }
    if (forCsv && !entry.value.empty()) MakeCsvSafe(&entry.value[0], entry.value.size());
}
