#pragma once
// A database dropped on the program's icon, or opened with "Open with": Windows starts the
// program with that file's path as its one argument. Such a start opens the windows with the
// database filled in, never an unattended run.

#include <string>
#include <vector>

// True when `arguments` are one argument, not a switch, that names an existing file;
// `fullPath` then holds its full path.
bool OpenedFile(const std::vector<std::wstring>& arguments, std::wstring& fullPath);
