#include "estate/DatabaseList.h"

#include "framework/CodePageText.h"
#include "framework/ResourceString.h"
#include "job/ExitStatus.h"
#include "job/PathCheck.h"
#include "job/PathRules.h"
#include "job/DatabaseLocator.h"
#include "log/FileError.h"
#include "notes/NsfDirectory.h"
#include "notes/NsfError.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

constexpr char kListFileMark = '@';
constexpr char kCommentMark = '#';
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

// What the walk passes by, with why.
struct Walk {
    std::vector<std::string> files;
    std::vector<DatabaseSource> problems;
    std::string leaveOut;  // the full path of the folder the run writes into; empty: none

    void NotSearched(const std::string& path, const std::string& reason, int status = kExitWarnings) {
        problems.push_back(
            {std::string(), path, ResStringWith(IDS_CMD_NOT_SEARCHED, path + " (" + reason + ")"), status});
    }
};

// The folder `leaveOut` itself, or one below it.
bool WithinFolder(const std::string& path, const std::string& leaveOut) {
    std::string rest;
    return !leaveOut.empty() &&
           (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path.data(), static_cast<int>(path.size()),
                           leaveOut.data(), static_cast<int>(leaveOut.size())) == CSTR_EQUAL ||
            Below(path, leaveOut, rest));
}

// The files that `pattern` matches in `folder` (which ends in a separator); with `wantFolders`
// the folders instead, "." and ".." left out. What cannot be taken in is told to `walk`: a
// folder that cannot be read, a name the native code page cannot hold (FindFirstFileA gives
// '?', which no real name holds, for each character it cannot), a path too long, and a
// junction or link to a folder, never followed: one that leads back up the tree would make /s
// walk it for ever.
std::vector<std::string> Matches(const std::string& folder, const std::string& pattern, bool wantFolders,
                                 Walk& walk, bool onlyDatabases = false) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES && wantFolders)
            walk.NotSearched(folder, FileErrorCauseText(FileErrorCauseFromOsError(error)));
        return found;
    }
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string name = entry.cFileName;
        if (isFolder != wantFolders || name == "." || name == "..") continue;
        if (!isFolder && onlyDatabases && !EndsWithDatabaseExtension(name)) continue;
        const std::string path = folder + name;
        if (name.find('?') != std::string::npos) {
            walk.NotSearched(path, ResString(IDS_CMD_NAME_NOT_CP932));
        } else if (path.size() + (isFolder ? 2 : 0) >= MAX_PATH) {
            walk.NotSearched(path, ResString(IDS_PATH_TOO_LONG));
        } else if (isFolder && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            walk.NotSearched(path, ResString(IDS_CMD_LINK_NOT_FOLLOWED));
        } else if (isFolder && WithinFolder(FullPath(path), walk.leaveOut)) {
            walk.problems.push_back(
                {std::string(), path, ResStringWith(IDS_CMD_OUT_NOT_SEARCHED, path), kExitWhole});
        } else {
            found.push_back(path);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

void CollectFolder(const std::string& folder, bool subfolders, Walk& walk) {
    for (const std::string& file : Matches(folder, "*", false, walk, true)) walk.files.push_back(file);
    if (!subfolders) return;
    for (const std::string& below : Matches(folder, "*", true, walk)) CollectFolder(below + "\\", true, walk);
}

std::string WithSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/' && folder.back() != ':')
        return folder + "\\";
    return folder;
}

// The list file's text in the native code page: UTF-8 where it says so with a BOM, or where
// it is UTF-8 and not valid native text (Notepad saves UTF-8 without a BOM), else as it is.
std::string NativeText(const std::string& bytes) {
    static const char kBom[] = "\xEF\xBB\xBF";
    const bool bom = bytes.compare(0, 3, kBom) == 0;
    const std::string body = bom ? bytes.substr(3) : bytes;
    const auto valid = [&body](UINT codePage) {
        return body.empty() || MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, body.data(),
                                                   static_cast<int>(body.size()), nullptr, 0) > 0;
    };
    if (!bom && (valid(CP_ACP) || !valid(CP_UTF8))) return body;
    // A character the native code page cannot hold becomes '?', which no path holds: the line
    // then names no database that is there, and its row says so.
    return Narrowed(CP_ACP, Widened(CP_UTF8, body));
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
    std::istringstream lines(NativeText(bytes.str()));
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == kCommentMark) continue;
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        const size_t separator = line.find(kServerPathSeparator);
        if (separator == std::string::npos) {
            out.push_back({std::string(), line, {}, kExitWhole});
            continue;
        }
        DatabaseSource source{line.substr(0, separator),
                              line.substr(separator + sizeof kServerPathSeparator - 1),
                              {},
                              kExitWhole};
        if (source.server.empty() || source.path.empty()) {
            source.problem = ResStringWith(IDS_CMD_LIST_LINE_EMPTY, line);
            source.problemStatus = kExitNothing;
        }
        out.push_back(std::move(source));
    }
    return true;
}

