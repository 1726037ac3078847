// qs_bench: the export stage of a conversion job, timed, measured and optionally profiled,
// and the floor it is compared with. scripts/bench drives it; it is no test.
//
//   qs_bench export DATABASE FORM FOLDER [profile|held|read|profile-held|lossless|profile-lossless]
//       opens DATABASE (a native path), takes every field of FORM, and runs the stage as
//       the job does (open, field list, header and documents under the progress window,
//       close), writing FOLDER\LOG.TXT and FOLDER\export.csv with the program's own writers.
//       held: as the unattended run writes, each file held open for the run and no progress
//       shown (its output sent to a file); read: the same with both files the NUL device,
//       which is the run with its writes left out; profile-held: the held run, profiled;
//       lossless: the held run in the lossless format (/lossless); profile-lossless: it, profiled.
//   qs_bench floor FOLDER
//       replays the file operations the export made, line for line with the same bytes,
//       as bare Win32 calls: FOLDER\floor-LOG.TXT and FOLDER\floor.csv; and what the
//       progress window must do for each note (its queue pumped, its bar moved), on a real
//       progress window, so that the floor holds every cost the export cannot leave out.
//
//   qs_bench names N
//       names N attachments of one name in one note's folder, as the attachment writer
//       does, and times it: the name book must stay linear however many share a name.
//
// Results are printed as "key=value" lines.
#include "Sampler.h"
#include "attachments/SafeName.h"
#include "export/CsvFile.h"
#include "export/WindowProgress.h"
#include "job/DocumentExport.h"
#include "log/SysLog.h"
#include "notes/NotesBinding.h"
#include "notes/NsfDatabase.h"
#include "notes/NsfError.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

double FileTimeSeconds(const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

// Processor time the process spent in its own code (outside the kernel and the window server).
double UserSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return FileTimeSeconds(user);
}

double KernelSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return FileTimeSeconds(kernel);
}

// The unattended run's progress with its output sent to a file: nothing is shown.
class CNoProgress : public CExportProgress {
public:
    void Advance(unsigned long, unsigned long) override {}
    void Finish() override {}
};

