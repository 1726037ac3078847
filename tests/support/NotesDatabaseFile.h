#pragma once
// Database files of our runtime for the tests of the Notes layer and the job: the
// document body is given as the JSON members after the format header.

#include <string>

// Writes `{"format":...,"version":1,<members>}` to `path` (UTF-8 JSON).
void WriteNotesDatabase(const std::string& path, const std::string& members);

// Binds and initialises the Notes library once per test process; false when it cannot.
bool EnsureNotesInitialized();