// A name ending in ".ns" and one character more: a database file of any version, as the
// library's directory search takes them. Such a name on a server is taken as one database,
// without asking the server first.
bool LooksLikeDatabase(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4 || LastPartStart(name, IsNativeLeadByte) > dot)
        return false;
    return (name[dot + 1] == 'n' || name[dot + 1] == 'N') && (name[dot + 2] == 's' || name[dot + 2] == 'S');
}

// `name` matches the wildcard `pattern` ('*' any run of characters, '?' one), by character
// and ignoring letter case, as the file system matches a wildcard.
bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    std::wstring n = Widened(CP_ACP, name);
    std::wstring p = Widened(CP_ACP, pattern);
    if (!n.empty()) CharUpperBuffW(&n[0], static_cast<DWORD>(n.size()));
    if (!p.empty()) CharUpperBuffW(&p[0], static_cast<DWORD>(p.size()));
    size_t i = 0, j = 0, star = std::wstring::npos, resume = 0;
    while (i < n.size()) {
        if (j < p.size() && (p[j] == L'?' || p[j] == n[i])) {
            ++i;
            ++j;
        } else if (j < p.size() && p[j] == L'*') {
            star = j++;
            resume = i;
        } else if (star != std::wstring::npos) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == L'*') ++j;
    return j == p.size();
}

std::string WithoutTrailingSeparators(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/') &&
           LastPartStart(path, IsNativeLeadByte) == path.size())
        path.pop_back();
    return path;
}

// What a name on a server is, as the library says.
enum class ServerName { kDatabase, kFolder, kUnreadable };

// Keeps the text of the one message a path check gives.
class CKeptMessage : public CMessageSink {
public:
    void Message(const std::string& text) override { said = text; }
    void FileError(const std::string& text) override { said = text; }
    void Warning(const std::string& text) override { said = text; }
    std::string said;
};

// Opens `folder` on `server`: kFolder leaves `directory` open; kUnreadable puts the library's
// reason into `why`.
ServerName OpenOnServer(const std::string& server, const std::string& folder, CNsfDirectory& directory,
                        std::string& why) {
    CKeptMessage kept;
    char notesPath[notes::MAXPATH];
    if (!NotesPathOf(kept, server, folder, notesPath)) {
        why = kept.said;
        return ServerName::kUnreadable;
    }
    try {
        return directory.Open(notesPath) ? ServerName::kFolder : ServerName::kDatabase;
    } catch (const CNsfError& error) {
        why = error.m_message;
        return ServerName::kUnreadable;
    }
}

// The row of a server's folder that could not be listed: a run over it has nothing to show
// for it, so it ends as a run that exported nothing.
DatabaseSource NotListed(const std::string& server, const std::string& folder, const std::string& why) {
    const std::string name = server + kServerPathSeparator + folder;
    return {server, folder, ResStringWith(IDS_CMD_FOLDER_NOT_LISTED, name + " (" + why + ")"), kExitNothing};
}

bool ByPath(const DatabaseSource& a, const DatabaseSource& b) {
    return lstrcmpiA(a.path.c_str(), b.path.c_str()) < 0;
}

