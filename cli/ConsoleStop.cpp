#include "cli/ConsoleStop.h"

namespace {

// Windows ends a process five seconds after a close, logoff or shutdown event reaches it;
// the rest is left for the process's own end.
constexpr DWORD kGraceMs = 4500;

CStopToken g_stop;
HANDLE g_runEnded = nullptr;  // set when the run has ended; made by InstallConsoleStop

}  // namespace

void InstallConsoleStop() {
    if (g_runEnded == nullptr) g_runEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            g_stop.Request();
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            g_stop.Request();
            if (g_runEnded != nullptr) WaitForSingleObject(g_runEnded, kGraceMs);
            return TRUE;
        default:
            return FALSE;
    }
}

CStopToken& ConsoleStopToken() { return g_stop; }

void ConsoleRunEnded() {
    if (g_runEnded != nullptr) SetEvent(g_runEnded);
}

void ResetConsoleStop() {
    g_stop.Reset();
    if (g_runEnded != nullptr) ResetEvent(g_runEnded);
}
