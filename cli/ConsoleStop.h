#pragma once
// A run stopped from outside: Ctrl+C or Ctrl+Break at its console, the console closed, the
// user logging off, Windows shutting down. The run stops between documents and ends as a
// stopped run does (the log says so, the database and Notes are closed, the status is 2);
// for the events after which Windows ends the process, the handler holds that off until the
// run has ended or the grace Windows allows is nearly spent.

#include "job/StopToken.h"

#include <windows.h>

// Installs the handler for this process's console events.
void InstallConsoleStop();
// The handler, as Windows calls it on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event);
// What the handler sets: the runs of this process are handed it and stop when it is set.
CStopToken& ConsoleStopToken();
// The run has closed what it opened: a handler that waits for it returns.
void ConsoleRunEnded();
// Forgets a stop, so that the next run of the process starts afresh.
void ResetConsoleStop();
