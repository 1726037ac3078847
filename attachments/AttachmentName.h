#pragma once
// The name an attached file is written under. An attachment's name is data of the database,
// never a path: whatever it holds, it becomes one plain name inside the note's folder.

#include <string>

struct AttachmentFileName {
    std::string stem;       // the name up to its extension
    std::string extension;  // from its last '.' on ("" without one)
};

// `wanted` (native text, as the database names the file) as a name of at most `maxBytes`
// bytes: what SafeName makes of it, with ',' and ';' also made '_' so that the CSV cell that
// lists the files (joined by ';') names each whole. A name too long is cut in its stem, so
// that the file keeps the extension it opens with; a double-byte character is never cut.
AttachmentFileName MakeAttachmentFileName(const std::string& wanted, size_t maxBytes,
                                          bool (*isLeadByte)(unsigned char));
