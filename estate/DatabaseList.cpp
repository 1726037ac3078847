#include "estate/DatabaseList.h"

#include "framework/ResourceString.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

constexpr char kListFileMark = '@';
constexpr char kDatabaseExtension[] = ".nsf";
constexpr char kWildcards[] = "*?";

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of(kWildcards, LastPartStart(path, IsNativeLeadByte)) != std::string::npos;
}

bool EndsWithDatabaseExtension(const std::string& name) {
    const size_t length = sizeof kDatabaseExtension - 1;
    return name.size() > length && lstrcmpiA(name.c_str() + name.size() - length, kDatabaseExtension) == 0;
}

// The files that `pattern` matches in `folder` (which ends in a separator); with `wantFolders`
// the folders instead, "." and ".." left out, and so are junctions and links to folders: one
// that leads back up the tree would make /s walk it for ever.
std::vector<std::string> Matches(const std::string& folder, const std::string& pattern, bool wantFolders) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string name = entry.cFileName;
        if (isFolder != wantFolders || name == "." || name == "..") continue;
        if (wantFolders && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
        found.push_back(folder + name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

void CollectFolder(const std::string& folder, bool subfolders, std::vector<std::string>& files) {
    for (const std::string& file : Matches(folder, "*", false)) {
        if (EndsWithDatabaseExtension(file)) files.push_back(file);
    }
    if (!subfolders) return;
    for (const std::string& below : Matches(folder, "*", true)) CollectFolder(below + "\\", true, files);
}

std::string WithSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/' && folder.back() != ':')
        return folder + "\\";
    return folder;
}

bool ReadListFile(const std::string& path, std::vector<DatabaseSource>& out, std::string& message) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        message = ResStringWith(IDS_CMD_LIST_NOT_READ, path);
        return false;
    }
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::string line;
    std::istringstream lines(bytes.str());
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        const size_t separator = line.find(kServerPathSeparator);
        if (separator == std::string::npos) {
            out.push_back({std::string(), line});
        } else {
            out.push_back(
                {line.substr(0, separator), line.substr(separator + sizeof kServerPathSeparator - 1)});
        }
    }
    return true;
}

}  // namespace

std::string DatabaseName(const DatabaseSource& source) {
    return source.server.empty() ? source.path : source.server + kServerPathSeparator + source.path;
}

bool NamesSeveralDatabases(const std::string& value) {
    return (!value.empty() && value[0] == kListFileMark) || HasWildcard(value) || IsFolder(value);
}

bool ExpandDatabases(const std::string& value, bool subfolders, std::vector<DatabaseSource>& out,
                     std::string& message) {
    out.clear();
    message.clear();
    if (!value.empty() && value[0] == kListFileMark) return ReadListFile(value.substr(1), out, message);
    std::vector<std::string> files;
    if (HasWildcard(value)) {
        const size_t start = LastPartStart(value, IsNativeLeadByte);
        files = Matches(value.substr(0, start), value.substr(start), false);
    } else if (IsFolder(value)) {
        CollectFolder(WithSeparator(value), subfolders, files);
    } else {
        out.push_back({std::string(), value});
        return true;
    }
    if (files.empty()) {
        message = ResStringWith(IDS_CMD_NO_DATABASES, value);
        return false;
    }
    std::sort(files.begin(), files.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    for (const std::string& file : files) out.push_back({std::string(), file});
    return true;
}
