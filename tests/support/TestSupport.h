#pragma once
// Helpers shared by the in-process tests.

#include "framework/MessageBox.h"
#include "framework/MessageSink.h"

#include <windows.h>

#include <string>
#include <vector>

// A job's message sink that keeps what it is told, each kind apart.
class RecordingSink : public CMessageSink {
public:
    void Message(const std::string& text) override { messages.push_back(text); }
    void FileError(const std::string& text) override { fileErrors.push_back(text); }
    void Warning(const std::string& text) override { warnings.push_back(text); }

    std::vector<std::string> messages;
    std::vector<std::string> fileErrors;
    std::vector<std::string> warnings;
};

// Records every message box the code under test would show, instead of showing it.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<MessageBoxRequest> boxes;

private:
    MessageBoxHandler m_previous;
};

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Holds a file open without sharing, as another program would, until destroyed or released.
class ExclusiveHolder {
public:
    explicit ExclusiveHolder(const std::string& path);
    // Takes an existing file at the first moment no other handle is open on it, retrying
    // until then (a program that opens, writes and closes it line by line leaves such
    // moments between its lines) or until `timeoutMs` has passed; held() tells which.
    ExclusiveHolder(const std::string& path, DWORD timeoutMs);
    ~ExclusiveHolder();
    ExclusiveHolder(const ExclusiveHolder&) = delete;
    ExclusiveHolder& operator=(const ExclusiveHolder&) = delete;
    void Release();
    bool held() const { return m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
};

// The whole content of a file; `exists` false when it cannot be read.
std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The size of a file as the directory reports it, without opening the file (an open
// handle, even a shared one, would make another program's exclusive open fail); 0 when
// there is no such file.
unsigned long long FileSizeOf(const std::string& path);

// Grows an existing file to `size` bytes without writing them: marked sparse, its new end
// is set, and the file system is asked how much it really holds. False, with the reason,
// where the file system cannot keep the file sparse (the file is then emptied again).
bool GrowSparse(const std::string& path, unsigned long long size, std::string* reason);
// The `count` bytes of a file from `offset` on (fewer at its end); empty when unreadable.
std::string ReadFileRange(const std::string& path, unsigned long long offset, size_t count);
// Every file and folder below `folder`, each as "<relative path> <size>" (a folder's size
// is shown as "dir"), sorted: two listings differ when anything there was written.
std::vector<std::string> FolderListing(const std::string& folder);

// Splits at CR LF; the text after the last CR LF (normally empty) is the last element.
std::vector<std::string> SplitCrLf(const std::string& bytes);
