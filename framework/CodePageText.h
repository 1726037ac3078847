#pragma once
// Text between a code page's bytes and UTF-16, for the places that must cross code pages:
// the console, names compared as the file system compares them, UTF-8 files.

#include <windows.h>

#include <string>

// `text` in `codePage` as UTF-16; empty when it is empty or cannot be converted.
std::wstring Widened(UINT codePage, const std::string& text);
// `text` as bytes of `codePage` (a character it cannot hold becomes its default character);
// empty when it is empty or cannot be converted.
std::string Narrowed(UINT codePage, const std::wstring& text);
