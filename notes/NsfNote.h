#pragma once
// One open note (document), whose item values become the text of CSV cells.

#include "notes/FieldEntry.h"
#include "notes/NotesApi.h"

#include <string>

// What opening a signed note does with its signature.
enum class SignatureStep {
    // Signs it again in memory with the user's ID (NSFNoteSign), as the wizard always has:
    // its user is at the keyboard for the ID's password prompt.
    kSign,
    // Checks it (NSFNoteVerifySignature), which needs no private key and so never prompts for
    // a password: a run nobody watches must not wait for one.
    kVerify,
};

// How an item's text is written: the fixed format's native text, made safe for an unquoted
// cell; that text as stored, to compare (the Form item, against a title that may hold a
// comma); or the lossless format's UTF-8, whole, its line breaks CR LF.
enum class TextForm { kFixed, kFixedAsStored, kLossless };

// Who a document is, as the lossless format's first columns give it.
struct NoteIdentity {
    std::string unid;        // 32 hexadecimal digits, as Notes shows a UNID
    std::string noteId;      // "NT" and eight hexadecimal digits, as Notes shows a note id
    std::string parentUnid;  // the UNID its $REF names; empty for a main document
    std::string created;     // ISO 8601 with the offset from UTC; empty when the library gave none
    std::string modified;
};

class CNsfNote {
public:
    // Opens the note and makes a signed or sealed one readable; throws CNsfError when it
    // cannot be opened or decrypted. Returns the status of the signature step (0 when it
    // succeeded or the note is not signed): a note whose signature step failed is readable.
    notes::STATUS Open(notes::DBHANDLE hDb, notes::NOTEID noteId, notes::WORD openFlags);
    notes::STATUS PrepareForReading();
    // Closes the note, ignoring the status, and forgets its handle; a note that is not open
    // is left alone.
    void Close();
    // Sets the value of every entry from this note.
    void ReadValues(FieldList& fields, TextForm form = TextForm::kFixed);
    // Sets the entry's value from the item of the same name; empty when there is none. Its
    // `lost` counts the characters of the item that the native text does not hold; the
    // lossless form loses none. There a text is read whole from its value, and a text list
    // gives its entries one per line, separated by CR LF, a line break inside an entry a bare
    // LF, so that the entries split back.
    void ReadItemText(FieldEntry& entry, TextForm form = TextForm::kFixed);
    // The note's UNID, id, parent and times, each from the library.
    NoteIdentity ReadIdentity() const;

    // The key that the attachments of a sealed note are written with: they stay sealed when
    // the note is decrypted. Null unless `m_keepAttachmentKey` was set before Open and the note
    // was sealed with a key of the kind an ENCRYPTION_KEY holds; a note of the newer kinds has
    // its attachments decrypted in place instead, and they are extracted without a key.
    notes::ENCRYPTION_KEY* AttachmentKey() { return m_hasAttachmentKey ? &m_attachmentKey : nullptr; }

    notes::NOTEHANDLE m_hNote = 0;
    bool m_keepAttachmentKey = false;
    SignatureStep m_signatureStep = SignatureStep::kSign;

private:
    // Decrypts a sealed note, keeping its attachments' key when one was asked for; throws
    // CNsfError only when the note itself cannot be decrypted.
    void Decrypt();
    notes::ENCRYPTION_KEY m_attachmentKey{};
    bool m_hasAttachmentKey = false;
    // What NSFItemInfo told of the first item of a name.
    struct FirstItem {
        notes::STATUS status = 0;
        notes::BLOCKID item{};
        notes::WORD type = 0;
    };
    // Appends to the LMBCS `text` of `length` bytes, whose buffer is the item text size, the
    // texts of the further rich-text items of the same name; returns the new length. Marks
    // the entry cut or unjoined when the texts could not all be had.
    size_t AppendFurtherItems(const FirstItem& first, const char* name, notes::WORD nameLength, char* text,
                              size_t length, FieldEntry& entry) const;
    // The entry's value in the lossless form from a text or text-list value, read whole from
    // where NSFItemInfo put it; false for any other value, which the conversion reads.
    bool ReadStoredText(const FirstItem& first, const notes::BLOCKID& value, notes::DWORD valueLength,
                        FieldEntry& entry) const;
    // The UNID the note's $REF names, as Notes shows it; empty when there is none.
    std::string ParentUnid() const;
};

// The UNID of a note as Notes shows it: 32 hexadecimal digits.
std::string UnidText(const notes::TIMEDATE& file, const notes::TIMEDATE& note);
// A TIMEDATE in ISO 8601, in the zone it was given in, with its offset from UTC; empty when
// the library cannot expand it (a date or a time of day alone).
std::string IsoTimeText(const notes::TIMEDATE& time);
// Appends the UTF-8 of an LMBCS text without line breaks, through the library's translation.
void AppendUtf8(std::string& out, const char* lmbcs, size_t length);
