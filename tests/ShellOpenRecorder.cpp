// Stands in for the programs the shell would start for a .txt or .csv file in end-to-end
// tests: appends "<creation time> <opened path>", one per line, to the file that
// QUILLSHEET_OPEN_RECORD names. Two recorders started one after the other may finish in
// either order; their creation times keep the order in which the shell was asked.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Appends `record` in one write, sharing the file with every other reader and writer.
bool Append(const std::string& path, const std::string& record) {
    HANDLE file =
        CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == record.size();
}

}  // namespace

int main(int argc, char** argv) {
    char record[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableA("QUILLSHEET_OPEN_RECORD", record, sizeof record);
    if (n == 0 || n >= sizeof record || argc < 2) return 1;
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    char line[MAX_PATH * 4];
    std::snprintf(line, sizeof line, "%020llu %s\n", stamp, argv[1]);
    // Every writer shares the file, so only a program that holds it without sharing stops
    // the append; the tests' reader does not. A record that still cannot be written is not
    // dropped silently: it goes to "<record>.lost", which the tests check.
    const DWORD start = GetTickCount();
    do {
        if (Append(record, line)) return 0;
        Sleep(10);
    } while (GetTickCount() - start < 60000);
    Append(std::string(record) + ".lost", line);
    return 1;
}