enum class Mode { kWizard, kProfile, kHeld, kRead, kProfileHeld, kLossless, kProfileLossless };

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Polls the private memory of the process: where the platform reports the current value as
// the peak (Wine does), the highest value polled is the peak.
class MemoryWatch {
public:
    MemoryWatch() : m_thread(CreateThread(nullptr, 0, &MemoryWatch::Run, this, 0, nullptr)) {}
    ~MemoryWatch() {
        InterlockedExchange(&m_stop, 1);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    MemoryWatch(const MemoryWatch&) = delete;
    MemoryWatch& operator=(const MemoryWatch&) = delete;
    SIZE_T highest() const { return m_highest; }

private:
    static DWORD WINAPI Run(void* self) {
        auto* watch = static_cast<MemoryWatch*>(self);
        while (watch->m_stop == 0) {
            watch->Poll();
            Sleep(10);
        }
        watch->Poll();
        return 0;
    }
    void Poll() {
        const SIZE_T now = Memory().PagefileUsage;
        if (now > m_highest) m_highest = now;
    }
    volatile LONG m_stop = 0;
    volatile SIZE_T m_highest = 0;
    HANDLE m_thread;
};

std::string NativeToLmbcs(const std::string& native) {
    std::vector<char> out(native.size() * 3 + 1);
    notes::TranslateInto(notes::OS_TRANSLATE_NATIVE_TO_LMBCS, native.c_str(), native.size(), out.data(),
                         out.size());
    return out.data();
}

int Export(const std::string& database, const std::string& form, const std::string& folder, Mode mode) {
    const bool profile =
        mode == Mode::kProfile || mode == Mode::kProfileHeld || mode == Mode::kProfileLossless;
    const bool lossless = mode == Mode::kLossless || mode == Mode::kProfileLossless;
    const bool held = mode == Mode::kHeld || mode == Mode::kRead || mode == Mode::kProfileHeld || lossless;
    if (notes::NotesInitialize() != 0) {
        std::fprintf(stderr, "Notes could not be initialised\n");
        return 2;
    }
    const std::string logPath = mode == Mode::kRead ? "NUL" : folder + "\\LOG.TXT";
    const std::string csvPath = mode == Mode::kRead ? "NUL" : folder + "\\export.csv";
    g_sysLog.m_hold = held;
    g_exportFile.m_hold = held;
    g_exportFile.m_lossless = lossless;
    const SIZE_T before = Memory().PagefileUsage;
    Sampler sampler(GetCurrentThreadId());
    MemoryWatch watch;
    if (profile) sampler.Start();
    const double userBefore = UserSeconds();
    const double kernelBefore = KernelSeconds();
    const LARGE_INTEGER start = Now();
    // The export stage of the conversion job, step for step, with the wizard's progress window.
    CExportContext context(g_sysLog, g_exportFile, MessageBoxes(),
                           [held]() -> std::unique_ptr<CExportProgress> {
                               if (held) return std::make_unique<CNoProgress>();
                               return std::make_unique<CWindowProgress>();
                           });
    g_sysLog.Create(logPath.c_str());
    CNsfDatabase db;
    size_t fields = 0;
    try {
        g_sysLog.Write(LEVEL_COMMAND, "Open Notes DataBase");
        const std::string lmbcsPath = NativeToLmbcs(database);
        g_sysLog.Write(LEVEL_DEBUG, "DB Path=" + database);
        db.Open(lmbcsPath.c_str());
        g_sysLog.Write(LEVEL_RESULT, "Open Command is success.");
        g_exportFile.Create(csvPath);
        db.ListFields(form);
        fields = db.m_fields.size();
        g_sysLog.Write(LEVEL_COMMAND, "Write All Document By Form");
        g_sysLog.Write(LEVEL_DEBUG, "Form Name=" + form);
        ExportTotals totals;
        ExportDocuments(context, db, form, totals);
        g_sysLog.Write(LEVEL_RESULT, "Write All Document By Form is success.");
        g_sysLog.Write(LEVEL_COMMAND, "Close Notes DataBase");
        db.Close();
        g_sysLog.Write(LEVEL_RESULT, "Close Notes DataBase is success.");
    } catch (const CNsfError& error) {
        std::fprintf(stderr, "Notes error %u\n", static_cast<unsigned>(error.m_status));
        return 3;
    }
    const LARGE_INTEGER end = Now();
    const double userSeconds = UserSeconds() - userBefore;
    const double kernelSeconds = KernelSeconds() - kernelBefore;
    g_exportFile.Release();
    if (profile) sampler.Stop();
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf(
        "seconds=%.3f\nuser_seconds=%.3f\nkernel_seconds=%.3f\nfields=%zu\nprivate_before=%zu\nprivate_after=%zu\npeak_private=%zu\n"
        "peak_private_polled=%zu\n",
        Seconds(start, end), userSeconds, kernelSeconds, fields, static_cast<size_t>(before),
        static_cast<size_t>(after.PagefileUsage), static_cast<size_t>(after.PeakPagefileUsage),
        static_cast<size_t>(watch.highest()));
    if (profile) {
        std::printf("samples=%zu\n", sampler.samples());
        FILE* out = std::fopen((folder + "\\profile.txt").c_str(), "w");
        if (out != nullptr) {
            sampler.Write(out);
            std::fclose(out);
        }
    }
    notes::NotesTerminate();
    return 0;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line + "\n");  // keeps the CR: "...\r\n"
    return lines;
}

bool EndsWith(const std::string& line, const char* tail) {
    const std::string t = std::string(tail) + "\r\n";
    return line.size() >= t.size() && line.compare(line.size() - t.size(), t.size(), t) == 0;
}

