#include "attachments/AttachmentName.h"

#include "attachments/SafeName.h"

namespace {

constexpr char kReplacement = '_';
// A cell lists the files joined by ';', and the CSV line splits at ','.
constexpr char kCellSeparators[] = ",;";
// Longer "extensions" are taken for part of the name: "notes.from the meeting with the client".
constexpr size_t kLongestExtension = 16;

// Where the extension starts: the last '.', unless it starts the name or leaves a long tail.
// Neither '.' nor the separators are ever the second byte of a double-byte character.
size_t ExtensionStart(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || name.size() - dot > kLongestExtension) return name.size();
    return dot;
}

// The first `maxBytes` bytes of `text` or fewer, ending on a character boundary.
std::string WholeCharacters(const std::string& text, size_t maxBytes, bool (*isLeadByte)(unsigned char)) {
    size_t end = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t width = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + width > maxBytes) break;
        i += width;
        end = i;
    }
    return text.substr(0, end);
}

}  // namespace

AttachmentFileName MakeAttachmentFileName(const std::string& wanted, size_t maxBytes,
                                          bool (*isLeadByte)(unsigned char)) {
    std::string name;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const auto byte = static_cast<unsigned char>(wanted[i]);
        if (isLeadByte(byte) && i + 1 < wanted.size()) {
            name.append(wanted, i, 2);
            ++i;
            continue;
        }
        const bool separator =
            wanted[i] != '\0' && std::string(kCellSeparators).find(wanted[i]) != std::string::npos;
        name += separator ? kReplacement : wanted[i];
    }
    name = SafeName(name, name.size() + 1, isLeadByte);
    if (name.size() > maxBytes) {
        const size_t dot = ExtensionStart(name);
        const std::string extension = name.substr(dot);
        // An extension that leaves no room for a stem is cut with the rest.
        name = extension.size() * 2 <= maxBytes
                   ? WholeCharacters(name.substr(0, dot), maxBytes - extension.size(), isLeadByte) + extension
                   : WholeCharacters(name, maxBytes, isLeadByte);
        // Cutting may leave a device name or a trailing dot; SafeName mends both within the bound.
        name = SafeName(name, maxBytes, isLeadByte);
    }
    const size_t dot = ExtensionStart(name);
    return {name.substr(0, dot), name.substr(dot)};
}
