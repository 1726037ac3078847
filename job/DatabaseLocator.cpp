#include "job/DatabaseLocator.h"

#include "framework/ResourceString.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"
#include "res/resource.h"

#include <cstring>
#include <vector>

using notes::MAXPATH;

namespace {

constexpr size_t kNotesPathSize = MAXPATH;  // 255 bytes and a NUL
constexpr char kNetPathSeparator[] = "!!";  // what a network path puts between server and file

// Translates native text into LMBCS into a buffer of kNotesPathSize bytes. False when the
// LMBCS text does not fit: a cut path would open another database than the one named.
bool TranslateToNotes(const std::string& text, char (&out)[kNotesPathSize]) {
    std::vector<char> wide(text.size() * 3 + 1, '\0');
    const size_t length = notes::TranslateInto(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, text.c_str(), text.size(),
                                               wide.data(), wide.size());
    if (length >= kNotesPathSize || text.size() > 0xFFFF) return false;
    std::memcpy(out, wide.data(), length + 1);
    return true;
}

}  // namespace

bool NotesPathOf(CMessageSink& messages, const std::string& serverName, const std::string& path,
                 char (&notesPath)[kNotesPathSize]) {
    char serverBuffer[kNotesPathSize];
    char pathBuffer[kNotesPathSize];
    std::memset(serverBuffer, 0, sizeof serverBuffer);
    std::memset(pathBuffer, 0, sizeof pathBuffer);
    std::memset(notesPath, 0, kNotesPathSize);
    const bool fits = (serverName.empty() || TranslateToNotes(serverName, serverBuffer)) &&
                      TranslateToNotes(path, pathBuffer) &&
                      (serverBuffer[0] == '\0' ||
                       std::strlen(serverBuffer) + std::strlen(kNetPathSeparator) + std::strlen(pathBuffer) <
                           kNotesPathSize);
    if (!fits) {
        messages.Message(ResString(IDS_NOTES_PATH_TOO_LONG));
        return false;
    }
    notes::Api().OSPathNetConstruct(nullptr, serverBuffer, pathBuffer, notesPath);
    notesPath[kNotesPathSize - 1] = '\0';
    return true;
}

bool LocateDatabase(CMessageSink& messages, const std::string& serverName, const std::string& path,
                    char (&notesPath)[kNotesPathSize]) {
    if (!NotesPathOf(messages, serverName, path, notesPath)) return false;
    CNsfDatabase test;
    try {
        test.Open(notesPath);
        test.Close();
    } catch (const CNsfError& error) {
        messages.Message(error.m_message);
        CloseQuietly(test);
        return false;
    }
    return true;
}
