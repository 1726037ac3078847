// The Notes operations the program calls, one line each: everything else about an operation
// (its function-pointer type, its slot in the binding, its export in our runtime's .def file,
// whether a fault entry of the runtime may name it) is made from this table. Include it with
// QS_NOTES_OP defined as
//   QS_NOTES_OP(name, ordinal, argumentBytes, fault, returnType, (parameters))
// - ordinal: the export ordinal in nnotes.dll (public C API reference), or kByNameOnly for an
//   operation whose ordinal is not known to us, bound by its exported name alone;
// - argumentBytes: the bytes of its arguments on i686, the __stdcall decoration of the symbol
//   (checked against the signature when our runtime is built);
// - fault: FAULT when a fault entry of a test database may name it, NOFAULT otherwise.
// The lines are read by nnotes/CMakeLists.txt as well: keep one operation per line, in this
// layout. No include guard: each includer expands it its own way.

// clang-format off
QS_NOTES_OP(NotesInitExtended,         15,   8,  NOFAULT, STATUS, (int argc, char** argv))
QS_NOTES_OP(NotesTerm,                 13,   0,  NOFAULT, void,   ())
QS_NOTES_OP(NSFDbOpen,                 2005, 8,  FAULT,   STATUS, (const char* pathName, DBHANDLE* rethDB))
QS_NOTES_OP(NSFDbModeGet,              2020, 8,  FAULT,   STATUS, (DBHANDLE hDB, WORD* retMode))
QS_NOTES_OP(NSFDbClose,                2001, 4,  FAULT,   STATUS, (DBHANDLE hDB))
QS_NOTES_OP(NSFDbInfoGet,              2086, 8,  FAULT,   STATUS, (DBHANDLE hDB, char* retBuffer))
QS_NOTES_OP(NSFDbInfoParse,            2100, 16, NOFAULT, void,   (char* info, WORD what, char* buffer, WORD length))
QS_NOTES_OP(NIFOpenCollection,         2801, 40, FAULT,   STATUS, (DBHANDLE hViewDB, DBHANDLE hDataDB, NOTEID viewNoteID, WORD openFlags, DHANDLE hUnreadList, HCOLLECTION* rethCollection, NOTEHANDLE* rethViewNote, UNID* retViewUNID, DHANDLE* rethCollapsedList, DHANDLE* rethSelectedList))
QS_NOTES_OP(NIFReadEntries,            2848, 48, FAULT,   STATUS, (HCOLLECTION hCollection, COLLECTIONPOSITION* indexPos, WORD skipNavigator, DWORD skipCount, WORD returnNavigator, DWORD returnCount, DWORD returnMask, DHANDLE* rethBuffer, WORD* retBufferLength, DWORD* retNumEntriesSkipped, DWORD* retNumEntriesReturned, WORD* retSignalFlags))
QS_NOTES_OP(OSLockObject,              182,  4,  NOFAULT, void*,  (DHANDLE handle))
QS_NOTES_OP(OSUnlockObject,            183,  4,  NOFAULT, BOOL,   (DHANDLE handle))
QS_NOTES_OP(OSMemFree,                 143,  4,  NOFAULT, STATUS, (DHANDLE handle))
QS_NOTES_OP(NIFCloseCollection,        2802, 4,  FAULT,   STATUS, (HCOLLECTION hCollection))
QS_NOTES_OP(NSFLocateSummaryValue,     2095, 20, NOFAULT, BOOL,   (void* summaryBuffer, const char* itemName, void** retValuePointer, WORD* retValueLength, WORD* retDataType))
QS_NOTES_OP(ListGetText,               2111, 20, NOFAULT, STATUS, (void* list, BOOL prefixDataType, WORD entryNumber, char** retTextPointer, WORD* retTextLength))
QS_NOTES_OP(OSTranslate,               391,  20, NOFAULT, WORD,   (WORD mode, const char* in, WORD inLength, char* out, WORD outLength))
QS_NOTES_OP(NIFFindDesignNote,         2856, 16, FAULT,   STATUS, (DBHANDLE hFile, const char* name, WORD noteClass, NOTEID* retNoteID))
QS_NOTES_OP(NSFNoteOpen,               2011, 16, FAULT,   STATUS, (DBHANDLE hDB, NOTEID noteID, WORD openFlags, NOTEHANDLE* rethNote))
QS_NOTES_OP(NSFItemScan,               2007, 12, FAULT,   STATUS, (NOTEHANDLE hNote, NSFITEMSCANPROC actionRoutine, void* routineParameter))
QS_NOTES_OP(NSFNoteClose,              2008, 4,  FAULT,   STATUS, (NOTEHANDLE hNote))
QS_NOTES_OP(NSFNoteIsSignedOrSealed,   2145, 12, NOFAULT, BOOL,   (NOTEHANDLE hNote, BOOL* retSigned, BOOL* retSealed))
QS_NOTES_OP(NSFNoteSign,               2149, 4,  FAULT,   STATUS, (NOTEHANDLE hNote))
QS_NOTES_OP(NSFNoteDecrypt,            2147, 12, FAULT,   STATUS, (NOTEHANDLE hNote, WORD decryptFlags, ENCRYPTION_KEY* retKeyForAttachments))
QS_NOTES_OP(NSFItemConvertToText,      2197, 20, NOFAULT, WORD,   (NOTEHANDLE hNote, const char* itemName, char* retBuffer, WORD bufferLength, char separator))
QS_NOTES_OP(OSLoadString,              707,  16, NOFAULT, WORD,   (void* hModule, STATUS stringCode, char* retBuffer, WORD bufferLength))
QS_NOTES_OP(OSPathNetConstruct,        938,  16, NOFAULT, STATUS, (const char* portName, const char* serverName, const char* fileName, char* retPathName))
QS_NOTES_OP(OSGetEnvironmentString,    416,  12, NOFAULT, BOOL,   (const char* variableName, char* retValueBuffer, WORD bufferLength))
QS_NOTES_OP(TimeConstant,              451,  8,  NOFAULT, void,   (WORD timeConstantType, TIMEDATE* td))
QS_NOTES_OP(NSFDbGetModifiedNoteTable, 2118, 24, FAULT,   STATUS, (DBHANDLE hDB, WORD noteClassMask, TIMEDATE since, TIMEDATE* retUntil, DHANDLE* rethTable))
QS_NOTES_OP(IDEntries,                 324,  4,  NOFAULT, DWORD,  (DHANDLE hTable))
QS_NOTES_OP(IDScan,                    323,  12, NOFAULT, BOOL,   (DHANDLE hTable, BOOL first, NOTEID* retID))
QS_NOTES_OP(IDDestroyTable,            861,  4,  NOFAULT, STATUS, (DHANDLE hTable))
QS_NOTES_OP(NSFItemInfo,               kByNameOnly, 28, FAULT, STATUS, (NOTEHANDLE hNote, const char* itemName, WORD nameLength, BLOCKID* retItemBlockId, WORD* retDataType, BLOCKID* retValueBlockId, DWORD* retValueLength))
QS_NOTES_OP(NSFItemInfoNext,           kByNameOnly, 36, FAULT, STATUS, (NOTEHANDLE hNote, BLOCKID nextItem, const char* itemName, WORD nameLength, BLOCKID* retItemBlockId, WORD* retDataType, BLOCKID* retValueBlockId, DWORD* retValueLength))
QS_NOTES_OP(NSFItemConvertValueToText, kByNameOnly, 28, NOFAULT, WORD, (WORD valueType, BLOCKID valueBlockId, DWORD valueLength, char* retBuffer, WORD bufferLength, char separator))
QS_NOTES_OP(NSFNoteExtractFile,        kByNameOnly, 20, FAULT, STATUS, (NOTEHANDLE hNote, BLOCKID itemBlockId, const char* fileName, ENCRYPTION_KEY* decryptionKey))
QS_NOTES_OP(NSFNoteVerifySignature,    kByNameOnly, 20, FAULT, STATUS, (NOTEHANDLE hNote, char* signatureItemName, TIMEDATE* retWhenSigned, char* retSigner, char* retCertifier))
QS_NOTES_OP(NSFDbGetSpecialNoteID,     kByNameOnly, 12, FAULT, STATUS, (DBHANDLE hDB, WORD index, NOTEID* retNoteID))
QS_NOTES_OP(NSFSearch,                 kByNameOnly, 36, FAULT, STATUS, (DBHANDLE hDB, DHANDLE hFormula, char* viewTitle, WORD searchFlags, WORD noteClassMask, TIMEDATE* since, NSFSEARCHPROC enumRoutine, void* enumRoutineParameter, TIMEDATE* retUntil))
QS_NOTES_OP(NSFNoteGetInfo,            kByNameOnly, 12, NOFAULT, void, (NOTEHANDLE hNote, WORD member, void* retValue))
QS_NOTES_OP(TimeGMToLocal,             kByNameOnly, 4,  NOFAULT, BOOL, (TIME* time))
QS_NOTES_OP(TimeGMToLocalZone,         kByNameOnly, 4,  NOFAULT, BOOL, (TIME* time))
// clang-format on
