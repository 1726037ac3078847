#include "cli/OpenedFile.h"

#include <windows.h>

bool OpenedFile(const std::vector<std::wstring>& arguments, std::wstring& fullPath) {
    fullPath.clear();
    if (arguments.size() != 1 || arguments[0].empty()) return false;
    const std::wstring& argument = arguments[0];
    if (argument[0] == L'/' || argument[0] == L'-') return false;
    const DWORD attributes = GetFileAttributesW(argument.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    // A name typed at a prompt is relative to its folder; the source dialog wants the whole path.
    const DWORD length = GetFullPathNameW(argument.c_str(), 0, nullptr, nullptr);
    if (length == 0) return false;
    std::wstring path(length, L'\0');
    const DWORD written = GetFullPathNameW(argument.c_str(), length, path.data(), nullptr);
    if (written == 0 || written >= length) return false;
    path.resize(written);
    fullPath = path;
    return true;
}
