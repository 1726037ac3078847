#pragma once
// The path rules against the running system: its code page's lead bytes and its files.

#include "job/PathRules.h"

#include <string>

// Lead bytes of the process's ANSI code page.
bool IsNativeLeadByte(unsigned char c);

// 0 when `path` may be used; otherwise the message id of the first broken rule.
unsigned CheckPath(const std::string& path);
