// The entry point of quillsheet.com, the program's console twin. Typed as "quillsheet" at a
// prompt (PATHEXT finds .com before .exe) it runs the same application object in the
// console it was started in: the prompt waits for it, its output comes in order, and its exit
// status is the shell's. Started with nothing to export (no argument, or one file to open),
// it hands the start to quillsheet.exe beside it and returns at once.
#include "app/ConvertApp.h"
#include "cli/CommandLine.h"
#include "cli/OpenedFile.h"
#include "cli/WindowedStart.h"

#include <string>
#include <vector>

CConvertApp theApp;

int main() {
    const std::vector<std::wstring> arguments = ProcessArguments();
    std::wstring openedFile;
    if (arguments.empty() || OpenedFile(arguments, openedFile)) return StartWindowed(openedFile);
    return theApp.Run();
}
