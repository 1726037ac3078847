#pragma once
// The path rules against the running system: its code page's lead bytes and its files.

#include "job/PathRules.h"

#include <string>

// Lead bytes of the process's ANSI code page.
bool IsNativeLeadByte(unsigned char c);

// 0 when `path` may be used; otherwise the message id of the first broken rule.
unsigned CheckPath(const std::string& path);

// The full path of `path` as the system resolves it, without a trailing separator (but a
// drive's root); `path` itself when it cannot be resolved.
std::string FullPath(const std::string& path);

// True when `path` lies below `folder` (names compared as the file system compares them, the
// separator found by character): `rest` then holds what follows the folder.
bool Below(const std::string& path, const std::string& folder, std::string& rest);
