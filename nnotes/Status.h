#pragma once
// The statuses this runtime returns and their texts. Each is the status the Notes C API
// reference gives for the fault it models (the header and its PKG_ base beside each; the
// table of docs/nnotes-database-format.md lists them with their sources).

#include <cstdint>
#include <string>

namespace nnotes {

using Status = uint16_t;

enum : Status {
    kNoError = 0,
    kErrProtected = 258,        // ERR_PROTECTED, PKG_OS+2 (oserr.h): a file cannot be created or written
    kErrNoExist = 259,          // ERR_NOEXIST, PKG_OS+3 (oserr.h): the file does not exist
    kErrInvalidHandle = 312,    // ERR_OS_FREE_HANDLE, PKG_OS+56 (oserr.h): no such handle
    kErrNoMoreHandles = 418,    // ERR_MEM_HANDLES, PKG_OS+162 (oserr.h): out of handles
    kErrNoNotesIni = 421,       // ERR_NO_NOTESINI, PKG_OS+165 (oserr.h): initialisation failed
    kErrDirectory = 540,        // ERR_DIRECTORY, PKG_NSF+28 (nsferr.h): a directory, not a database
    kErrNotDatabase = 513,      // ERR_NOT_NSF, PKG_NSF+1 (nsferr.h): the file is not a database
    kErrDamaged = 518,          // ERR_STRUCT, PKG_NSF+6 (nsferr.h): broken content
    kErrInvalidNoteId = 551,    // ERR_INVALID_NOTE, PKG_NSF+39 (nsferr.h): no note has this id
    kErrItemNotFound = 546,     // ERR_ITEM_NOT_FOUND, PKG_NSF+34 (nsferr.h): no item of this name
    kErrListEntry = 1541,       // ERR_ODS_NO_SUCH_ENTRY, PKG_ODS+5 (odserr.h; ListGetText's page)
    kErrPathTooLong = 462,      // ERR_PATH_NAME_TOO_LONG, PKG_OS+206 (oserr.h)
    kErrNoModifiedNotes = 572,  // ERR_NO_MODIFIED_NOTES, PKG_NSF+60 (nsferr.h)
    kErrBadArgument = 577,      // ERR_BAD_PARAM, PKG_NSF+65 (nsferr.h): a missing or bad argument
    kErrSpecialId = 578,        // ERR_SPECIAL_ID, PKG_NSF+66 (nsferr.h; NSFDbGetSpecialNoteID's page)
    kErrBadObject = 566,        // ERR_BADOBJECT, PKG_NSF+54 (nsferr.h): no object of that id
    kErrObjectTruncated = 591,  // ERR_OBJECT_TRUNCATED, PKG_NSF+79 (nsferr.h): an object cut short
    kErrNoteNotSigned = 601,    // ERR_NOTE_NOT_SIGNED, PKG_NSF+89 (nsferr.h; NSFNoteVerifySignature's page)
    kErrNotAuthorized = 582,    // ERR_NOACCESS, PKG_NSF+70 (nsferr.h; NSFNoteOpen's page)
    kErrSignature = 603,        // ERR_NOTE_INVSIG2, PKG_NSF+91 (nsferr.h): signature does not verify
    kErrBadAttachmentSignature =
        609,  // ERR_NOTE_BADATTSIGN, PKG_NSF+97 (nsferr.h; NSFNoteExtractFile's page)
    kErrNoExtractEncrypted =
        612,                 // ERR_NOEXTRACT_ENCRYPTED, PKG_NSF+100 (nsferr.h; NSFNoteExtractFile's page)
    kErrNoDecryptKey = 613,  // ERR_NOT_SEALED_FOR_YOU, PKG_NSF+101 (nsferr.h)
    kErrCollectionNotFound = 779,  // ERR_COLLECTION_NOT_CREATED, PKG_NIF+11 (niferr.h; OPEN_DO_NOT_CREATE)
    kErrDesignNotFound = 1028,     // ERR_NOT_FOUND, PKG_MISC+4 (misc.h errors): not in the index
    kErrUnsupported = 1099,        // ERR_NOT_YET_IMPLEMENTED, PKG_MISC+75 (misc.h errors)
    kErrServerNotFound = 2051,     // ERR_SERVER_NOT_FOUND, PKG_CLIENT+3 (clerr.h)
    // ERR_BSAFE_UNSUPPORTED_CRYPTO_OP, PKG_BSAFE4+1 (bsafeerr.h; PKG_BSAFE4 = 0x0E60 in
    // globerr.h; NSFNoteDecrypt's page): the key of a newer kind cannot be handed out
    kErrUnsupportedCryptoOp = 0x0E61,
};

// The runtime's text for `status` (its flag bits ignored) in UTF-8, or nullptr when the
// runtime has none.
const char* StatusText(Status status);

}  // namespace nnotes
