#pragma once
// A file that one unattended run writes, claimed for the length of the run. The CSV file
// and the log are opened only for each write, so two runs of the same job (a scheduled task
// started again while the last one still runs) could not see each other and would write
// into one partial file; the second finds the claim and ends before it touches anything.

#include <windows.h>

#include <string>

class CRunLock {
public:
    CRunLock() = default;
    ~CRunLock();
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

    // Claims `path` (as typed: the claim is on the full path, whatever its letter case) for
    // this object's life. False when another run in any session of the machine holds it.
    bool Take(const std::string& path);

private:
    HANDLE m_claim = nullptr;
};

// The name of the claim on `path`: the same for every spelling of one full path.
std::string RunLockName(const std::string& path);
