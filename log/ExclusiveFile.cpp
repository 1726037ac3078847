#include "log/ExclusiveFile.h"

#include "log/FileError.h"

#include <windows.h>

#include <climits>

namespace {

// Closes the handle on every way out.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : m_h(h) {}
    ~ScopedHandle() {
        if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return m_h; }
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
};

HANDLE OpenExclusive(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0 /* no sharing */, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int CreateEmptyFile(const std::string& path) {
    ScopedHandle file(OpenExclusive(path, CREATE_ALWAYS));
    if (!file.valid()) return FileErrorCauseFromOsError(GetLastError());
    return kFileErrNone;
}

int OpenOrCreateFile(const std::string& path) {
    ScopedHandle file(OpenExclusive(path, OPEN_ALWAYS));
    if (!file.valid()) return FileErrorCauseFromOsError(GetLastError());
    return kFileErrNone;
}

int AppendText(const std::string& path, const std::string& text) {
    return AppendBytes(path, ToTextMode(text));
}

int AppendBytes(const std::string& path, const std::string& bytes) {
    ScopedHandle file(OpenExclusive(path, OPEN_EXISTING));
    if (!file.valid()) return FileErrorCauseFromOsError(GetLastError());
    // The end may lie beyond 4 GiB, which SetFilePointer without a high word cannot
    // reach (Windows fails it there); the 64-bit call reaches any end.
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) return kFileErrBadSeek;
    return WriteWhole(file.get(), bytes);
}

int WriteWhole(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t chunk = bytes.size() - done;
        const DWORD want =
            chunk > static_cast<size_t>(INT_MAX) ? static_cast<DWORD>(INT_MAX) : static_cast<DWORD>(chunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0) {
            return kFileErrDiskFull;
        }
        done += written;
    }
    return kFileErrNone;
}

std::string ToTextMode(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}
