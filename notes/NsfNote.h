#pragma once
// One open note (document), whose item values become the text of CSV cells.

#include "notes/FieldEntry.h"
#include "notes/NotesApi.h"

// What opening a signed note does with its signature.
enum class SignatureStep {
    // Signs it again in memory with the user's ID (NSFNoteSign), as the wizard always has:
    // its user is at the keyboard for the ID's password prompt.
    kSign,
    // Checks it (NSFNoteVerifySignature), which needs no private key and so never prompts for
    // a password: a run nobody watches must not wait for one.
    kVerify,
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
    void ReadValues(FieldList& fields);
    // Sets the entry's value from the item of the same name; empty when there is none. Its
    // `lost` counts the characters of the item that the native text does not hold. A value
    // `forCsv` has what would split a CSV line replaced; one that is compared as it is
    // stored (the Form item, against a title that may hold a comma) keeps it.
    void ReadItemText(FieldEntry& entry, bool forCsv = true);

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
};
