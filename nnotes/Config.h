#pragma once
// notes.ini: the settings the runtime reads at initialisation.

#include <string>

namespace nnotes {

// Reads notes.ini again: `given` (a path, or a bare name in the library's folder, as the
// program's initialisation names it), else the file QUILLSHEET_NOTES_INI names (the test
// suite's stand-in for the client's own notes.ini), else notes.ini in the program's folder
// or the library's. A missing file leaves no settings.
void LoadConfig(const std::string& given = std::string());

// A setting's value in the ANSI code page; keys compare without regard to case.
bool ConfigValue(const std::string& key, std::string* value);

// The Notes data folder: the Directory setting, or the program's folder without one; no
// trailing backslash.
std::string DataDirectory();

}  // namespace nnotes
