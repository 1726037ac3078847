#include "job/RunLock.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Global: a run of the Task Scheduler and one at the user's prompt are in different sessions.
constexpr char kNamePrefix[] = "Global\\Quillsheet.Run.";
// How the holder names itself, where a run of the same session can read it: an object in the
// global namespace other than a mutex needs a privilege a user's run may not have.
constexpr char kHolderPrefix[] = "Local\\Quillsheet.Holder.";
constexpr DWORD kHolderBytes = 256;

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

bool CRunLock::Take(const std::string& path, const std::string& holder) {
    const std::string name = RunLockName(path);
    const HANDLE claim = CreateMutexA(nullptr, FALSE, name.c_str());
    if (claim == nullptr) return false;
    const std::string holderName = kHolderPrefix + name.substr(sizeof kNamePrefix - 1);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(claim);
        m_holder = ReadHolder(holderName);
        return false;
    }
    if (m_claim != nullptr) CloseHandle(m_claim);
    m_claim = claim;
    WriteHolder(holderName, holder);
    return true;
}

std::string CRunLock::ReadHolder(const std::string& name) {
    const HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (mapping == nullptr) return {};
    std::string text;
    if (const auto* view =
            static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kHolderBytes))) {
        text.assign(view, strnlen(view, kHolderBytes));
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return text;
}

void CRunLock::WriteHolder(const std::string& name, const std::string& holder) {
    if (holder.empty()) return;
    m_holderMapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kHolderBytes, name.c_str());
    if (m_holderMapping == nullptr) return;
    if (auto* view = static_cast<char*>(MapViewOfFile(m_holderMapping, FILE_MAP_WRITE, 0, 0, kHolderBytes))) {
        // The text is ours (digits and a time), never cut inside a character.
        const size_t length = holder.size() < kHolderBytes - 1 ? holder.size() : kHolderBytes - 1;
        std::memcpy(view, holder.data(), length);
        view[length] = '\0';
        UnmapViewOfFile(view);
    }
}

CRunLock::~CRunLock() {
    if (m_claim != nullptr) CloseHandle(m_claim);
    if (m_holderMapping != nullptr) CloseHandle(m_holderMapping);
}

std::string ThisRunText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof text, "PID %lu, %04u/%02u/%02u %02u:%02u:%02u", GetCurrentProcessId(),
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}
