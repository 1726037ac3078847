#include "notes/NsfDirectory.h"

#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <cstring>
#include <utility>

using namespace notes;

namespace {

// The summary item of a directory search's match that holds the file's path.
constexpr char kPathItem[] = "$path";
// What the routine returns to go on with the search (NOERROR).
constexpr STATUS kGoOn = 0;

struct Found {
    std::vector<std::string> paths;
};

// Takes each match's path. The match and its summary lie anywhere in the library's buffer,
// so they are read by offset and by copy, never through a cast.
STATUS LNCALLBACK TakeMatch(void* parameter, SEARCH_MATCH* match, ITEM_TABLE* summary) {
    uint8_t flags = 0;
    std::memcpy(&flags, reinterpret_cast<const char*>(match) + searchmatch::kSERetFlags, sizeof flags);
    if ((flags & SE_FMATCH) == 0 || summary == nullptr) return kGoOn;
    void* value = nullptr;
    WORD length = 0;
    WORD type = 0;
    if (!Api().NSFLocateSummaryValue(summary, kPathItem, &value, &length, &type) || type != TYPE_TEXT ||
        value == nullptr || length == 0) {
        return kGoOn;
    }
    static_cast<Found*>(parameter)->paths.emplace_back(static_cast<const char*>(value), length);
    return kGoOn;
}

}  // namespace

CNsfDirectory::~CNsfDirectory() {
    try {
        Close();
    } catch (const CNsfError&) {
    }
}

bool CNsfDirectory::Open(const char* path) {
    Close();
    DBHANDLE handle = 0;
    ThrowIfFailed(Api().NSFDbOpen(path, &handle));
    m_hDir = handle;
    WORD mode = 0;
    ThrowIfFailed(Api().NSFDbModeGet(m_hDir, &mode));
    if (mode == DBMODE_DIRECTORY) return true;
    Close();
    return false;
}

std::vector<CNsfDirectory::Entry> CNsfDirectory::Databases(bool subfolders) {
    Found found;
    const WORD kinds = static_cast<WORD>(FILE_DBANY | (subfolders ? FILE_RECURSE : 0));
    ThrowIfFailed(Api().NSFSearch(m_hDir, 0, nullptr, SEARCH_FILETYPE | SEARCH_SUMMARY, kinds, nullptr,
                                  TakeMatch, &found, nullptr));
    std::vector<Entry> entries;
    entries.reserve(found.paths.size());
    for (const std::string& lmbcs : found.paths) {
        Entry entry;
        entry.path = Translated(OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs);
        // A character the native code page lacks comes back as another: the path no longer
        // leads to the file.
        entry.native = Translated(OS_TRANSLATE_NATIVE_TO_LMBCS, entry.path) == lmbcs;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void CNsfDirectory::Close() {
    if (m_hDir == 0) return;
    const DBHANDLE handle = m_hDir;
    m_hDir = 0;
    ThrowIfFailed(Api().NSFDbClose(handle));
}
