#include "job/PathCheck.h"

#include <windows.h>

bool IsNativeLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

namespace {

PathEntryInfo LookUpPath(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {false, false, false};
    return {true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, (attributes & FILE_ATTRIBUTE_READONLY) != 0};
}

}  // namespace

unsigned CheckPath(const std::string& path) { return CheckPathRules(path, IsNativeLeadByte, LookUpPath); }
