#pragma once
// Wine now and then fails to start a child at all: CreateProcess fails and Wine prints
// "failed to map the shared user data: c0000018", a race of its address space at start-up.
// The program never ran, so starting it again changes nothing a test observes. A child that
// ran and then failed is never started again: that failure is the program's.

#include <windows.h>

#include <functional>
#include <string>

namespace startagain {

// The first start and at most two more.
constexpr int kAttempts = 3;

// Calls `start` (a CreateProcess that leaves its error in GetLastError) until it succeeds,
// at most kAttempts times, and says on stderr, naming `what`, each time it starts again or
// gives up. A program that is not there (or is no program) is not started again. False when
// no attempt succeeded; GetLastError then holds the last attempt's error.
bool Start(const std::function<bool()>& start, const std::string& what);

}  // namespace startagain
