#pragma once
// The layout of one SysLog line, free of any file or window call so that it builds and is
// tested on its own.

#include <string>

// "yyyy/mm/dd  hh:mm:ss---<tag><text>\n": the layout of one log line.
// The stamp is the date, two blanks and the time: 20 characters.
std::string FormatLogLine(int year, int month, int day, int hour, int minute, int second,
                          const std::string& tag, const std::string& text);
