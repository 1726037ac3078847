#pragma once
// The real quillsheet.exe started beside our nnotes.dll, in a folder of its own, with its
// own notes.ini and a recorder in place of the programs the shell would start.

#include <windows.h>

#include <string>
#include <vector>

class AppProcess {
public:
    // `workDir`: current and temporary directory of the program; `notesIni`: the runtime's notes.ini;
    // `openRecord`: the file the shell-open recorder appends each opened path to.
    // `tempDir`, when given, is the temporary folder instead of `workDir`. An empty `notesIni`
    // leaves the runtime to find notes.ini itself. `program`, when given, is started instead
    // of the quillsheet.exe built beside the test.
    AppProcess(const std::string& workDir, const std::string& notesIni, const std::string& openRecord,
               const std::string& tempDir = "", const std::string& program = "");
    // The program (or `program`, when given) started with `arguments` after its name (the
    // command line as typed, so wide), its standard output and error written to the file
    // `outputPath`.
    AppProcess(const std::string& workDir, const std::string& notesIni, const std::string& openRecord,
               const std::wstring& arguments, const std::string& outputPath, const std::string& program = "");
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool started() const { return m_process.hProcess != nullptr; }
    DWORD pid() const { return m_process.dwProcessId; }
    // Waits for the process to end; false on timeout.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // Waits until no process is left of those the program started (they run in its job, so
    // a shell-open recorder counts until its record is written); false on timeout.
    bool WaitForStartedProcesses(DWORD timeoutMs);

    // Makes the next `count` starts fail as a start that Wine could not make fails, for the
    // test support's own tests of starting again (support/StartAgain.h).
    static void FailNextStarts(int count);

    // The processes of the program's job that still run: the program and what it started.
    std::vector<DWORD> JobProcesses() const;

private:
    void Launch(const std::string& workDir, const std::string& notesIni, const std::string& openRecord,
                const std::string& tempDir, const std::string& program, const std::wstring& arguments,
                HANDLE output);

    PROCESS_INFORMATION m_process{};
    HANDLE m_job = nullptr;
};

// The folder of the running test executable, where quillsheet.exe and nnotes.dll are built.
std::string ProgramFolder();

// Makes the shell's "open" of .txt and .csv files run the recorder while it lives, and
// restores the previous associations afterwards. The associations are shared by every
// process of the prefix, so a named mutex lets one test process hold them at a time.
class ShellOpenRecorderAssociation {
public:
    ShellOpenRecorderAssociation();
    ~ShellOpenRecorderAssociation();
    ShellOpenRecorderAssociation(const ShellOpenRecorderAssociation&) = delete;
    ShellOpenRecorderAssociation& operator=(const ShellOpenRecorderAssociation&) = delete;

private:
    struct Saved {
        std::string key;
        bool existed;
        std::string value;
    };
    std::vector<Saved> m_saved;
    HANDLE m_lock;
};
