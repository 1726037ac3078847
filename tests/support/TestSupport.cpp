#include "support/TestSupport.h"

#include "support/Emulation.h"

#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

MessageBoxRecorder::MessageBoxRecorder() {
    m_previous = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        boxes.push_back(request);
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(std::move(m_previous)); }

namespace {
void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = dir + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}
}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    char name[64];
    std::snprintf(name, sizeof name, "qs-test-%lu-%u", GetCurrentProcessId(), counter++);
    m_path = std::string(base) + name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(m_path); }

ExclusiveHolder::ExclusiveHolder(const std::string& path)
    : m_h(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr)) {}

ExclusiveHolder::ExclusiveHolder(const std::string& path, DWORD timeoutMs) : m_h(INVALID_HANDLE_VALUE) {
    timeoutMs = emu::ScaledMs(timeoutMs);
    const DWORD start = GetTickCount();
    do {
        m_h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        // No pause between attempts: the moments between two lines of the other program
        // are short, and each attempt is a round trip that waits for nothing else.
    } while (m_h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION &&
             GetTickCount() - start <= timeoutMs);
}

ExclusiveHolder::~ExclusiveHolder() { Release(); }

void ExclusiveHolder::Release() {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    m_h = INVALID_HANDLE_VALUE;
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (exists != nullptr) *exists = f != nullptr;
    if (f == nullptr) return bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

unsigned long long FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool GrowSparse(const std::string& path, unsigned long long size, std::string* reason) {
    // A file that really took its size would fill the test machine's disk; anything over
    // this much allocated counts as not sparse.
    constexpr unsigned long long kMostAllocated = 64ull << 20;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *reason = "cannot open " + path + ", error " + std::to_string(GetLastError());
        return false;
    }
    DWORD returned = 0;
    // Without the sparse mark NTFS would fill the gap with zeros at the first write past it;
    // file systems that make holes on their own (Wine's Unix ones) need no mark.
    const bool marked = DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool grown = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    const DWORD growError = GetLastError();
    // What the file system really holds for the file (Wine: the Unix file's blocks).
    FILE_STANDARD_INFO info{};
    const bool measured = GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info) != 0;
    const DWORD measureError = GetLastError();
    CloseHandle(h);
    const unsigned long long allocated = static_cast<unsigned long long>(info.AllocationSize.QuadPart);
    if (grown && measured && allocated <= kMostAllocated) return true;
    if (!grown) {
        *reason = "the file system refused a file of " + std::to_string(size) + " bytes (error " +
                  std::to_string(growError) + ")";
    } else if (!measured) {
        *reason = "the file system does not tell what it holds for the file (error " +
                  std::to_string(measureError) + ")";
    } else {
        *reason = std::string("the file system keeps no sparse file here") +
                  (marked ? "" : " (FSCTL_SET_SPARSE refused)") + ": " + std::to_string(allocated) +
                  " bytes allocated";
    }
    HANDLE again = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    return false;
}

std::string ReadFileRange(const std::string& path, unsigned long long offset, size_t count) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(count, '\0');
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) ||
        !ReadFile(h, &bytes[0], static_cast<DWORD>(count), &read, nullptr)) {
        read = 0;
    }
    CloseHandle(h);
    bytes.resize(read);
    return bytes;
}

namespace {

void ListInto(const std::string& folder, const std::string& prefix, std::vector<std::string>* out) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            out->push_back(prefix + name + " dir");
            ListInto(folder + "\\" + name, prefix + name + "\\", out);
        } else {
            const unsigned long long size =
                (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            out->push_back(prefix + name + " " + std::to_string(size));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> listing;
    ListInto(folder, "", &listing);
    std::sort(listing.begin(), listing.end());
    return listing;
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            return lines;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
}
