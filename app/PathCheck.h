#pragma once
// Checks of a path that the user typed or picked: the local source database and the
// destination file. Both callers use the same rules and messages.

#include "app/PathRules.h"

#include <string>

// Lead bytes of the process's ANSI code page.
bool IsNativeLeadByte(unsigned char c);

// 0 when `path` may be used, otherwise the string id of the message of the first broken rule.
unsigned PathFault(const std::string& path);

// True when `path` may be used; otherwise the message of the first broken rule has been shown.
bool CheckPath(const std::string& path);
