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

struct UNID {
    TIMEDATE File;
    TIMEDATE Note;
};

// The numbers below are the Notes library's own, each from the header named beside it (as the
// reference pages name the headers); docs/nnotes-database-format.md lists them with their
// sources, and the tests check each against that list.

// Item data types (nsfdata.h, TYPE_xxx): the first word of an item's value.
constexpr WORD TYPE_INVALID_OR_UNKNOWN = 0x0000;
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

// Note classes (nsfnote.h, NOTE_CLASS_xxx).
constexpr WORD NOTE_CLASS_DOCUMENT = 0x0001;
constexpr WORD NOTE_CLASS_FORM = 0x0004;
constexpr WORD NOTE_CLASS_VIEW = 0x0008;

// NSFDbModeGet (nsfdb.h, DB_xxx): a database file, or a directory.
constexpr WORD DBMODE_LOADED = 1;                                          // DB_LOADED
constexpr WORD DBMODE_DIRECTORY = 2;                                       // DB_DIRECTORY
constexpr NOTEID NOTE_ID_SPECIAL = 0xFFFF0000;                             // nsfnote.h
constexpr NOTEID NOTE_CLASS_DESIGN_COLLECTION = NOTE_ID_SPECIAL | 0x0020;  // | NOTE_CLASS_DESIGN
// NIFOpenCollection (nif.h): use the collection's index as it is, never build one.
constexpr WORD OPEN_DO_NOT_CREATE = 0x0004;
constexpr WORD NAVIGATE_NEXT = 1;                  // nif.h
constexpr DWORD MAXDWORD_COUNT = 0xFFFFFFFF;       // MAXDWORD (global.h): as many as there are
constexpr DWORD READ_MASK_NOTECLASS = 0x00000004;  // nif.h
constexpr DWORD READ_MASK_SUMMARY = 0x00008000;    // nif.h
constexpr WORD SIGNAL_MORE_TO_DO = 0x0020;         // nif.h; NIFReadEntries: entries remain for another read
constexpr WORD OS_TRANSLATE_NATIVE_TO_LMBCS = 0;   // osmisc.h
constexpr WORD OS_TRANSLATE_LMBCS_TO_NATIVE = 1;   // osmisc.h
constexpr WORD INFOPARSE_TITLE = 0;                // nsfdb.h
constexpr WORD NSF_INFO_SIZE = 128;                // nsfdb.h
constexpr WORD TIMEDATE_MINIMUM = 0;               // misc.h; TimeConstant: the earliest time
// NSFNoteOpen (nsfnote.h, OPEN_xxx): don't bother verifying the default bit.
constexpr WORD OPEN_NOVERIFYDEFAULT = 0x0002;
constexpr STATUS ERR_MASK = 0x3FFF;  // globerr.h (the ERR page): a status without its flag bits
constexpr int MAXPATH = 256;         // names.h: a Notes path, NUL included
// ITEM_SUMMARY (nsfnote.h): an item flag of the item scan.
constexpr WORD ITEM_SUMMARY = 0x0004;

// Statuses the program tells apart (nsferr.h, PKG_NSF = 0x0200 in globerr.h).
// NSFDbOpen: the path named a directory, not a database. PKG_NSF+28.
constexpr STATUS ERR_DIRECTORY = 540;
// NSFDbGetModifiedNoteTable: no note of the class was modified since the time given; there
// is no table then. PKG_NSF+60.
constexpr STATUS ERR_NO_MODIFIED_NOTES = 572;
// NSFItemInfo, NSFItemInfoNext: no (further) item of that name. PKG_NSF+34.
constexpr STATUS ERR_ITEM_NOT_FOUND = 546;
// NIFFindDesignNote: no design note of that name (misc errors, PKG_MISC = 0x0400, +4).
constexpr STATUS ERR_NOT_FOUND = 1028;

// The item-scan callback of NSFItemScan.
using NSFITEMSCANPROC = STATUS(LNCALLBACK*)(WORD spare, WORD itemFlags, char* name, WORD nameLength,
                                            void* value, DWORD valueLength, void* routineParameter);

// Signatures, one per operation.
using PFN_NotesInitExtended = STATUS(LNPUBLIC*)(int argc, char** argv);
using PFN_NotesTerm = void(LNPUBLIC*)();
using PFN_NSFDbOpen = STATUS(LNPUBLIC*)(const char* pathName, DBHANDLE* rethDB);
using PFN_NSFDbModeGet = STATUS(LNPUBLIC*)(DBHANDLE hDB, WORD* retMode);
using PFN_NSFDbClose = STATUS(LNPUBLIC*)(DBHANDLE hDB);
using PFN_NSFDbInfoGet = STATUS(LNPUBLIC*)(DBHANDLE hDB, char* retBuffer);
using PFN_NSFDbInfoParse = void(LNPUBLIC*)(char* info, WORD what, char* buffer, WORD length);
using PFN_NIFOpenCollection = STATUS(LNPUBLIC*)(DBHANDLE hViewDB, DBHANDLE hDataDB, NOTEID viewNoteID,
                                                WORD openFlags, DHANDLE hUnreadList,
                                                HCOLLECTION* rethCollection, NOTEHANDLE* rethViewNote,
                                                UNID* retViewUNID, DHANDLE* rethCollapsedList,
                                                DHANDLE* rethSelectedList);
