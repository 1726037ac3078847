#include "log/LogLine.h"

#include <algorithm>
#include <cstdio>

std::string FormatLogLine(int year, int month, int day, int hour, int minute, int second,
                          const std::string& tag, const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d  %02d:%02d:%02d", year % 10000, month % 100, day % 100,
                  hour % 100, minute % 100, second % 100);
    std::string line;
    line.reserve(20 + 3 + tag.size() + text.size() + 1);
    line += stamp;
    line += "---";
    line += tag;
    // One entry is one line, whatever a name read from a database holds: a line break or
    // another control character is written as its escape, so that no name starts a line of
    // its own that reads like the program's. No such byte is ever the second byte of a
    // double-byte character.
    const auto isControl = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    };
    // Nearly every line holds none, and is copied whole.
    if (std::find_if(text.begin(), text.end(), isControl) == text.end()) {
        line += text;
    } else {
        for (const char c : text) {
            if (!isControl(c)) {
                line += c;
            } else if (c == '\r') {
                line += "\\r";
            } else if (c == '\n') {
                line += "\\n";
            } else if (c == '\t') {
                line += "\\t";
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
                line += escaped;
            }
        }
    }
    line += '\n';
    return line;
}
