#include "job/PathCheck.h"

#include <windows.h>

#include <vector>

bool IsNativeLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

namespace {

PathEntryInfo LookUpPath(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {false, false, false};
    return {true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, (attributes & FILE_ATTRIBUTE_READONLY) != 0};
}

}  // namespace

unsigned CheckPath(const std::string& path) { return CheckPathRules(path, IsNativeLeadByte, LookUpPath); }

std::string FullPath(const std::string& path) {
    const DWORD length = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::vector<char> full(length + 1, '\0');
    const DWORD written =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (written == 0 || written >= full.size()) return path;
    std::string result(full.data(), written);
    while (result.size() > 3 && EndsWithBackslash(result, IsNativeLeadByte)) result.pop_back();
    return result;
}

bool Below(const std::string& path, const std::string& folder, std::string& rest) {
    if (path.size() <= folder.size() || path[folder.size()] != '\\') return false;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path.data(), static_cast<int>(folder.size()),
                       folder.data(), static_cast<int>(folder.size())) != CSTR_EQUAL)
        return false;
    // A '\' that is the second byte of a character would not end the folder's name.
    if (EndsWithBackslash(path.substr(0, folder.size() + 1), IsNativeLeadByte) == false) return false;
    rest = path.substr(folder.size() + 1);
    return true;
}
