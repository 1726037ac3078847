#pragma once
// What the console twin does with a start that has nothing to export: no argument, or one
// file to open. The windows need no console, so the windowed program beside the twin
// shows them, and the prompt comes back at once.

#include <string>

// Starts quillsheet.exe from the twin's folder, with `openedFile` as its one argument when
// it is not empty. The process's exit status: 0 once it started, else 3 with the reason on
// stderr.
int StartWindowed(const std::wstring& openedFile);
