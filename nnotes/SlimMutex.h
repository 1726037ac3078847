#pragma once
// A mutex over the system's slim reader/writer lock, for the locks every call of the library
// takes: an export takes them dozens of times a document, and the threads library's lock
// showed in its profile. Meets the standard's Lockable, so it goes with std::lock_guard.

#include <windows.h>

namespace nnotes {

class SlimMutex {
public:
    SlimMutex() = default;
    SlimMutex(const SlimMutex&) = delete;
    SlimMutex& operator=(const SlimMutex&) = delete;

    void lock() { AcquireSRWLockExclusive(&m_lock); }
    bool try_lock() { return TryAcquireSRWLockExclusive(&m_lock) != 0; }
    void unlock() { ReleaseSRWLockExclusive(&m_lock); }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
};

}  // namespace nnotes
