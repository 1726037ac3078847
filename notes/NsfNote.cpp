#include "notes/NsfNote.h"

#include "notes/BufferSizes.h"
#include "notes/CompositeRecords.h"
#include "notes/ItemText.h"
#include "notes/LostCharacters.h"
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <algorithm>
#include <cstdio>
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

// The cell's text stopped at `limit` bytes, the cell's buffer or the conversion's most.
void MarkCut(FieldEntry& entry, size_t limit) {
    entry.cut = true;
    entry.cutLimit = limit;
}

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

// The lossless form's line break, and the one inside an entry of a text list, which keeps the
// entries apart.
constexpr char kCrLf[] = "\r\n";
constexpr char kEntryLineBreak[] = "\n";
// LMBCS bytes given to one translation into UTF-8: a character grows at most threefold (one
// byte of group 1 becomes up to three), so that the UTF-8 of a piece always fits the
// translation's 16-bit output length.
constexpr size_t kUtf8Piece = 21000;
constexpr size_t kUtf8Growth = 3;

// Appends the lines of an LMBCS text, split at Notes' NUL line breaks, each in UTF-8, with
// `lineBreak` between them; a NUL at the very end is a break of its own.
void AppendLines(std::string& out, const char* text, size_t length, const char* lineBreak) {
    size_t lineStart = 0;
    for (size_t pos = 0; pos <= length;) {
        const size_t charLength = pos < length ? LmbcsCharacterLength(text + pos, length - pos) : 1;
        const bool lineEnds = pos == length || (charLength == 1 && text[pos] == '\0');
        if (!lineEnds) {
            pos += charLength;
            continue;
        }
        if (lineStart != 0) out += lineBreak;
        AppendUtf8(out, text + lineStart, pos - lineStart);
        lineStart = ++pos;
    }
}

