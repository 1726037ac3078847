#include "job/RunLock.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Global: a run of the Task Scheduler and one at the user's prompt are in different sessions.
constexpr char kNamePrefix[] = "Global\\Quillsheet.Run.";

// FNV-1a, 64 bits: a path can be longer than an object's name may be, and may hold '\'.
uint64_t Fnv1a(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace

std::string RunLockName(const std::string& path) {
    std::string full = path;
    const DWORD length = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (length != 0) {
        std::vector<char> buffer(length + 1, '\0');
        if (GetFullPathNameA(path.c_str(), length + 1, buffer.data(), nullptr) != 0) full = buffer.data();
    }
    // The file system ignores letter case; CharUpperA leaves double-byte characters whole.
    std::vector<char> upper(full.begin(), full.end());
    upper.push_back('\0');
    CharUpperA(upper.data());
    char hex[17] = {};
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(upper.data())));
    return std::string(kNamePrefix) + hex;
}

bool CRunLock::Take(const std::string& path) {
    const HANDLE claim = CreateMutexA(nullptr, FALSE, RunLockName(path).c_str());
    if (claim == nullptr) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(claim);
        return false;
    }
    if (m_claim != nullptr) CloseHandle(m_claim);
    m_claim = claim;
    return true;
}

CRunLock::~CRunLock() {
    if (m_claim != nullptr) CloseHandle(m_claim);
}
