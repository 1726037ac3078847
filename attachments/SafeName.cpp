#include "attachments/SafeName.h"

#include "framework/CodePageText.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

constexpr char kReplacement = '_';
// What Windows forbids in a name, and what the CSV line and the attachments' cell split at.
constexpr char kForbidden[] = "<>:\"/\\|?*,;";
constexpr const wchar_t* kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
constexpr const wchar_t* kNumberedDevices[] = {L"COM", L"LPT"};
// The digits Windows takes after COM and LPT: 0 to 9, and the superscripts ¹ ² ³.
constexpr wchar_t kDeviceDigits[] = L"0123456789\u00B9\u00B2\u00B3";

// Windows opens a device for these names, whatever follows the first dot, and with the
// blanks and dots before that dot taken off ("NUL .txt", "COM1 .log", "CONIN$").
bool IsDeviceName(const std::string& name) {
    std::wstring base = Widened(CP_ACP, name.substr(0, name.find('.')));
    while (!base.empty() && (base.back() == L' ' || base.back() == L'.')) base.pop_back();
    for (wchar_t& c : base) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    for (const wchar_t* device : kDevices) {
        if (base == device) return true;
    }
    for (const wchar_t* device : kNumberedDevices) {
        if (base.size() == 4 && base.compare(0, 3, device) == 0 && base[3] != L'\0' &&
            std::wcschr(kDeviceDigits, base[3]) != nullptr)
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

CNameBook::CNameBook(std::string partialTag)
    : m_partialTag(std::move(partialTag)), m_foldedTag(Folded(m_partialTag)) {}

std::wstring CNameBook::Folded(const std::string& name) {
    std::wstring wide = Widened(CP_ACP, name);
    // Letters of every script, full-width ones among them, as NTFS compares names.
    if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return wide;
}

void CNameBook::Reserve(const std::string& name) { m_given.insert(Folded(name)); }

bool CNameBook::Free(const std::string& stem, const std::string& extension) const {
    if (m_given.count(Folded(stem + extension)) != 0) return false;
    if (m_partialTag.empty()) return true;
    // A finished file never takes the name another file is written under, nor one that reads
    // like such a name, which a stopped run may have left beside its target.
    const std::wstring folded = Folded(stem);
    const bool readsAsPartial =
        folded.size() >= m_foldedTag.size() &&
        folded.compare(folded.size() - m_foldedTag.size(), m_foldedTag.size(), m_foldedTag) == 0;
    return !readsAsPartial && m_given.count(Folded(stem + m_partialTag + extension)) == 0;
}

std::string CNameBook::Claim(const std::string& stem, const std::string& extension) {
    std::string name = stem + extension;
    std::string partial = stem + m_partialTag + extension;
    if (!Free(stem, extension)) {
        // The number to try next for this name: a folder of many files of one name is named
        // in one pass, not by trying every number already given again.
        unsigned& next = m_next[Folded(stem + extension)];
        if (next < 2) next = 2;
        for (;; ++next) {
            const std::string numbered = stem + " (" + std::to_string(next) + ")";
            if (Free(numbered, extension)) {
                name = numbered + extension;
                partial = numbered + m_partialTag + extension;
                ++next;
                break;
            }
        }
    }
    m_given.insert(Folded(name));
    if (!m_partialTag.empty()) m_given.insert(Folded(partial));
    return name;
}
