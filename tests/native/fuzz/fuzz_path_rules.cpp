// The path rules on arbitrary bytes read as Shift_JIS (lone lead bytes, a lead byte at the
// end, NULs): no crash, and the result is 0 or one of the messages 720-725. The first byte
// decides what the file system seam reports; the rest is the typed path. The checks that
// follow hold for any input: an accepted path is absolute on a drive, fits MAX_PATH and
// names no folder; TrimLeadingSpaces and the character-aware searches agree with the path.
#include "job/PathRules.h"
#include "res/resource.h"

#include "FuzzCheck.h"

#include <string>

namespace {

PathEntryInfo g_entry{};
size_t g_lookups = 0;

PathEntryInfo Lookup(const char* /*path*/) {
    ++g_lookups;
    return g_entry;
}

// Start of every character of `text`, stepping over double-byte characters.
std::string::size_type NextChar(const std::string& text, size_t i) {
    return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? i + 2 : i + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    g_entry = PathEntryInfo{(data[0] & 1) != 0, (data[0] & 2) != 0, (data[0] & 4) != 0};
    std::string path(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string trimmed = path;
    const bool trimmedOk = TrimLeadingSpaces(trimmed);
    const size_t firstNonBlank = path.find_first_not_of(' ');
    if (path.empty() || path[0] != ' ') {
        QS_FUZZ_CHECK(trimmedOk && trimmed == path);
    } else if (firstNonBlank == std::string::npos) {
        QS_FUZZ_CHECK(!trimmedOk && trimmed == path);
    } else {
        QS_FUZZ_CHECK(trimmedOk && trimmed == path.substr(firstNonBlank));
    }

    for (const std::string* p : {&path, &trimmed}) {
        g_lookups = 0;
        const unsigned result = CheckPathRules(*p, IsCp932LeadByte, Lookup);
        QS_FUZZ_CHECK(result == 0 || (result >= IDS_PATH_NETWORK && result <= IDS_PATH_TOO_LONG));
        QS_FUZZ_CHECK(g_lookups <= 2);
        if (result == 0) {
            QS_FUZZ_CHECK(p->size() < 260);
            QS_FUZZ_CHECK(p->size() > 3 && (*p)[1] == ':' && (*p)[2] == '\\');
            QS_FUZZ_CHECK(!IsCp932LeadByte(static_cast<unsigned char>((*p)[0])));
            QS_FUZZ_CHECK(!EndsWithBackslash(*p, IsCp932LeadByte));
            QS_FUZZ_CHECK(!(g_entry.exists && (g_entry.isFolder || g_entry.isReadOnly)));
        }
        if (result == IDS_PATH_TOO_LONG) QS_FUZZ_CHECK(p->size() >= 260);
        if (result >= IDS_PATH_FOLDER) QS_FUZZ_CHECK(g_lookups >= 1);

        // A match is found only on a character boundary and really is there.
        const size_t at = FindMultibyte(*p, ":\\", IsCp932LeadByte);
        if (at != std::string::npos) {
            QS_FUZZ_CHECK(p->compare(at, 2, ":\\") == 0);
            size_t i = 0;
            while (i < at) i = NextChar(*p, i);
            QS_FUZZ_CHECK(i == at);
        }
        if (!p->empty()) {
            // The last backslash counts only when it is a character of its own.
            size_t last = 0;
            for (size_t i = 0; i < p->size(); i = NextChar(*p, i)) last = i;
            QS_FUZZ_CHECK(EndsWithBackslash(*p, IsCp932LeadByte) ==
                          (last == p->size() - 1 && p->back() == '\\'));
        }
    }
    return 0;
}
