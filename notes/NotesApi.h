#pragma once
// The Notes C API as this program uses it: types, the operations' signatures and their
// export ordinals in nnotes.dll. Written from the public C API Reference; shared by the
// binding (notes/NotesBinding) and by our own runtime (nnotes/), which exports the same
// ordinals with the same signatures.

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

// Where an item's header or value lies inside an open note: a pool and a block in it. The
// API passes it by value and returns it through pointers; its pool is a DHANDLE.
struct BLOCKID {
    DHANDLE pool;
    WORD block;
};

struct UNID {
    TIMEDATE File;
    TIMEDATE Note;
};

// Item data types (the first word of an item's value).
constexpr WORD TYPE_COMPOSITE = 0x0001;  // rich text
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

// Note classes.
constexpr WORD NOTE_CLASS_DOCUMENT = 0x0001;
constexpr WORD NOTE_CLASS_FORM = 0x0004;
constexpr WORD NOTE_CLASS_VIEW = 0x0008;

constexpr WORD DBMODE_DIRECTORY = 2;  // NSFDbModeGet: the path named a directory
constexpr NOTEID NOTE_ID_SPECIAL = 0xFFFF0000;
constexpr NOTEID NOTE_CLASS_DESIGN_COLLECTION = NOTE_ID_SPECIAL | 0x0020;
// NIFOpenCollection: use the collection's index as it is, never build one.
constexpr WORD OPEN_DO_NOT_CREATE = 0x0004;
constexpr WORD NAVIGATE_NEXT = 1;
constexpr DWORD MAXDWORD_COUNT = 0xFFFFFFFF;
constexpr DWORD READ_MASK_NOTECLASS = 0x00000004;
constexpr DWORD READ_MASK_SUMMARY = 0x00008000;
constexpr WORD SIGNAL_MORE_TO_DO = 0x0020;  // NIFReadEntries: entries remain for another read
constexpr WORD OS_TRANSLATE_NATIVE_TO_LMBCS = 0;
constexpr WORD OS_TRANSLATE_LMBCS_TO_NATIVE = 1;
constexpr WORD INFOPARSE_TITLE = 0;
constexpr WORD NSF_INFO_SIZE = 128;
constexpr WORD TIMEDATE_MINIMUM = 0;  // TimeConstant: the earliest time
// NSFNoteOpen: don't bother verifying the default bit; what the export run passes.
constexpr WORD OPEN_NOVERIFYDEFAULT = 0x0002;
constexpr STATUS ERR_MASK = 0x3FFF;    // a status without its flag bits
constexpr STATUS ERR_DIRECTORY = 540;  // the path named a directory, not a database
constexpr int MAXPATH = 256;           // a Notes path, NUL included
// NSFDbGetModifiedNoteTable: no note of the class was modified since the time given; there
// is no table then. PKG_NSF (0x0200) + 60.
constexpr STATUS ERR_NO_MODIFIED_NOTES = 572;
// NSFItemInfo, NSFItemInfoNext: no (further) item of that name. PKG_NSF (0x0200) + 38.
constexpr STATUS ERR_ITEM_NOT_FOUND = 550;

// The item-scan callback of NSFItemScan.
using NSFITEMSCANPROC = STATUS(LNCALLBACK*)(WORD spare, WORD itemFlags, char* name, WORD nameLength,
                                            void* value, DWORD valueLength, void* routineParameter);

// The ordinal of an operation bound by its exported name alone (ordinals start at 1).
constexpr uint16_t kByNameOnly = 0;

// Signatures, one per operation, from the table.
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) \
    using PFN_##name = returns(LNPUBLIC*) parameters;
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP

// Export ordinals of nnotes.dll; kByNameOnly for the operations bound by name.
enum Ordinal : uint16_t {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) ORD_##name = ordinal,
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

// NSFItemConvertValueToText writes at most 60 KB, whatever the buffer.
constexpr WORD kConvertValueTextLimit = 60 * 1024;

}  // namespace notes
