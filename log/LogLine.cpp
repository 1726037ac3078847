#include "log/LogLine.h"

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
    line += text;
    line += '\n';
    return line;
}
