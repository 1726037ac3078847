#pragma once
// The Notes C API as this program uses it: types, the operations' signatures and their
// export ordinals in nnotes.dll. Written from the public C API Reference; shared by the
// binding (notes/NotesBinding) and by our own runtime (nnotes/), which exports the same
// ordinals with the same signatures.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define LNPUBLIC __stdcall
#define LNCALLBACK __stdcall
#else
#define LNPUBLIC
#define LNCALLBACK
#endif

namespace notes {

using STATUS = uint16_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using BOOL = int32_t;
using NOTEID = uint32_t;
// Database, note, memory and id-table handles are 32-bit values (DHANDLE) on 32-bit and on
// 64-bit Windows alike; a collection handle is a WORD on both. 0 means none.
using DHANDLE = uint32_t;
using DBHANDLE = DHANDLE;
using NOTEHANDLE = DHANDLE;
using HCOLLECTION = WORD;

struct TIMEDATE {
    DWORD Innards[2];
};

constexpr int kMaxTumblers = 32;
struct COLLECTIONPOSITION {
    WORD Level;
    uint8_t MinLevel;
    uint8_t MaxLevel;
    DWORD Tumbler[kMaxTumblers];
};

// Where an item's header or value lies inside an open note: a pool and a block in it (pool.h;
// the reference's BLOCKID page). The API passes it by value and returns it through pointers.
// The toolkit builds 32-bit programs with structures packed (-Zp) and 64-bit ones with the
// compiler's own alignment, so the one BLOCKID is 6 bytes wide on i686 and 8 on x86_64; by
// value it travels in two stack slots on i686 and in one register on x86_64.
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct BLOCKID {
    DHANDLE pool;
    WORD block;
};
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
static_assert(sizeof(BLOCKID) == 6, "BLOCKID is packed on 32-bit Windows");
#else
static_assert(sizeof(BLOCKID) == 8, "BLOCKID keeps its natural alignment on 64-bit Windows");
#endif
static_assert(offsetof(BLOCKID, pool) == 0 && offsetof(BLOCKID, block) == 4, "BLOCKID: pool, then block");

// The key NSFNoteDecrypt hands back for the attachments of a sealed note, which stay sealed
// until NSFNoteExtractFile writes them out with it (nsfnote.h; the reference's ENCRYPTION_KEY
// page). Packed on 32-bit Windows as BLOCKID is.
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct ENCRYPTION_KEY {
    uint8_t Byte1;
    WORD Word1;
    uint8_t Text[16];
};
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
static_assert(sizeof(ENCRYPTION_KEY) == 19, "ENCRYPTION_KEY is packed on 32-bit Windows");
#else
static_assert(sizeof(ENCRYPTION_KEY) == 20, "ENCRYPTION_KEY keeps its natural alignment on 64-bit Windows");
#endif

struct UNID {
    TIMEDATE File;
    TIMEDATE Note;
};

// A note's originator ID (nsfdata.h; the reference's ORIGINATORID page): its UNID (File, then
// Note, the time the first copy of the note was stored: its creation), then the sequence
// number and the time it was last bumped. 28 bytes, of DWORDs only, in both widths.
struct ORIGINATORID {
    TIMEDATE File;
    TIMEDATE Note;
    DWORD Sequence;
    TIMEDATE SequenceTime;
};
static_assert(sizeof(ORIGINATORID) == 28, "ORIGINATORID is 28 bytes");

// A TIMEDATE and its parts as ints (misc.h; the reference's TIME page), for TimeGMToLocal and
// TimeGMToLocalZone. An int is 4 bytes on both widths of Windows.
struct TIME {
    int year;       // 1-32767
    int month;      // 1-12
    int day;        // 1-31
    int weekday;    // 1-7, Sunday is 1
    int hour;       // 0-23
    int minute;     // 0-59
    int second;     // 0-59
    int hundredth;  // 0-99
    int dst;        // FALSE or TRUE
    int zone;       // hours west of GMT (east negative); see TIME_ZONE_GMT
    TIMEDATE GM;
};
static_assert(sizeof(TIME) == 48 && offsetof(TIME, GM) == 40, "TIME: ten ints, then the TIMEDATE");

// The numbers below are the Notes library's own, each from the header named beside it (as the
// reference pages name the headers); docs/nnotes-database-format.md lists them with their
// sources, and the tests check each against that list.

// Item data types (nsfdata.h, TYPE_xxx): the first word of an item's value.
constexpr WORD TYPE_INVALID_OR_UNKNOWN = 0x0000;
constexpr WORD TYPE_COMPOSITE = 0x0001;  // rich text
constexpr WORD TYPE_OBJECT = 0x0003;     // CLASS_NOCOMPUTE+3: an object, such as an attached file
// CLASS_NOCOMPUTE+4: a LIST (WORD ListEntries) and that many UNIVERSALNOTEIDs, in host form
// (the reference's TYPE_xxx page), as a response's $REF holds its parent.
constexpr WORD TYPE_NOTEREF_LIST = 0x0004;
constexpr WORD TYPE_ERROR = 0x0100;
constexpr WORD TYPE_UNAVAILABLE = 0x0200;
constexpr WORD TYPE_NUMBER = 0x0300;
constexpr WORD TYPE_NUMBER_RANGE = 0x0301;
constexpr WORD TYPE_TIME = 0x0400;
constexpr WORD TYPE_TIME_RANGE = 0x0401;
constexpr WORD TYPE_TEXT = 0x0500;
constexpr WORD TYPE_TEXT_LIST = 0x0501;
constexpr WORD TYPE_FORMULA = 0x0600;
constexpr WORD TYPE_USERID = 0x0700;

// Note classes (nsfnote.h, NOTE_CLASS_xxx).
constexpr WORD NOTE_CLASS_DOCUMENT = 0x0001;
constexpr WORD NOTE_CLASS_FORM = 0x0004;
constexpr WORD NOTE_CLASS_VIEW = 0x0008;
// ORed into the class of the design note that is its class's default: the default form.
constexpr WORD NOTE_CLASS_DEFAULT = 0x8000;

// NSFDbModeGet (nsfdb.h, DB_xxx): a database file, or a directory.
constexpr WORD DBMODE_LOADED = 1;                                          // DB_LOADED
constexpr WORD DBMODE_DIRECTORY = 2;                                       // DB_DIRECTORY
constexpr NOTEID NOTE_ID_SPECIAL = 0xFFFF0000;                             // nsfnote.h
constexpr NOTEID NOTE_CLASS_DESIGN_COLLECTION = NOTE_ID_SPECIAL | 0x0020;  // | NOTE_CLASS_DESIGN
// NIFOpenCollection (nif.h): use the collection's index as it is, never build one.
constexpr WORD OPEN_DO_NOT_CREATE = 0x0004;
constexpr WORD NAVIGATE_NEXT = 1;                  // nif.h
constexpr DWORD MAXDWORD_COUNT = 0xFFFFFFFF;       // MAXDWORD (global.h): as many as there are
constexpr DWORD READ_MASK_NOTEID = 0x00000001;     // nif.h
constexpr DWORD READ_MASK_NOTECLASS = 0x00000004;  // nif.h
constexpr DWORD READ_MASK_SUMMARY = 0x00008000;    // nif.h
constexpr WORD SIGNAL_MORE_TO_DO = 0x0020;         // nif.h; NIFReadEntries: entries remain for another read
constexpr WORD OS_TRANSLATE_NATIVE_TO_LMBCS = 0;   // osmisc.h
constexpr WORD OS_TRANSLATE_LMBCS_TO_NATIVE = 1;   // osmisc.h
// osmisc.h, as public copies of the header give it: the reference's OS_TRANSLATE_xxx page
// names the mode, not its number.
constexpr WORD OS_TRANSLATE_LMBCS_TO_UTF8 = 22;
constexpr WORD INFOPARSE_TITLE = 0;   // nsfdb.h
constexpr WORD NSF_INFO_SIZE = 128;   // nsfdb.h
constexpr WORD TIMEDATE_MINIMUM = 0;  // misc.h; TimeConstant: the earliest time
// NSFNoteOpen (nsfnote.h, OPEN_xxx): don't bother verifying the default bit.
constexpr WORD OPEN_NOVERIFYDEFAULT = 0x0002;
constexpr STATUS ERR_MASK = 0x3FFF;  // globerr.h (the ERR page): a status without its flag bits
constexpr int MAXPATH = 256;         // names.h: a Notes path, NUL included
// ITEM_SUMMARY (nsfnote.h): an item flag of the item scan.
constexpr WORD ITEM_SUMMARY = 0x0004;
// The members of an open note's header that NSFNoteGetInfo hands out (nsfnote.h, the
// reference's _NOTE_xxx page; the numbers as public copies of the header give them). The
// reference's names begin with an underscore, which C++ keeps for itself.
constexpr WORD NOTE_MEMBER_ID = 1;        // _NOTE_ID: the NOTEID
constexpr WORD NOTE_MEMBER_OID = 2;       // _NOTE_OID: the ORIGINATORID
constexpr WORD NOTE_MEMBER_MODIFIED = 4;  // _NOTE_MODIFIED: last modified in this database, a TIMEDATE
// A response names its parent by UNID in this item (FIELD_LINK, stdnames.h; the reference's
// UNIVERSALNOTEID page).
constexpr char FIELD_LINK[] = "$REF";
// TIME.zone of Greenwich Mean Time, for TimeGMToLocalZone (the reference's OSCurrentTimeZone
// page: the zone as hours west of GMT, east negative, 0 for GMT), with TIME.dst FALSE.
constexpr int TIME_ZONE_GMT = 0;

// Attached files (nsfdata.h). An attachment is an item named $FILE (ITEM_NAME_ATTACHMENT,
// stdnames.h) of TYPE_OBJECT whose value, after the type word, is a FILEOBJECT: an
// OBJECT_DESCRIPTOR whose ObjectType is OBJECT_FILE, then the file's particulars and its
// name. The value is in canonical form (little-endian, packed), so its members are read at
// the offsets below, in both widths (the reference's FILEOBJECT and OBJECT_DESCRIPTOR pages).
constexpr char ITEM_NAME_ATTACHMENT[] = "$FILE";
constexpr WORD OBJECT_FILE = 0;
// Flags that may be ORed into an ObjectType (OBJECT_NO_COPY, OBJECT_PRESERVE, OBJECT_PUBLIC).
constexpr WORD OBJECT_TYPE_FLAGS = 0x8000 | 0x4000 | 0x2000;
constexpr WORD FILEFLAG_SIGN = 0x0001;  // FILEFLAG_xxx: the object has a signature appended
namespace fileobject {
constexpr size_t kObjectType = 0;        // OBJECT_DESCRIPTOR.ObjectType, WORD
constexpr size_t kRrv = 2;               // OBJECT_DESCRIPTOR.RRV, DWORD: the object's id in the database
constexpr size_t kFileNameLength = 6;    // WORD: bytes of the name that follows the structure
constexpr size_t kHostType = 8;          // WORD, HOST_xxx
constexpr size_t kCompressionType = 10;  // WORD, COMPRESS_xxx
constexpr size_t kFileAttributes = 12;   // WORD, ATTRIB_xxx
constexpr size_t kFlags = 14;            // WORD, FILEFLAG_xxx
constexpr size_t kFileSize = 16;         // DWORD: the file's size in bytes
constexpr size_t kFileCreated = 20;      // TIMEDATE
constexpr size_t kFileModified = 28;     // TIMEDATE
constexpr size_t kSize = 36;             // the structure; the name (LMBCS, no NUL) follows it
}  // namespace fileobject

// Statuses the program tells apart (nsferr.h, PKG_NSF = 0x0200 in globerr.h).
// NSFDbOpen: the path named a directory, not a database. PKG_NSF+28.
constexpr STATUS ERR_DIRECTORY = 540;
// NSFDbGetModifiedNoteTable: no note of the class was modified since the time given; there
// is no table then. PKG_NSF+60.
constexpr STATUS ERR_NO_MODIFIED_NOTES = 572;
// NSFItemInfo, NSFItemInfoNext: no (further) item of that name. PKG_NSF+34.
constexpr STATUS ERR_ITEM_NOT_FOUND = 546;
// NSFNoteExtractFile: the attachment is sealed, and no key for it was given. PKG_NSF+100.
constexpr STATUS ERR_NOEXTRACT_ENCRYPTED = 612;
// NSFNoteExtractFile: the attachment was changed since it was signed. PKG_NSF+97.
constexpr STATUS ERR_NOTE_BADATTSIGN = 609;
// NIFFindDesignNote: no design note of that name (misc errors, PKG_MISC = 0x0400, +4).
constexpr STATUS ERR_NOT_FOUND = 1028;
// NSFDbGetSpecialNoteID: the database has no such special note (no default form, for one).
// PKG_NSF+66.
constexpr STATUS ERR_SPECIAL_ID = 578;
// NSFNoteDecrypt: a note sealed with a key type of Notes 8.0.1 and later, whose key an
// ENCRYPTION_KEY cannot hold (the reference's NSFNoteDecrypt page). bsafeerr.h, PKG_BSAFE4+1,
// PKG_BSAFE4 = 0x0E60 in globerr.h.
constexpr STATUS ERR_BSAFE_UNSUPPORTED_CRYPTO_OP = 0x0E60 + 1;
// NSFNoteVerifySignature: the note carries no signature. PKG_NSF+89.
constexpr STATUS ERR_NOTE_NOT_SIGNED = 601;
// An attachment whose object is not in the database (an invalid object id), and one whose
// object is shorter than its FILEOBJECT says ("file may have been damaged"). PKG_NSF+54, +79.
constexpr STATUS ERR_BADOBJECT = 566;
constexpr STATUS ERR_OBJECT_TRUNCATED = 591;

// NSFNoteDecrypt (nsfnote.h, DECRYPT_xxx): decrypt the attachments too, there and then, so
// that they are extracted without a key.
constexpr WORD DECRYPT_ATTACHMENTS_IN_PLACE = 0x0001;
// NSFDbGetSpecialNoteID (nsfdb.h): ORed with a NOTE_CLASS_xxx, asks for that class's
// default note; SPECIAL_ID_NOTE | NOTE_CLASS_FORM is the default form.
constexpr WORD SPECIAL_ID_NOTE = 0x8000;

// NSFSearch over a directory (nsfsearc.h, SEARCH_xxx; osfile.h, FILE_xxx): with
// SEARCH_FILETYPE the class mask is one FILE_xxx kind and its modifiers, and SEARCH_SUMMARY
// hands each match's summary to the routine.
constexpr WORD SEARCH_SUMMARY = 0x0002;
constexpr WORD SEARCH_FILETYPE = 0x0004;
constexpr WORD FILE_DBANY = 4;  // .ns?, a database of any version
constexpr WORD FILE_TYPEMASK = 0x00FF;
constexpr WORD FILE_RECURSE = 0x2000;  // the sub-directories' files too
constexpr WORD FILE_NOUPDIRS = 0x4000;
constexpr WORD FILE_DIRS = 0x8000;
// SEARCH_MATCH.SERetFlags (nsfsearc.h): the match meets the search, as opposed to a deleted or
// changed note of a search since a time.
constexpr uint8_t SE_FMATCH = 0x01;
// What the search routine is handed: a SEARCH_MATCH (nsfsearc.h), whose members all fall on
// their natural alignment, so that it reads the same in both widths at these offsets ("54
// bytes to here"), then, with SEARCH_SUMMARY, an ITEM_TABLE summary as NIFReadEntries gives
// one. Read by offset, as it may lie anywhere in the library's buffer.
struct SEARCH_MATCH;
struct ITEM_TABLE;
namespace searchmatch {
constexpr size_t kNoteClass = 48;      // WORD, after GLOBALINSTANCEID (20) and ORIGINATORID (28)
constexpr size_t kSERetFlags = 50;     // BYTE, SE_Fxxx
constexpr size_t kPrivileges = 51;     // BYTE
constexpr size_t kSummaryLength = 52;  // WORD
constexpr size_t kSize = 54;
}  // namespace searchmatch

// The item-scan callback of NSFItemScan.
using NSFITEMSCANPROC = STATUS(LNCALLBACK*)(WORD spare, WORD itemFlags, char* name, WORD nameLength,
                                            void* value, DWORD valueLength, void* routineParameter);

// The routine NSFSearch calls for each match.
using NSFSEARCHPROC = STATUS(LNCALLBACK*)(void* enumRoutineParameter, SEARCH_MATCH* searchMatch,
                                          ITEM_TABLE* summaryBuffer);

// The ordinal of an operation bound by its exported name alone (ordinals start at 1).
constexpr uint16_t kByNameOnly = 0;

// Signatures, one per operation, from the table.
// The parameter list is pasted as it stands: parentheses around it would make it no list.
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) \
    using PFN_##name = returns(LNPUBLIC*) parameters;  // NOLINT(bugprone-macro-parentheses)
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP

// Export ordinals of nnotes.dll; kByNameOnly for the operations bound by name.
enum Ordinal : uint16_t {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) \
    ORD_##name = ordinal,  // NOLINT(bugprone-macro-parentheses): an enumerator's value
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
};

// One operation as the binding and our runtime see it. The library exports each operation by
// its plain name as well (no decoration, on i686 neither); the binding compares the two where
// the names are there.
struct Operation {
    const char* name;
    uint16_t ordinal;  // kByNameOnly: bound by name
    bool faultable;    // a fault entry of our runtime's databases may name it
};

constexpr Operation kOperations[] = {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) {#name, ordinal, QS_NOTES_##fault},
#define QS_NOTES_FAULT true
#define QS_NOTES_NOFAULT false
#include "notes/NotesOperations.h"
#undef QS_NOTES_NOFAULT
#undef QS_NOTES_FAULT
#undef QS_NOTES_OP
};

// NSFItemConvertToText and NSFItemConvertValueToText write at most 60 KB, whatever the
// buffer (the reference's pages of the two functions).
constexpr WORD kConvertValueTextLimit = 60 * 1024;

}  // namespace notes
