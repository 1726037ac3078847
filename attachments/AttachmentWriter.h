#pragma once
// Writes the files attached to a document into a folder of its own, named after the note as
// Notes shows it to a user (NT and eight hexadecimal digits), under the folder the user
// named, and tells what the CSV cell of the document lists.

#include "attachments/AttachmentName.h"
#include "notes/NotesApi.h"

#include <string>
#include <vector>

class CNsfNote;

// One attachment that was not written: its name in the database (native text) and the
// status the library refused it with.
struct AttachmentFailure {
    std::string name;
    notes::STATUS status = 0;
    // Why, where the library did not refuse it (0 status): what the program found instead.
    std::string reason;
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

// A file written under the name of its own it keeps until its run goes through, and the name
// it then takes, replacing what an earlier run left there.
struct StagedFile {
    std::string staged;
    std::string final;
};

class CAttachmentWriter {
public:
    // `folder`: the full native path the notes' folders go into, which exists; `cellPrefix`:
    // how the CSV's cells name that folder, "" or ending in '\'.
    CAttachmentWriter(std::string folder, std::string cellPrefix);

    // Writes every file attached to the open `note`, whose id is `id`, under its partial name
    // beside its final one; a sealed note must have been opened keeping its attachment key.
    AttachmentResult WriteAll(CNsfNote& note, notes::NOTEID id);
    // What the writer has written so far, still under the partial names.
    const std::vector<StagedFile>& Staged() const { return m_staged; }
    // The note folders it made, newest last, for a run that takes its files back.
    const std::vector<std::string>& MadeFolders() const { return m_madeFolders; }

    // The most bytes a file's name may take in a note's folder: what is left of a path's
    // 260 bytes after the folder, the note's folder, a number added to a name given twice and
    // the tag of the partial name it is first written under.
    size_t NameRoom() const;

private:
    // The name `original` (native) is written under in `noteFolder`: within NameRoom(), and
    // short enough that the whole path, in LMBCS, where a Japanese character takes three bytes
    // and not two, stays within the library's MAXPATH; cut in its stem, by character.
    AttachmentFileName FittingName(const std::string& original, const std::string& noteFolder) const;

    std::string m_folder;
    std::string m_cellPrefix;
    std::vector<StagedFile> m_staged;
    std::vector<std::string> m_madeFolders;
};

// Puts every staged file in its final place. A file-error cause, 0 when all were; `failed`
// then names the first that could not be, and those after it stay staged.
int SettleStagedFiles(const std::vector<StagedFile>& files, std::string& failed);
// Removes the staged files of a run that did not go through, and the folders it made that are
// left empty, so that what an earlier run wrote stays as it was. How many files it removed.
size_t DiscardStagedFiles(const std::vector<StagedFile>& files, const std::vector<std::string>& madeFolders);

// The name of a note's folder: "NT" and its id in eight hexadecimal digits.
std::string NoteFolderName(notes::NOTEID id);

// Bytes a path needs beyond the attachments folder for the shortest name to fit; a folder
// whose path leaves less is refused before the run.
constexpr size_t kAttachmentPathReserve = 1 + 10 + 1 + 16;