using PFN_NIFReadEntries = STATUS(LNPUBLIC*)(HCOLLECTION hCollection, COLLECTIONPOSITION* indexPos,
                                             WORD skipNavigator, DWORD skipCount, WORD returnNavigator,
                                             DWORD returnCount, DWORD returnMask, DHANDLE* rethBuffer,
                                             WORD* retBufferLength, DWORD* retNumEntriesSkipped,
                                             DWORD* retNumEntriesReturned, WORD* retSignalFlags);
using PFN_OSLockObject = void*(LNPUBLIC*)(DHANDLE handle);
using PFN_OSUnlockObject = BOOL(LNPUBLIC*)(DHANDLE handle);
using PFN_OSMemFree = STATUS(LNPUBLIC*)(DHANDLE handle);
using PFN_NIFCloseCollection = STATUS(LNPUBLIC*)(HCOLLECTION hCollection);
using PFN_NSFLocateSummaryValue = BOOL(LNPUBLIC*)(void* summaryBuffer, const char* itemName,
                                                  void** retValuePointer, WORD* retValueLength,
                                                  WORD* retDataType);
using PFN_ListGetText = STATUS(LNPUBLIC*)(void* list, BOOL prefixDataType, WORD entryNumber,
                                          char** retTextPointer, WORD* retTextLength);
using PFN_OSTranslate = WORD(LNPUBLIC*)(WORD mode, const char* in, WORD inLength, char* out, WORD outLength);
using PFN_NIFFindDesignNote = STATUS(LNPUBLIC*)(DBHANDLE hFile, const char* name, WORD noteClass,
                                                NOTEID* retNoteID);
using PFN_NSFNoteOpen = STATUS(LNPUBLIC*)(DBHANDLE hDB, NOTEID noteID, WORD openFlags, NOTEHANDLE* rethNote);
using PFN_NSFItemScan = STATUS(LNPUBLIC*)(NOTEHANDLE hNote, NSFITEMSCANPROC actionRoutine,
                                          void* routineParameter);
using PFN_NSFNoteClose = STATUS(LNPUBLIC*)(NOTEHANDLE hNote);
using PFN_NSFNoteIsSignedOrSealed = BOOL(LNPUBLIC*)(NOTEHANDLE hNote, BOOL* retSigned, BOOL* retSealed);
using PFN_NSFNoteSign = STATUS(LNPUBLIC*)(NOTEHANDLE hNote);
using PFN_NSFNoteDecrypt = STATUS(LNPUBLIC*)(NOTEHANDLE hNote, WORD decryptFlags, void* retKeyForAttachments);
using PFN_NSFItemConvertToText = WORD(LNPUBLIC*)(NOTEHANDLE hNote, const char* itemName, char* retBuffer,
                                                 WORD bufferLength, char separator);
using PFN_OSLoadString = WORD(LNPUBLIC*)(void* hModule, STATUS stringCode, char* retBuffer,
                                         WORD bufferLength);
using PFN_OSPathNetConstruct = STATUS(LNPUBLIC*)(const char* portName, const char* serverName,
                                                 const char* fileName, char* retPathName);
using PFN_OSGetEnvironmentString = BOOL(LNPUBLIC*)(const char* variableName, char* retValueBuffer,
                                                   WORD bufferLength);
using PFN_TimeConstant = void(LNPUBLIC*)(WORD timeConstantType, TIMEDATE* td);
using PFN_NSFDbGetModifiedNoteTable = STATUS(LNPUBLIC*)(DBHANDLE hDB, WORD noteClassMask, TIMEDATE since,
                                                        TIMEDATE* retUntil, DHANDLE* rethTable);
using PFN_IDEntries = DWORD(LNPUBLIC*)(DHANDLE hTable);
using PFN_IDScan = BOOL(LNPUBLIC*)(DHANDLE hTable, BOOL first, NOTEID* retID);
using PFN_IDDestroyTable = STATUS(LNPUBLIC*)(DHANDLE hTable);
using PFN_NSFItemInfo = STATUS(LNPUBLIC*)(NOTEHANDLE hNote, const char* itemName, WORD nameLength,
                                          BLOCKID* retItemBlockId, WORD* retDataType,
                                          BLOCKID* retValueBlockId, DWORD* retValueLength);
using PFN_NSFItemInfoNext = STATUS(LNPUBLIC*)(NOTEHANDLE hNote, BLOCKID nextItem, const char* itemName,
                                              WORD nameLength, BLOCKID* retItemBlockId, WORD* retDataType,
                                              BLOCKID* retValueBlockId, DWORD* retValueLength);
