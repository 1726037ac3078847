// Stands in for the programs the shell would start for a .txt or .csv file in end-to-end
// tests: appends "<creation time> <opened path>", one per line, to the file that
// QUILLSHEET_OPEN_RECORD names. Two recorders started one after the other may finish in
// either order; their creation times keep the order in which the shell was asked.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    char record[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableA("QUILLSHEET_OPEN_RECORD", record, sizeof record);
    if (n == 0 || n >= sizeof record || argc < 2) return 1;
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    // The recorder and the program may finish at the same moment: retry a held file briefly.
    for (int attempt = 0; attempt < 200; ++attempt) {
        FILE* out = std::fopen(record, "ab");
        if (out != nullptr) {
            std::fprintf(out, "%020llu %s\n", stamp, argv[1]);
            std::fclose(out);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
