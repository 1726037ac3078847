// Holds Wine's desktop open for a whole test run.
//
// Wine starts its desktop process (explorer.exe) from the first program that needs one, and
// that process inherits the program's standard handles. Started by a test, it holds ctest's
// output pipe for that test until the desktop closes, which is a second after the last Wine
// program of the session exits: in a parallel run, the end of the run. The test then looks
// hung although it passed long before. Started here, with no pipe to inherit, the desktop
// stays up until the keeper is stopped.
//
//   qs_desktop_keeper            connects to the desktop, tells it is ready, and waits
//   qs_desktop_keeper --ready    waits until a keeper has connected (exit 0), or 1 after 60 s
#include <windows.h>

#include <cstring>

namespace {

constexpr char kReadyEvent[] = "Local\\QuillsheetDesktopKeeperReady";
constexpr DWORD kReadyWaitMs = 60000;

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--ready") == 0) {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kReadyEvent);
        if (ready == nullptr) return 1;
        const DWORD waited = WaitForSingleObject(ready, kReadyWaitMs);
        CloseHandle(ready);
        return waited == WAIT_OBJECT_0 ? 0 : 1;
    }
    // The desktop window exists only once the desktop process has made it.
    if (GetDesktopWindow() == nullptr) return 1;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kReadyEvent);
    if (ready == nullptr) return 1;
    SetEvent(ready);
    // Stopped by the test command when its run ends (wineserver -k).
    Sleep(INFINITE);
    return 0;
}
