#pragma once
// The statuses this runtime returns and their texts.

#include <cstdint>
#include <string>

namespace nnotes {

using Status = uint16_t;

enum : Status {
    kNoError = 0,
    kErrNoExist = 259,              // the file does not exist
    kErrInvalidHandle = 262,        // no open object of the needed kind has this handle
    kErrNoMoreHandles = 292,        // every handle of the kind asked for is in use
    kErrInitFailed = 421,           // the runtime could not be initialised
    kErrDirectory = 540,            // the path named a directory, not a database
    kErrNotDatabase = 546,          // the file is not a database
    kErrDamaged = 547,              // the file is a database with broken content
    kErrInvalidNoteId = 549,        // no note has this id
    kErrItemNotFound = 550,         // the note has no item of this name
    kErrListEntry = 551,            // a text list has no entry of this number
    kErrPathTooLong = 560,          // a path did not fit in its buffer
    kErrNoModifiedNotes = 572,      // no note of the class was modified since the given time
    kErrBadArgument = 561,          // an argument was missing or out of range
    kErrDesignNotFound = 1028,      // no design note of this name and class
    kErrCollectionNotFound = 1029,  // no collection for this note id
    kErrServerNotFound = 4003,      // no server of this name is known
    kErrNotAuthorized = 4020,       // the user may not do this
    kErrNoDecryptKey = 3590,        // the note is sealed with a key the user lacks
    kErrSignature = 3591,           // the note's signature does not verify
    kErrUnsupported = 3592,         // the operation is not supported on this object
};

// The runtime's text for `status` (its flag bits ignored) in UTF-8, or nullptr when the
// runtime has none.
const char* StatusText(Status status);

}  // namespace nnotes
