#pragma once
// A folder of databases, local or on a server, listed by the library as a Notes client lists
// it: the folder opened like a database and searched for database files.

#include "notes/NotesApi.h"

#include <string>
#include <vector>

class CNsfDirectory {
public:
    CNsfDirectory() = default;
    CNsfDirectory(const CNsfDirectory&) = delete;
    CNsfDirectory& operator=(const CNsfDirectory&) = delete;
    // Closes what is still held, quietly: a listing's failure has been reported already.
    ~CNsfDirectory();

    // Opens `path` (LMBCS, "server!!folder" or a local folder). False, with nothing held, when
    // the path names a database and not a folder. Throws CNsfError when it does not open.
    bool Open(const char* path);
    // One database file the search found.
    struct Entry {
        std::string path;  // native text, as the library gives it: relative to the data directory
        // False when the native code page cannot hold the path: `path` then has '?' for what
        // it could not, and names no file.
        bool native = true;
    };
    // The database files in the folder, and with `subfolders` those in the folders below it,
    // in the order the library finds them. Throws CNsfError when the search fails.
    std::vector<Entry> Databases(bool subfolders);
    // Throws CNsfError when the close fails; the handle is let go of either way.
    void Close();

private:
    notes::DBHANDLE m_hDir = 0;
};