// A folder or a wildcard on a server, listed by the library; else the one database named.
bool ExpandOnServer(const std::string& server, const std::string& value, bool subfolders,
                    std::vector<DatabaseSource>& out, std::string& message) {
    const bool wildcard = HasWildcard(value);
    if (!wildcard && LooksLikeDatabase(value)) {
        out.push_back({server, value, {}, kExitWhole});
        return true;
    }
    const size_t lastPart = LastPartStart(value, IsNativeLeadByte);
    const std::string folder = WithoutTrailingSeparators(wildcard ? value.substr(0, lastPart) : value);
    const std::string pattern = wildcard ? value.substr(lastPart) : std::string();
    CNsfDirectory directory;
    std::string why;
    switch (OpenOnServer(server, folder, directory, why)) {
        case ServerName::kUnreadable:
            out.push_back(NotListed(server, folder, why));
            return true;
        case ServerName::kDatabase:
            if (!wildcard) {
                out.push_back({server, value, {}, kExitWhole});
                return true;
            }
            message = ResStringWith(IDS_CMD_NO_DATABASES, server + kServerPathSeparator + value);
            return false;
        case ServerName::kFolder:
            break;
    }
    std::vector<CNsfDirectory::Entry> entries;
    try {
        // A wildcard matches in its own folder only, as on the local file system.
        entries = directory.Databases(subfolders && !wildcard);
    } catch (const CNsfError& error) {
        out.push_back(NotListed(server, folder, error.m_message));
        return true;
    }
    std::vector<DatabaseSource> files, problems;
    for (const CNsfDirectory::Entry& entry : entries) {
        if (wildcard && !MatchesWildcard(LastPart(entry.path, IsNativeLeadByte), pattern)) continue;
        if (entry.native) {
            files.push_back({server, entry.path, {}, kExitWhole});
        } else {
            const std::string name = server + kServerPathSeparator + entry.path;
            problems.push_back(
                {server, entry.path,
                 ResStringWith(IDS_CMD_NOT_SEARCHED, name + " (" + ResString(IDS_CMD_NAME_NOT_CP932) + ")"),
                 kExitWarnings});
        }
    }
    if (files.empty() && problems.empty()) {
        message = ResStringWith(IDS_CMD_NO_DATABASES, server + kServerPathSeparator + value);
        return false;
    }
    std::sort(files.begin(), files.end(), ByPath);
    std::sort(problems.begin(), problems.end(), ByPath);
    out.insert(out.end(), files.begin(), files.end());
    out.insert(out.end(), problems.begin(), problems.end());
    return true;
}

}  // namespace

std::string DatabaseName(const DatabaseSource& source) {
    return source.server.empty() ? source.path : source.server + kServerPathSeparator + source.path;
}

bool NamesSeveralDatabases(const std::string& server, const std::string& value) {
    if ((!value.empty() && value[0] == kListFileMark) || HasWildcard(value)) return true;
    if (server.empty()) return IsFolder(value);
    if (LooksLikeDatabase(value)) return false;
    CNsfDirectory directory;
    std::string why;
    return OpenOnServer(server, WithoutTrailingSeparators(value), directory, why) == ServerName::kFolder;
}

bool ExpandDatabases(const std::string& server, const std::string& value, bool subfolders,
                     std::vector<DatabaseSource>& out, std::string& message, const std::string& leaveOut) {
    out.clear();
    message.clear();
    if (!value.empty() && value[0] == kListFileMark) return ReadListFile(value.substr(1), out, message);
    if (!server.empty()) return ExpandOnServer(server, value, subfolders, out, message);
    Walk walk;
    if (!leaveOut.empty()) walk.leaveOut = FullPath(leaveOut);
    if (HasWildcard(value)) {
        const size_t start = LastPartStart(value, IsNativeLeadByte);
        walk.files = Matches(value.substr(0, start), value.substr(start), false, walk);
    } else if (IsFolder(value)) {
        CollectFolder(WithSeparator(value), subfolders, walk);
    } else {
        out.push_back({std::string(), value, {}, kExitWhole});
        return true;
    }
    if (walk.files.empty() && walk.problems.empty()) {
        message = ResStringWith(IDS_CMD_NO_DATABASES, value);
        return false;
    }
    std::sort(walk.files.begin(), walk.files.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    for (const std::string& file : walk.files) out.push_back({std::string(), file, {}, kExitWhole});
    // In the order of their paths too, whatever order the file system lists folders in.
    std::sort(walk.problems.begin(), walk.problems.end(), ByPath);
    out.insert(out.end(), walk.problems.begin(), walk.problems.end());
    return true;
}
