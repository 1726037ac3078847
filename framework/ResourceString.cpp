#include "framework/ResourceString.h"

#include "framework/WinApp.h"

#include <cstdio>
#include <vector>

bool LoadResString(UINT id, std::string& out) {
    // LoadStringA cannot report a truncated text, so retry with a larger buffer until the
    // text leaves room for a double-byte character: a cut never splits one, so a cut text may
    // end one byte short of the buffer's last. Texts of the table are short; the first try
    // nearly always fits.
    std::vector<char> buf(512);
    for (;;) {
        const int n = LoadStringA(GetResourceInstance(), id, buf.data(), static_cast<int>(buf.size()));
        if (n <= 0) {
            out.clear();
            return false;
        }
        if (static_cast<size_t>(n) + 2 < buf.size() || buf.size() >= 65536) {
            out.assign(buf.data(), static_cast<size_t>(n));
            return true;
        }
        buf.resize(buf.size() * 4);
    }
}

std::string ResString(UINT id) {
    std::string s;
    LoadResString(id, s);
    return s;
}

std::string ResStringWith(UINT id, const std::string& text) {
    const std::string format = ResString(id);
    std::vector<char> out(format.size() + text.size() + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), text.c_str());
    return out.data();
}
