#pragma once
// A database as the runtime holds it once its file has been read: the title, the design
// notes, the documents and the faults the file asks for. All text is LMBCS.

#include "Status.h"

#include <cstdint>
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

// Operation name -> the status it returns.
using FaultMap = std::map<std::string, Status>;

struct Note {
    NoteId id = 0;
    uint16_t noteClass = 0;
    std::vector<Item> items;         // in stored order; a form's fields for a form
    std::vector<Item> summary;       // the summary block of a design note ($TITLE among it)
    std::vector<std::string> names;  // the names a design note is found by (LMBCS)
    bool isSigned = false;
    bool isSealed = false;
    bool undecryptable = false;
    TimeDate modified;
    FaultMap faults;

    const Item* FindItem(const std::string& name) const;
};

struct Database {
    std::string title;  // LMBCS
    FaultMap faults;
    std::vector<Note> notes;          // ascending note id
    std::vector<size_t> designOrder;  // indices of the design notes, in collection order

    const Note* FindNote(NoteId id) const;
    // The status a fault entry sets for `operation` (for `note` when given: its own entry
    // first, then the database's), or 0.
    Status Fault(const char* operation, const Note* note = nullptr) const;
};

// Reads a database file (a path in the ANSI code page).
Status LoadDatabase(const std::string& path, std::shared_ptr<const Database>* out);

// Item values, built as the file format describes them; exposed for the text conversion.
TimeDate MakeTime(int year, int month, int day, int hour, int minute, int second, bool hasDate, bool hasTime);
// Splits a time back into local date and time; false when the date or time part is absent.
void SplitTime(const TimeDate& td, bool* hasDate, int* year, int* month, int* day, bool* hasTime, int* hour,
               int* minute, int* second);

// Case-insensitive comparison of item or design note names (ASCII letters fold).
bool SameName(const std::string& a, const std::string& b);

}  // namespace nnotes
