// The program's entry point: the application object runs everything.
#include "app/ConvertApp.h"

#include <windows.h>

CConvertApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return theApp.Run(); }
