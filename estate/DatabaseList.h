#pragma once
// The databases one run exports: /db's value, which names one database, a folder of them,
// a wildcard, or a list file ("@FILE").

#include <string>
#include <vector>

struct DatabaseSource {
    std::string server;  // empty: a local database
    std::string path;    // native text: the local path, or the path on the server
    // Not a database to export but what the list could not take in: a folder the walk did not
    // search, a list file's line that names none. `problem` says why; the run's row for it
    // has `problemStatus`.
    std::string problem;
    int problemStatus = 0;
};

// Notes' own notation for a database on a server in a list file's line: "server!!path".
constexpr char kServerPathSeparator[] = "!!";

// The database as the run's output and summary name it: its path, or "server!!path".
std::string DatabaseName(const DatabaseSource& source);

// What `value` names (native text), on `server` (empty: the local file system):
//   - "@FILE": each line of FILE that is not blank, "server!!path" or a local path;
//   - a wildcard in the last part ("D:\nsf\*.nsf"): the files it matches;
//   - a folder: every .nsf file in it, and with `subfolders` in the folders below it;
//   - anything else: that one database, as typed.
// On a server the library lists the folder ("mail", "\" for the server's data directory),
// and finds its database files of every version (.ns?); a name that ends so is one database,
// not asked for. A folder it cannot open or search is an entry with the library's reason,
// status 3; a file whose name the native code page cannot hold, status 1.
// The files found are in the order of their full paths, letter case ignored. What the walk
// did not search (a folder it could not read, a path too long, a name outside code page 932,
// a junction or link, which it never follows, and the folder `leaveOut`, where the run
// writes) is an entry with its problem, status 1 (`leaveOut` 0), and so is a list file's
// line with no server or no path, status 3. A list file with a UTF-8 BOM, or whose text is
// UTF-8 and not Shift_JIS, is read as UTF-8; a line that starts with '#' is a comment. False
// when the list file cannot be read or the folder or wildcard finds nothing; `message` then
// says why, in the program's words.
bool ExpandDatabases(const std::string& server, const std::string& value, bool subfolders,
                     std::vector<DatabaseSource>& out, std::string& message,
                     const std::string& leaveOut = std::string());

// True when `value` on `server` names more than one database at most: a list file, a
// wildcard or a folder. One database keeps the single export's switches (/csv).
bool NamesSeveralDatabases(const std::string& server, const std::string& value);