using PFN_NSFItemConvertValueToText = WORD(LNPUBLIC*)(WORD valueType, BLOCKID valueBlockId, DWORD valueLength,
                                                      char* retBuffer, WORD bufferLength, char separator);

// Export ordinals of nnotes.dll: the one table both sides use.
enum Ordinal : uint16_t {
    ORD_NotesInitExtended = 15,
    ORD_NotesTerm = 13,
    ORD_NSFDbOpen = 2005,
    ORD_NSFDbModeGet = 2020,
    ORD_NSFDbClose = 2001,
    ORD_NSFDbInfoGet = 2086,
    ORD_NSFDbInfoParse = 2100,
    ORD_NIFOpenCollection = 2801,
    ORD_NIFReadEntries = 2848,
    ORD_OSLockObject = 182,
    ORD_OSUnlockObject = 183,
    ORD_OSMemFree = 143,
    ORD_NIFCloseCollection = 2802,
    ORD_NSFLocateSummaryValue = 2095,
    ORD_ListGetText = 2111,
    ORD_OSTranslate = 391,
    ORD_NIFFindDesignNote = 2856,
    ORD_NSFNoteOpen = 2011,
    ORD_NSFItemScan = 2007,
    ORD_NSFNoteClose = 2008,
    ORD_NSFNoteIsSignedOrSealed = 2145,
    ORD_NSFNoteSign = 2149,
    ORD_NSFNoteDecrypt = 2147,
    ORD_NSFItemConvertToText = 2197,
    ORD_OSLoadString = 707,
    ORD_OSPathNetConstruct = 938,
    ORD_OSGetEnvironmentString = 416,
    ORD_TimeConstant = 451,
    ORD_NSFDbGetModifiedNoteTable = 2118,
    ORD_IDEntries = 324,
    ORD_IDScan = 323,
    ORD_IDDestroyTable = 861,
};

// The library exports each operation by its plain name as well (no decoration, on i686
// neither); the binding compares the two where the names are there.
struct ExportName {
    Ordinal ordinal;
    const char* name;
};
constexpr ExportName kExportNames[] = {
    {ORD_NotesInitExtended, "NotesInitExtended"},
    {ORD_NotesTerm, "NotesTerm"},
    {ORD_NSFDbOpen, "NSFDbOpen"},
    {ORD_NSFDbModeGet, "NSFDbModeGet"},
    {ORD_NSFDbClose, "NSFDbClose"},
    {ORD_NSFDbInfoGet, "NSFDbInfoGet"},
    {ORD_NSFDbInfoParse, "NSFDbInfoParse"},
    {ORD_NIFOpenCollection, "NIFOpenCollection"},
    {ORD_NIFReadEntries, "NIFReadEntries"},
    {ORD_OSLockObject, "OSLockObject"},
    {ORD_OSUnlockObject, "OSUnlockObject"},
    {ORD_OSMemFree, "OSMemFree"},
    {ORD_NIFCloseCollection, "NIFCloseCollection"},
    {ORD_NSFLocateSummaryValue, "NSFLocateSummaryValue"},
    {ORD_ListGetText, "ListGetText"},
    {ORD_OSTranslate, "OSTranslate"},
    {ORD_NIFFindDesignNote, "NIFFindDesignNote"},
    {ORD_NSFNoteOpen, "NSFNoteOpen"},
    {ORD_NSFItemScan, "NSFItemScan"},
    {ORD_NSFNoteClose, "NSFNoteClose"},
    {ORD_NSFNoteIsSignedOrSealed, "NSFNoteIsSignedOrSealed"},
    {ORD_NSFNoteSign, "NSFNoteSign"},
    {ORD_NSFNoteDecrypt, "NSFNoteDecrypt"},
    {ORD_NSFItemConvertToText, "NSFItemConvertToText"},
    {ORD_OSLoadString, "OSLoadString"},
    {ORD_OSPathNetConstruct, "OSPathNetConstruct"},
    {ORD_OSGetEnvironmentString, "OSGetEnvironmentString"},
    {ORD_TimeConstant, "TimeConstant"},
    {ORD_NSFDbGetModifiedNoteTable, "NSFDbGetModifiedNoteTable"},
    {ORD_IDEntries, "IDEntries"},
    {ORD_IDScan, "IDScan"},
    {ORD_IDDestroyTable, "IDDestroyTable"},
};

// Operations bound by their exported name alone: their ordinals in the Notes library are not
// known to us, and a guessed one could lead to another operation.
constexpr char kExportNSFItemInfo[] = "NSFItemInfo";
constexpr char kExportNSFItemInfoNext[] = "NSFItemInfoNext";
constexpr char kExportNSFItemConvertValueToText[] = "NSFItemConvertValueToText";
constexpr const char* kNamedOnlyExports[] = {kExportNSFItemInfo, kExportNSFItemInfoNext,
                                             kExportNSFItemConvertValueToText};

// NSFItemConvertValueToText writes at most 60 KB, whatever the buffer.
constexpr WORD kConvertValueTextLimit = 60 * 1024;

}  // namespace notes
