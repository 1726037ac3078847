#pragma once
// The shell's "open" verb on a file, behind a seam so that tests see what would be opened,
// and in which order, without starting programs.

#include <windows.h>

#include <functional>
#include <string>

using ShellOpenHandler = std::function<void(HWND owner, const std::string& path)>;

// Replaces the handler; an empty one restores the shell. Returns the old one.
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);

// Asks the shell to open `path` (verb "open", normal show state); the result is ignored.
void ShellOpen(HWND owner, const std::string& path);
