#pragma once
// File operations of the two writers. Each call opens the file without sharing, does its
// work and closes it again, so nothing stays open between calls.

#include <string>

// Creates the file, or truncates an existing one to length zero. Returns 0 on success,
// otherwise the file-error cause.
int CreateEmptyFile(const std::string& path);
// Opens the file at `path` as CreateEmptyFile does, keeping what it holds, or creates it.
int OpenOrCreateFile(const std::string& path);

// Appends `text` to an existing file as a text-mode stream would: every line feed is
// stored as CR LF. Never creates the file. Returns 0 on success, otherwise the cause
// (a failed write is always "disk full").
int AppendText(const std::string& path, const std::string& text);
// Appends `bytes` as they are, as AppendText does otherwise.
int AppendBytes(const std::string& path, const std::string& bytes);

// Writes all of `bytes` at the handle's position: one WriteFile, more only when the system
// takes part of them. Returns 0 on success, otherwise "disk full".
int WriteWhole(void* file, const std::string& bytes);  // a HANDLE

// The text as a text-mode stream writes it: every line feed preceded by a carriage return.
std::string ToTextMode(const std::string& text);
