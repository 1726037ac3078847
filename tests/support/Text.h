#pragma once
// Small text helpers that the test programs, the driver and the list hook share. Header
// only: the hook DLL and the release walk link nothing else of the test support.

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace text {

// The base64 text of `bytes`, as the runtime's JSON form holds a file's content.
inline std::string Base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = (bytes.size() - i < 3 ? bytes.size() - i : 3);
        unsigned v = 0;
        for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

// Native text as the wide API takes it.
inline std::wstring Widen(const std::string& native) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), &wide[0], length);
    return wide;
}

// `text` with every `placeholder` replaced by `value`.
template <typename Text>
Text Replaced(Text text, const Text& placeholder, const Text& value) {
    for (size_t at = 0; (at = text.find(placeholder, at)) != Text::npos; at += value.size()) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

// ASCII letters in lower case, as Windows compares file names; other bytes unchanged.
inline std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// The text of item `index` of a list view of this process, however long: LVM_GETITEMTEXT
// cuts it to the buffer and says only how much it copied, so the buffer grows until the
// text ends before the buffer does. Empty when the list refuses the call.
inline std::wstring ListItemText(HWND list, int index) {
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = static_cast<int>(text.size());
        item.pszText = &text[0];
        const LRESULT length =
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        if (length < 0) return {};
        if (static_cast<size_t>(length) + 1 < text.size()) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace text
