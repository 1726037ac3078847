// Entry point until the application object arrives: shows what the program can do so far.
#include "framework/MessageBox.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    AppMessageBox("Quillsheet: the log and CSV writers and the path checks are built; "
                  "the windows follow.");
    return 0;
}
