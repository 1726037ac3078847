#pragma once
// The first stage of every export: the Notes path of the database the user named, tested
// by opening and closing it once.

#include "framework/MessageSink.h"
#include "notes/NotesApi.h"

#include <string>

// The Notes path of `path` on `serverName` (empty: local), not opened. False when it does
// not fit a Notes path; the reason has been told to `messages`.
bool NotesPathOf(CMessageSink& messages, const std::string& serverName, const std::string& path,
                 char (&notesPath)[notes::MAXPATH]);

// False when the path does not fit a Notes path or the database does not open; the reason
// has been told to `messages`.
bool LocateDatabase(CMessageSink& messages, const std::string& serverName, const std::string& path,
                    char (&notesPath)[notes::MAXPATH]);