// A date's place in a count of days (the proleptic Gregorian calendar), for the minutes
// between two clock readings of one moment.
long long DayNumber(int year, int month, int day) {
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

long long MinuteNumber(const TIME& t) {
    return DayNumber(t.year, t.month, t.day) * 1440 + static_cast<long long>(t.hour) * 60 + t.minute;
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

void CNsfNote::ReadValues(FieldList& fields, TextForm form) {
    // In place: the value's buffer from the last document takes this one's, where a copy of
    // each entry would make its strings anew for every cell.
    for (FieldEntry& field : fields) ReadItemText(field, form);
}

bool CNsfNote::ReadStoredText(const FirstItem& first, const BLOCKID& value, DWORD valueLength,
                              FieldEntry& entry) const {
    if (first.status != 0 || (first.type != TYPE_TEXT && first.type != TYPE_TEXT_LIST)) return false;
    if (valueLength < sizeof(WORD)) return false;
    char* const pool = static_cast<char*>(Api().OSLockObject(value.pool));
    if (pool == nullptr) return false;
    // The value as OSLockBlock reaches it, its type word first (the reference's TYPE_xxx page
    // lays out both: a text, or a LIST of lengths and then the packed entries).
    char* const typed = pool + value.block;
    const char* const stored = typed + sizeof(WORD);
    const size_t storedLength = valueLength - sizeof(WORD);
    bool read = true;
    if (first.type == TYPE_TEXT) {
        AppendLines(entry.value, stored, storedLength, kCrLf);
    } else if (storedLength < sizeof(WORD)) {
        read = false;
    } else {
        WORD entries = 0;
        std::memcpy(&entries, stored, sizeof entries);
        for (WORD i = 0; read && i < entries; ++i) {
            char* text = nullptr;
            WORD textLength = 0;
            // An entry that lies outside the value is of a list this program cannot trust;
            // the conversion then reads it as the fixed format does.
            read = Api().ListGetText(typed, 1, i, &text, &textLength) == 0 && text >= stored &&
                   static_cast<size_t>(text - stored) + textLength <= storedLength;
            if (!read) break;
            if (i != 0) entry.value += kCrLf;
            AppendLines(entry.value, text, textLength, kEntryLineBreak);
        }
        if (!read) entry.value.clear();
    }
    Api().OSUnlockObject(value.pool);
    return read;
}

std::string CNsfNote::ParentUnid() const {
    BLOCKID item{};
    BLOCKID value{};
    WORD type = 0;
    DWORD valueLength = 0;
    if (Api().NSFItemInfo(m_hNote, FIELD_LINK, sizeof FIELD_LINK - 1, &item, &type, &value, &valueLength) !=
            0 ||
        type != TYPE_NOTEREF_LIST || valueLength < 2 * sizeof(WORD) + sizeof(UNID)) {
        return {};
    }
    const char* pool = static_cast<const char*>(Api().OSLockObject(value.pool));
    if (pool == nullptr) return {};
    // After the type word, a LIST (its WORD of entries) and the UNIDs: a response names its
    // one parent first.
    const char* list = pool + value.block + sizeof(WORD);
    WORD entries = 0;
    std::memcpy(&entries, list, sizeof entries);
    UNID parent{};
    if (entries != 0) std::memcpy(&parent, list + sizeof(WORD), sizeof parent);
    Api().OSUnlockObject(value.pool);
    return entries != 0 ? UnidText(parent.File, parent.Note) : std::string();
}

NoteIdentity CNsfNote::ReadIdentity() const {
    NoteIdentity identity;
    NOTEID id = 0;
    ORIGINATORID oid{};
    TIMEDATE modified{};
    Api().NSFNoteGetInfo(m_hNote, NOTE_MEMBER_ID, &id);
    Api().NSFNoteGetInfo(m_hNote, NOTE_MEMBER_OID, &oid);
    Api().NSFNoteGetInfo(m_hNote, NOTE_MEMBER_MODIFIED, &modified);
    char text[16];
    std::snprintf(text, sizeof text, "NT%08lX", static_cast<unsigned long>(id));
    identity.noteId = text;
    identity.unid = UnidText(oid.File, oid.Note);
    identity.parentUnid = ParentUnid();
    // The reference's ORIGINATORID page: the UNID's Note part is when the first copy of the
    // note was stored.
    identity.created = IsoTimeText(oid.Note);
    identity.modified = IsoTimeText(modified);
    return identity;
}

std::string UnidText(const TIMEDATE& file, const TIMEDATE& note) {
    // Each TIMEDATE high DWORD first, as Notes shows a UNID (Document Properties,
    // @DocumentUniqueID).
    char text[40];
    std::snprintf(text, sizeof text, "%08lX%08lX%08lX%08lX", static_cast<unsigned long>(file.Innards[1]),
                  static_cast<unsigned long>(file.Innards[0]), static_cast<unsigned long>(note.Innards[1]),
                  static_cast<unsigned long>(note.Innards[0]));
    return text;
}

std::string IsoTimeText(const TIMEDATE& time) {
    // The clock of the time's own zone, and of UTC; their difference is the offset, whatever
    // the zone and its daylight saving time.
    TIME local{};
    local.GM = time;
    TIME utc{};
    utc.GM = time;
    utc.zone = TIME_ZONE_GMT;
    utc.dst = 0;  // FALSE: no daylight saving time
    if (Api().TimeGMToLocal(&local) || Api().TimeGMToLocalZone(&utc)) return {};
    const long long offset = MinuteNumber(local) - MinuteNumber(utc);
    const long long size = offset < 0 ? -offset : offset;
    char text[48];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.year, local.month,
                          local.day, local.hour, local.minute, local.second);
    // Notes keeps hundredths of a second; a time with none writes none.
    if (local.hundredth != 0) n += std::snprintf(text + n, sizeof text - n, ".%02d", local.hundredth);
    std::snprintf(text + n, sizeof text - n, "%c%02lld:%02lld", offset < 0 ? '-' : '+', size / 60, size % 60);
    return text;
}

void AppendUtf8(std::string& out, const char* lmbcs, size_t length) {
    while (length > 0) {
        size_t piece = length <= kUtf8Piece ? length : WholeCharactersWithin(lmbcs, length, kUtf8Piece);
        if (piece == 0) piece = std::min(length, kUtf8Piece);
        // Printable ASCII is the same bytes in LMBCS and UTF-8.
        if (IsPrintableAscii(lmbcs, piece)) {
            out.append(lmbcs, piece);
        } else {
            const size_t at = out.size();
            const size_t room = kUtf8Growth * piece + kLongestLmbcsCharacter + 1;
            out.resize(at + room);
            out.resize(at + TranslateInto(OS_TRANSLATE_LMBCS_TO_UTF8, lmbcs, piece, &out[at], room));
        }
        lmbcs += piece;
        length -= piece;
    }
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
            MarkCut(entry, kTextBufferSize);
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
            MarkCut(entry, room < kConvertValueTextLimit ? kTextBufferSize : size_t{kConvertValueTextLimit});
            return length + breakLength + WholeCharacterLength(at, addedLength);
        }
        length += breakLength + addedLength;
    }
    return length;
}

