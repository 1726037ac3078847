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
    // this object's life, naming this run `holder` to a run of the same session that finds
    // the claim. False when another run in any session of the machine holds it.
    bool Take(const std::string& path, const std::string& holder = std::string());
    // After a refused claim: how the run holding it named itself; empty when it named itself
    // not at all, or in another session.
    const std::string& Holder() const { return m_holder; }

private:
    static std::string ReadHolder(const std::string& name);
    void WriteHolder(const std::string& name, const std::string& holder);

    HANDLE m_claim = nullptr;
    HANDLE m_holderMapping = nullptr;
    std::string m_holder;
};

// How a run names itself to another: its process id and when it claimed.
std::string ThisRunText();

// The name of the claim on `path`: the same for every spelling of one full path.
std::string RunLockName(const std::string& path);
