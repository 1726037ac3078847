#pragma once
// The rules a typed path must pass, free of any window or file-system call so that they
// can be tested and fuzzed on their own. Paths are native multibyte text (Shift_JIS on
// the systems the program is made for); every search steps over double-byte characters.

#include <string>

// True for a byte that starts a double-byte character in the native code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Lead bytes of code page 932 (Shift_JIS).
bool IsCp932LeadByte(unsigned char c);

// What the file system knows of a path.
struct PathEntryInfo {
    bool exists;
    bool isFolder;
    bool isReadOnly;
};
using PathLookup = PathEntryInfo (*)(const char* path);

// Removes leading ASCII blanks. A text of blanks only is left as it is and gives false.
bool TrimLeadingSpaces(std::string& text);

// 0 when the path is acceptable, otherwise the string id of the first rule it breaks.
unsigned CheckPathRules(const std::string& path, LeadBytePredicate isLead, PathLookup lookup);

// Where the last part of `path` (its file or folder name) starts: after its last '\\', '/' or
// ':' that is not the second byte of a double-byte character ("表" is 0x95 0x5C).
size_t LastPartStart(const std::string& path, LeadBytePredicate isLead);
// The last part of `path` itself.
inline std::string LastPart(const std::string& path, LeadBytePredicate isLead) {
    return path.substr(LastPartStart(path, isLead));
}

// True when the last character of `text` is a backslash (a trail byte of 0x5C is not one).
bool EndsWithBackslash(const std::string& text, LeadBytePredicate isLead);

// Position of the first occurrence of `needle` that starts on a character boundary, or
// std::string::npos.
size_t FindMultibyte(const std::string& text, const std::string& needle, LeadBytePredicate isLead);
