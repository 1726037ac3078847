#include "support/NotesDatabaseFile.h"

#include "notes/NotesBinding.h"
#include "support/TestSupport.h"

void WriteNotesDatabase(const std::string& path, const std::string& members) {
    WriteFileBytes(path, "{\"format\":\"quillsheet-notes-database\",\"version\":1" +
                             (members.empty() ? std::string() : "," + members) + "}");
}

bool EnsureNotesInitialized() {
    static const bool ok = notes::NotesInitialize() == 0;
    return ok;
}
