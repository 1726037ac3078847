#include "support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

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
