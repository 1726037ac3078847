#pragma once
// A sampling profiler for one thread of this process: another thread stops it about once a
// millisecond, records its call stack (program counters, innermost first) and lets it run
// on. Wine and Windows both give the stack of a stopped thread, so the same benchmark
// profiles the export beside either.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

class Sampler {
public:
    explicit Sampler(DWORD threadId);
    ~Sampler();
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    void Start();
    void Stop();
    // One line per sample: "sample" then "module+rva" per frame, innermost first. A frame
    // in a system module also names its nearest export ("ntdll.dll+1234:NtWriteFile").
    void Write(FILE* out) const;
    size_t samples() const { return m_samples; }

private:
    static DWORD WINAPI Run(void* self);
    void TakeSample();

    static constexpr size_t kMaxFrames = 48;
    static constexpr size_t kMaxSamples = 400000;

    HANDLE m_target = nullptr;
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
    // Preallocated: nothing may allocate while the target is stopped (it may hold the heap lock).
    std::vector<uint64_t> m_frames;
    std::vector<uint8_t> m_depth;
    size_t m_samples = 0;
};
