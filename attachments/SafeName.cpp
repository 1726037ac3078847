#include "attachments/SafeName.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kReplacement = '_';
constexpr char kForbidden[] = "<>:\"/\\|?*";
constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL"};
constexpr const char* kNumberedDevices[] = {"COM", "LPT"};

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(const std::string& text) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return UpperAscii(c); });
    return upper;
}

// Windows opens a device for these names, whatever follows the first dot.
bool IsDeviceName(const std::string& name) {
    const std::string base = UpperAscii(name.substr(0, name.find('.')));
    for (const char* device : kDevices) {
        if (base == device) return true;
    }
    for (const char* device : kNumberedDevices) {
        if (base.size() == 4 && base.compare(0, 3, device) == 0 && base[3] >= '1' && base[3] <= '9')
            return true;
    }
    return false;
}

}  // namespace

std::string SafeName(const std::string& wanted, size_t maxBytes, bool (*isLeadByte)(unsigned char)) {
    std::string name;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const auto byte = static_cast<unsigned char>(wanted[i]);
        if (isLeadByte(byte) && i + 1 < wanted.size()) {
            if (name.size() + 2 > maxBytes) break;
            // The second byte may be '\' or '|' in Shift_JIS: it belongs to the character.
            name.append(wanted, i, 2);
            ++i;
            continue;
        }
        if (name.size() + 1 > maxBytes) break;
        const bool forbidden = byte < 0x20 || byte == 0x7F || std::strchr(kForbidden, wanted[i]) != nullptr;
        name += forbidden ? kReplacement : wanted[i];
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = kReplacement;
    if (name.empty()) return std::string(1, kReplacement);
    if (IsDeviceName(name)) {
        name.insert(name.begin(), kReplacement);
        // A name at the limit keeps its bound; its last character may go, never half of one.
        if (name.size() > maxBytes) {
            size_t end = 0;
            for (size_t i = 0; i < name.size();) {
                const size_t width = isLeadByte(static_cast<unsigned char>(name[i])) ? 2 : 1;
                if (i + width > maxBytes) break;
                i += width;
                end = i;
            }
            name.resize(end);
        }
    }
    return name;
}

std::wstring CNameBook::Folded(const std::string& name) {
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &wide[0], length);
        // Letters of every script, full-width ones among them, as NTFS compares names.
        CharUpperBuffW(&wide[0], static_cast<DWORD>(length));
    }
    return wide;
}

std::string CNameBook::Claim(const std::string& stem, const std::string& extension) {
    std::string name = stem + extension;
    for (unsigned number = 2; std::find(m_given.begin(), m_given.end(), Folded(name)) != m_given.end();
         ++number) {
        name = stem + " (" + std::to_string(number) + ")" + extension;
    }
    m_given.push_back(Folded(name));
    return name;
}
