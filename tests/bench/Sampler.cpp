#include "Sampler.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

Sampler::Sampler(DWORD threadId)
    : m_target(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE,
                          threadId)) {}

Sampler::~Sampler() {
    Stop();
    if (m_target != nullptr) CloseHandle(m_target);
}

void Sampler::Start() {
    m_frames.assign(kMaxSamples * kMaxFrames, 0);
    m_depth.assign(kMaxSamples, 0);
    m_samples = 0;
    m_stop = 0;
    m_thread = CreateThread(nullptr, 0, &Sampler::Run, this, 0, nullptr);
    SetThreadPriority(m_thread, THREAD_PRIORITY_HIGHEST);
}

void Sampler::Stop() {
    if (m_thread == nullptr) return;
    InterlockedExchange(&m_stop, 1);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

DWORD WINAPI Sampler::Run(void* self) {
    auto* sampler = static_cast<Sampler*>(self);
    while (sampler->m_stop == 0 && sampler->m_samples < kMaxSamples) {
        sampler->TakeSample();
        Sleep(1);
    }
    return 0;
}

void Sampler::TakeSample() {
    if (SuspendThread(m_target) == static_cast<DWORD>(-1)) return;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_FULL;
    uint64_t* frames = &m_frames[m_samples * kMaxFrames];
    size_t depth = 0;
    if (GetThreadContext(m_target, &context)) {
#if defined(_M_X64) || defined(__x86_64__)
        // Unwound with the tables every x64 module carries; a frame without one is a leaf
        // whose return address is on top of the stack.
        while (depth < kMaxFrames && context.Rip != 0) {
            frames[depth++] = context.Rip;
            DWORD64 imageBase = 0;
            PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
            if (function == nullptr) {
                context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
                context.Rsp += 8;
            } else {
                void* handlerData = nullptr;
                DWORD64 establisher = 0;
                RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                                 &establisher, nullptr);
            }
        }
#else
        frames[depth++] = context.Eip;  // i686: the innermost frame only
#endif
    }
    ResumeThread(m_target);
    m_depth[m_samples] = static_cast<uint8_t>(depth);
    if (depth > 0) ++m_samples;
}

namespace {

struct ModuleInfo {
    std::string name;
    uintptr_t base = 0;
    bool ours = false;  // symbols come from the file; system modules name their exports here
    std::vector<std::pair<uint32_t, std::string>> exports;  // by rva
};

ModuleInfo Describe(HMODULE module) {
    ModuleInfo info;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    const char* slash = std::strrchr(path, '\\');
    info.name = slash != nullptr ? slash + 1 : path;
    info.base = reinterpret_cast<uintptr_t>(module);
    std::string lower = info.name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    info.ours = lower == "nnotes.dll" || lower.find("qs_bench") != std::string::npos;
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0) return info;
    const auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exp->AddressOfFunctions);
    for (DWORD i = 0; i < exp->NumberOfNames; ++i) {
        info.exports.emplace_back(functions[ordinals[i]], reinterpret_cast<const char*>(base + names[i]));
    }
    std::sort(info.exports.begin(), info.exports.end());
    return info;
}

}  // namespace

void Sampler::Write(FILE* out) const {
    std::map<HMODULE, ModuleInfo> modules;
    for (size_t s = 0; s < m_samples; ++s) {
        std::fputs("sample", out);
        for (size_t f = 0; f < m_depth[s]; ++f) {
            const uint64_t pc = m_frames[s * kMaxFrames + f];
            HMODULE module = nullptr;
            if (!GetModuleHandleExA(
                    GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                    reinterpret_cast<const char*>(static_cast<uintptr_t>(pc)), &module)) {
                std::fputs(" ?", out);
                continue;
            }
            auto it = modules.find(module);
            if (it == modules.end()) it = modules.emplace(module, Describe(module)).first;
            const ModuleInfo& info = it->second;
            const auto rva = static_cast<uint32_t>(pc - info.base);
            std::fprintf(out, " %s+%x", info.name.c_str(), rva);
            if (!info.ours && !info.exports.empty()) {
                auto e = std::upper_bound(info.exports.begin(), info.exports.end(),
                                          std::make_pair(rva, std::string("\x7f")));
                if (e != info.exports.begin()) std::fprintf(out, ":%s", std::prev(e)->second.c_str());
            }
        }
        std::fputc('\n', out);
    }
}