void CNsfNote::ReadItemText(FieldEntry& entry, TextForm form) {
    // Not zeroed: clearing 128 KB for every field of every document showed in the export's
    // profile, and all that is read is what the calls write, within the lengths they return.
    char lmbcs[kTextBufferSize];
    char native[kTextBufferSize];
    const bool lossless = form == TextForm::kLossless;
    // The name is the same for every document: translated once, not once per cell.
    if (entry.lmbcsName.empty()) {
        char translated[kItemNameSize];
        entry.lmbcsName.assign(translated, TranslateInto(OS_TRANSLATE_NATIVE_TO_LMBCS, entry.name.c_str(),
                                                         entry.name.size(), translated, sizeof translated));
    }
    const char* const name = entry.lmbcsName.c_str();
    const size_t nameLength = entry.lmbcsName.size();
    entry.lost = 0;
    entry.cut = false;
    entry.unjoined = false;
    entry.value.clear();
    FirstItem first;
    BLOCKID value{};
    DWORD valueLength = 0;
    // The lossless form reads a text from its value, past the conversion's limits.
    if (lossless) {
        first.status = Api().NSFItemInfo(m_hNote, name, static_cast<WORD>(nameLength), &first.item,
                                         &first.type, &value, &valueLength);
        if (ReadStoredText(first, value, valueLength, entry)) return;
    }
    const WORD length = Api().NSFItemConvertToText(m_hNote, name, lmbcs, kTextBufferSize, kListSeparator);
    // Notes keeps a line break inside a text as a NUL byte, so the text ends at the length
    // the conversion returns, never at its first NUL; a text that fills the whole buffer is
    // taken up to the buffer's end.
    size_t lmbcsLength = length < kTextBufferSize ? length : kTextBufferSize;
    if (!lossless) {
        first.status = Api().NSFItemInfo(m_hNote, name, static_cast<WORD>(nameLength), &first.item,
                                         &first.type, &value, &valueLength);
    }
    // A text near a limit of the conversion may have been cut there, unless its stored length
    // shows that it is whole.
    if (NearConversionLimit(lmbcsLength) &&
        !(first.status == 0 &&
          StoredValueFits(first.type, valueLength, lmbcs, lmbcsLength, kListSeparator))) {
        // The library may cut anywhere, even inside a character, whose first bytes alone
        // would be translated as a character of their own.
        MarkCut(entry, FilledBuffer(lmbcsLength, kTextBufferSize) ? kTextBufferSize
                                                                  : size_t{kConvertValueTextLimit});
        lmbcsLength = WholeCharacterLength(lmbcs, lmbcsLength);
    } else {
        lmbcsLength =
            AppendFurtherItems(first, name, static_cast<WORD>(nameLength), lmbcs, lmbcsLength, entry);
    }
    // A NUL at the very end is the break after the last line, not a line of its own.
    if (lmbcsLength > 0 && lmbcs[lmbcsLength - 1] == '\0') --lmbcsLength;
    if (lossless) {
        AppendLines(entry.value, lmbcs, lmbcsLength, kCrLf);
        return;
    }
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
    if (form == TextForm::kFixed && !entry.value.empty()) MakeCsvSafe(&entry.value[0], entry.value.size());
}