// What the program does for each line: an exclusive open of the existing file, a seek to
// its end, one write, a close.
bool Append(const std::string& path, const std::string& bytes) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER none{};
    SetFilePointerEx(h, none, nullptr, FILE_END);
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
    CloseHandle(h);
    return ok;
}

bool CreateEmpty(const std::string& path) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

int Floor(const std::string& folder) {
    const std::vector<std::string> log = Lines(folder + "\\LOG.TXT");
    const std::vector<std::string> csv = Lines(folder + "\\export.csv");
    enum class Kind { kLog, kCsv, kNote };
    struct Op {
        Kind kind;
        const std::string* bytes;
    };
    // The order the export wrote them in: the header after "Make ExportFile Header", a
    // document's line after its "nsfNote.Open is success."; each note read (its
    // "nsfNote.Open") moves the progress window once, as the export's Advance does.
    std::vector<Op> ops;
    size_t nextCsv = 0;
    unsigned long notes = 0;
    for (const std::string& line : log) {
        if (EndsWith(line, "nsfNote.Open")) {
            ops.push_back({Kind::kNote, nullptr});
            ++notes;
        }
        ops.push_back({Kind::kLog, &line});
        if ((EndsWith(line, "Make ExportFile Header") || EndsWith(line, "nsfNote.Open is success.")) &&
            nextCsv < csv.size()) {
            ops.push_back({Kind::kCsv, &csv[nextCsv++]});
        }
    }
    if (nextCsv != csv.size()) {
        std::fprintf(stderr, "the export's CSV lines do not match its log\n");
        return 2;
    }
    const std::string logPath = folder + "\\floor-LOG.TXT";
    const std::string csvPath = folder + "\\floor.csv";
    const double userBefore = UserSeconds();
    const LARGE_INTEGER start = Now();
    bool ok = CreateEmpty(logPath) && CreateEmpty(csvPath);
    {
        CWindowProgress progress;
        unsigned long done = 0;
        for (const Op& op : ops) {
            if (op.kind == Kind::kNote)
                progress.Advance(++done, notes);
            else
                ok = Append(op.kind == Kind::kCsv ? csvPath : logPath, *op.bytes) && ok;
        }
        progress.Finish();
    }
    const LARGE_INTEGER end = Now();
    const double userSeconds = UserSeconds() - userBefore;
    if (!ok) {
        std::fprintf(stderr, "a floor write failed\n");
        return 2;
    }
    std::printf("seconds=%.3f\nuser_seconds=%.3f\nappends=%zu\nnotes=%lu\n", Seconds(start, end), userSeconds,
                static_cast<size_t>(ops.size() - notes), notes);
    return 0;
}

int Names(unsigned long count) {
    CNameBook book(kPartialTag);
    const LARGE_INTEGER start = Now();
    std::string last;
    for (unsigned long i = 0; i < count; ++i) last = book.Claim("scan", ".pdf");
    const LARGE_INTEGER end = Now();
    std::printf("seconds=%.3f\nnames=%lu\nlast=%s\n", Seconds(start, end), count, last.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (argc >= 5 && std::strcmp(argv[1], "export") == 0) {
        const std::string how = argc >= 6 ? argv[5] : "";
        const Mode mode = how == "profile"            ? Mode::kProfile
                          : how == "held"             ? Mode::kHeld
                          : how == "read"             ? Mode::kRead
                          : how == "profile-held"     ? Mode::kProfileHeld
                          : how == "lossless"         ? Mode::kLossless
                          : how == "profile-lossless" ? Mode::kProfileLossless
                                                      : Mode::kWizard;
        return Export(argv[2], argv[3], argv[4], mode);
    }
    if (argc == 3 && std::strcmp(argv[1], "floor") == 0) return Floor(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "names") == 0) return Names(std::strtoul(argv[2], nullptr, 10));
    std::fprintf(
        stderr,
        "usage: qs_bench export DATABASE FORM FOLDER [profile|held|read|profile-held] | qs_bench floor FOLDER | "
        "qs_bench names N\n");
    return 1;
}
