#pragma once
// notes.ini: the settings the runtime reads at initialisation.

#include <string>

namespace nnotes {

// Reads notes.ini again: the file QUILLSHEET_NOTES_INI names, or else notes.ini in the
// program's folder. A missing file leaves no settings.
void LoadConfig();

// A setting's value in the ANSI code page; keys compare without regard to case.
bool ConfigValue(const std::string& key, std::string* value);

// The Notes data folder: the Directory setting, or the program's folder without one; no
// trailing backslash.
std::string DataDirectory();

}  // namespace nnotes
