#pragma once
// A file that one writer owns for a whole run: opened once, every append one write at its end,
// closed when the writer is done. Nobody else may write it meanwhile; a reader may, when the
// file is opened for that, follow it as it grows (a log in a text viewer).

#include <string>

class CHeldFile {
public:
    CHeldFile() = default;
    ~CHeldFile() { Close(); }
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    // Creates or empties the file (with `keep`, keeps what it holds and appends after it) and
    // holds it. Returns 0 on success, otherwise the file-error cause.
    int Open(const std::string& path, bool keep, bool shareReading);
    bool IsOpen() const { return m_file != nullptr; }
    // Appends `text` as AppendText does, each line feed stored as CR LF. Returns 0 on success,
    // otherwise the cause (a failed write is always "disk full").
    int Append(const std::string& text);
    // Appends `bytes` as they are.
    int AppendBytes(const std::string& bytes);
    void Close();

private:
    void* m_file = nullptr;  // the HANDLE; null when closed
};
