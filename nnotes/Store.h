#pragma once
// A database as the runtime holds it once its file has been read: the title, the design
// notes, the documents and the faults the file asks for. All text is LMBCS.

#include "Status.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace nnotes {

using NoteId = uint32_t;

struct TimeDate {
    uint32_t innards[2] = {0, 0};
};

struct Item {
    std::string name;    // LMBCS
    uint16_t type = 0;   // the data type word the value starts with
    uint16_t flags = 0;  // item flags as the item scan reports them
    std::string data;    // the value after its type word
};

// A file attached to a document: what its $FILE item's FILEOBJECT stands for, found by the
// object id (RRV) the FILEOBJECT carries.
struct Attachment {
    uint32_t rrv = 0;           // nonzero, one per attachment of the note
    std::string bytes;          // the file as it was attached
    bool sealed = false;        // sealed with a key nobody here has
    bool badSignature = false;  // changed since it was signed
    // Its object is not in the database, or holds fewer bytes than its FILEOBJECT says: what
    // a damaged database or an interrupted replication leaves.
    bool missingObject = false;
    bool truncatedObject = false;
};

// Operation name -> the status it returns.
using FaultMap = std::map<std::string, Status>;

// A note's universal id as Notes keeps it: File, then Note, the time the first copy of the
// note was stored, which is when it was created.
struct Unid {
    TimeDate file;
    TimeDate note;
};

struct Note {
    NoteId id = 0;
    uint16_t noteClass = 0;
    std::vector<Item> items;         // in stored order; a form's fields for a form
    std::vector<Item> summary;       // the summary block of a design note ($TITLE among it)
    std::vector<std::string> names;  // the names a design note is found by (LMBCS)
    std::vector<Attachment> attachments;
    bool isSigned = false;
    bool isSealed = false;
    bool undecryptable = false;
    // Signed, but the signature no longer matches the note (changed since it was signed).
    bool signatureBroken = false;
    // Sealed with a key type of Notes 8.0.1 and later (AES), which an ENCRYPTION_KEY cannot
    // describe: NSFNoteDecrypt cannot hand its attachments' key out, and decrypts them in
    // place when asked to.
    bool newerEncryption = false;
    TimeDate modified;
    // Set for every document once its id is known (FinishIdentity): from the file's "unid" or
    // "created", else made from the id and the modification time.
    Unid unid;
    bool unidGiven = false;     // "unid": the whole UNID
    bool createdGiven = false;  // "created": its Note part
    // While a file is read: the id of the note whose UNID the document's $REF is to hold.
    NoteId parent = 0;
    FaultMap faults;
    // A test's events that opening this document meets (JSON form only; empty: none).
    std::string pause;

    const Item* FindItem(const std::string& name) const;
    const Attachment* FindAttachment(uint32_t rrv) const;
};

class DocumentFile;

struct Database {
    std::string title;  // LMBCS
    FaultMap faults;
    // The item-to-text conversions cut a text that does not fit at its byte, even inside a
    // character, as the Notes library may; by default they keep whole characters.
    bool cutTextAnywhere = false;
    // Ascending note id: every note of a JSON-form file, the design notes of an indexed one.
    std::vector<Note> notes;
    std::vector<size_t> designOrder;  // indices of the design notes, in collection order
    // The documents of an indexed file, read from it as they are asked for; null otherwise.
    std::shared_ptr<DocumentFile> documents;

    // A note held in `notes`.
    const Note* FindNote(NoteId id) const;
    // The status a fault entry sets for `operation` (for `note` when given: its own entry
    // first, then the database's), or 0.
    Status Fault(const char* operation, const Note* note = nullptr) const;
};

// The id a note without one gets: the next multiple of 4 (Notes ids step by 4) after the
// highest id so far.
inline NoteId NextNoteId(NoteId highest) { return (highest / 4 + 1) * 4; }

// Gives a document whose id is set its UNID: the file's, else File made of the id and a mark
// of the runtime's own, and Note the creation time ("created", else the modification time).
void FinishIdentity(Note* document);
// The $REF item (TYPE_NOTEREF_LIST) of a response to the note of `parent`.
Item ParentReference(const Unid& parent);

// Reads a database file (a path in the ANSI code page): the whole of a JSON-form file, the
// head of an indexed one.
Status LoadDatabase(const std::string& path, std::shared_ptr<const Database>* out);

// Any note of a database by id, from memory or from its file: 0, kErrInvalidNoteId, or 547
// for a document whose record is broken.
Status OpenNote(const std::shared_ptr<const Database>& db, NoteId id, std::shared_ptr<const Note>* out);
// Each note's id, class and modification time in ascending id order; stops at the first
// nonzero status of `visit` and returns it (547 for a broken table of an indexed file).
Status ForEachNote(const Database& db,
                   const std::function<Status(NoteId, uint16_t noteClass, const TimeDate& modified)>& visit);

// The JSON form from its text: a whole database, and a single document object (id 0 when it
// has none). The packer builds indexed files from these.
Status ParseJsonDatabase(const std::string& text, Database* out);
Status ParseJsonDocument(const std::string& text, Note* out);

// True for an operation a fault entry may name.
bool IsFaultOperation(const std::string& name);

// Item values, built as the file format describes them; exposed for the text conversion.
TimeDate MakeTime(int year, int month, int day, int hour, int minute, int second, bool hasDate, bool hasTime);
// A time as a clock shows it: the parts of TIME (misc.h), Sunday the first weekday.
struct ClockTime {
    int year = 0, month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0, hundredth = 0;
};
// `td` shown `eastMinutes` east of GMT; false for a date or a time of day alone.
bool ClockTimeOf(const TimeDate& td, int eastMinutes, ClockTime* out);
// How far east of GMT the zone a time was given in lies, in minutes (negative: west).
int ZoneEastMinutes(const TimeDate& td);
// Splits a time back into local date and time; false when the date or time part is absent.
void SplitTime(const TimeDate& td, bool* hasDate, int* year, int* month, int* day, bool* hasTime, int* hour,
               int* minute, int* second);

// The value of a $FILE item after its type word: the FILEOBJECT in canonical form (the
// offsets of notes::fileobject), then the file name (LMBCS, no NUL).
std::string FileObjectValue(uint32_t rrv, const std::string& fileName, uint16_t fileFlags, uint32_t fileSize,
                            const TimeDate& time);
// The RRV of a FILEOBJECT value, or 0 when the value is too short to be one.
uint32_t FileObjectRrv(const std::string& value);

// Case-insensitive comparison of item or design note names (ASCII letters fold).
bool SameName(const std::string& a, const std::string& b);
bool SameName(const std::string& a, const char* b, size_t bLength);

}  // namespace nnotes
