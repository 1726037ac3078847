#pragma once
// The checks of what the user names, shared by the windows and the command line so that both
// refuse the same input with the same message. Each returns 0 when the input passes, else
// the string id of the message of the first check it fails; the caller shows it.

#include <string>

// The database: on a server (`onServer`), a server name and a path, taken as typed; else a
// local file, whose path loses its leading blanks and must pass the path rules.
unsigned CheckSource(bool onServer, const std::string& server, std::string& path);

// A file to write (the CSV file, or the command line's log): it loses its leading blanks,
// must not be empty (`emptyMessageId` says so) and must pass the path rules.
unsigned CheckDestination(std::string& path, unsigned emptyMessageId);
