#include "notes/NsfDatabase.h"

#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <cstring>

using namespace notes;

void CNsfDatabase::Open(const char* path) {
    m_hDb = 0;
    ThrowIfFailed(Api().NSFDbOpen(path, &m_hDb));
    if (IsDirectory()) {
        Close();
        throw CNsfError(ERR_DIRECTORY);
    }
}

bool CNsfDatabase::IsDirectory() {
    WORD mode = 0;
    ThrowIfFailed(Api().NSFDbModeGet(m_hDb, &mode));
    return mode == DBMODE_DIRECTORY;
}

void CNsfDatabase::Close() {
    if (m_hDb == 0) return;
    ThrowIfFailed(Api().NSFDbClose(m_hDb));
    m_hDb = 0;
}

void CloseQuietly(CNsfDatabase& db) {
    try {
        db.Close();
    } catch (const CNsfError&) {
    }
}

void CNsfDatabase::ReadTitle() {
    std::memset(m_title, 0, sizeof m_title);
    char info[NSF_INFO_SIZE] = {};
    ThrowIfFailed(Api().NSFDbInfoGet(m_hDb, info));
    // The length counts the title without its NUL, which the library writes after it.
    Api().NSFDbInfoParse(info, INFOPARSE_TITLE, info, NSF_INFO_SIZE - 1);
    info[NSF_INFO_SIZE - 1] = '\0';
    TranslateInto(OS_TRANSLATE_LMBCS_TO_NATIVE, info, std::strlen(info), m_title, sizeof m_title);
}
