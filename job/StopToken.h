#pragma once
// A request to stop an unattended run, made from outside the run's thread (the console's
// handler, on a thread Windows starts for it) and read by the run between documents and
// between databases, where stopping leaves every file whole.

#include <atomic>

class CStopToken {
public:
    void Request() { m_requested = true; }
    bool Requested() const { return m_requested; }
    // Forgets a request, so that the next run of the process starts afresh.
    void Reset() { m_requested = false; }

private:
    std::atomic<bool> m_requested{false};
};
