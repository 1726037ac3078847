#include "job/PathRules.h"

#include "res/resource.h"

#include <cstring>

namespace {

constexpr size_t kMaxPath = 260;  // the operating system's path limit, terminator included
constexpr char kFileNameForbidden[] = ":/,;*?\"<>|";

// Length of the character at `i`: 2 for a lead byte followed by another byte, else 1.
size_t CharLength(const std::string& s, size_t i, LeadBytePredicate isLead) {
    return isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

}  // namespace

bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool TrimLeadingSpaces(std::string& text) {
    if (text.empty() || text[0] != ' ') return true;
    const size_t blanks = text.find_first_not_of(' ');
    if (blanks == std::string::npos) return false;
    text.erase(0, blanks);
    return true;
}

size_t LastPartStart(const std::string& path, LeadBytePredicate isLead) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
    }
    return start;
}

bool EndsWithBackslash(const std::string& text, LeadBytePredicate isLead) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, isLead)) last = i;
    return last != std::string::npos && CharLength(text, last, isLead) == 1 && text[last] == '\\';
}

size_t FindMultibyte(const std::string& text, const std::string& needle, LeadBytePredicate isLead) {
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, isLead)) {
        if (text.compare(i, needle.size(), needle) == 0) return i;
    }
    return std::string::npos;
}

unsigned CheckPathRules(const std::string& path, LeadBytePredicate isLead, PathLookup lookup) {
    if (path.compare(0, 2, "\\\\") == 0) return IDS_PATH_NETWORK;

    if (FindMultibyte(path, ":\\", isLead) != 1) return IDS_PATH_NOT_ABSOLUTE;

    // Only whole single-byte characters count: a trail byte is never a backslash or one of
    // the forbidden characters.
    size_t lastBackslash = std::string::npos;
    bool forbidden = false;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i, isLead)) {
        if (CharLength(path, i, isLead) != 1) continue;
        const char c = path[i];
        if (c == '\\') lastBackslash = i;
        if (i >= 3 && c != '\0' && std::strchr(kFileNameForbidden, c) != nullptr) forbidden = true;
    }
    if (lastBackslash == path.size() - 1 || forbidden) return IDS_PATH_BAD_CHARS;

    const PathEntryInfo entry = lookup(path.c_str());
    if (entry.exists && entry.isFolder) return IDS_PATH_FOLDER;
    if (entry.exists && entry.isReadOnly) return IDS_PATH_READONLY;

    if (path.size() >= kMaxPath) return IDS_PATH_TOO_LONG;
    return 0;
}
