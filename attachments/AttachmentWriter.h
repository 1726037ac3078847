#pragma once
// Writes the files attached to a document into a folder of its own, named after the note as
// Notes shows it to a user (NT and eight hexadecimal digits), under the folder the user
// named, and tells what the CSV cell of the document lists.

#include "notes/NotesApi.h"

#include <string>
#include <vector>

class CNsfNote;

// One attachment that was not written: its name in the database (native text) and the
// status the library refused it with.
struct AttachmentFailure {
    std::string name;
    notes::STATUS status = 0;
};

// What became of one document's attachments.
struct AttachmentResult {
    std::string cell;                // the files written, as the CSV names them, joined by ';'
    std::vector<std::string> paths;  // the same, one each
    size_t written = 0;
    std::vector<AttachmentFailure> failures;
    // Nonzero when the disk holding the folder is full: the status of the extraction that
    // met it. The files after it were not tried.
    notes::STATUS diskFull = 0;
};

class CAttachmentWriter {
public:
    // `folder`: the full native path the notes' folders go into, which exists; `cellPrefix`:
    // how the CSV's cells name that folder, "" or ending in '\'.
    CAttachmentWriter(std::string folder, std::string cellPrefix);

    // Writes every file attached to the open `note`, whose id is `id`; a sealed note must have
    // been opened keeping its attachment key.
    AttachmentResult WriteAll(CNsfNote& note, notes::NOTEID id) const;

    // The most bytes a file's name may take in a note's folder: what is left of a path's
    // 260 bytes after the folder, the note's folder and a number added to a name given twice.
    size_t NameRoom() const;

private:
    std::string m_folder;
    std::string m_cellPrefix;
};

// The name of a note's folder: "NT" and its id in eight hexadecimal digits.
std::string NoteFolderName(notes::NOTEID id);

// Bytes a path needs beyond the attachments folder for the shortest name to fit; a folder
// whose path leaves less is refused before the run.
constexpr size_t kAttachmentPathReserve = 1 + 10 + 1 + 16;
