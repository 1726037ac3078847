#pragma once
// Where /attachments puts the attached files: its folder as a full path, and how the CSV's
// cells name it, so that a spreadsheet beside the CSV file finds each file by its cell.

#include "job/ExportStage.h"

#include <string>

// Resolves `typed` (a relative path is taken from the folder of the CSV file `csvPath`) into
// `choices.attachmentFolder` and `choices.attachmentCellPrefix`: the part under the CSV
// file's folder, or the whole path of a folder elsewhere. 0, or the message id of the path
// rule it breaks.
unsigned PlaceAttachments(const std::string& typed, const std::string& csvPath, ExportChoices& choices);

// True for a path that names its drive ("C:\...") or starts at a root ("\..."), which /out's
// folders cannot hold.
bool IsRootedPath(const std::string& path);

// True for one folder's name and nothing more: no drive, no separator, not "." or "..", so
// that each database's files stay inside its own folder.
bool IsPlainFolderName(const std::string& name);

// Makes the folder (its parent must be there); one that is there already is used. A file-error
// cause, 0 when the folder is there.
int MakeAttachmentFolder(const std::string& folder);
