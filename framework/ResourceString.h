#pragma once
// Texts of the string table, in the process's ANSI code page.

#include <windows.h>

#include <string>

// Loads string `id`; false when the table has no such entry.
bool LoadResString(UINT id, std::string& out);

// The text of string `id`, empty when there is none.
std::string ResString(UINT id);

// The text of string `id`, a format holding one "%s", with `text` in its place.
std::string ResStringWith(UINT id, const std::string& text);
