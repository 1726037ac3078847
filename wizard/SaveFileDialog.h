#pragma once
// The platform's Save file dialog as both browse buttons use it.

#include <windows.h>
#include <commdlg.h>

#include <string>

// Shows the dialog with `initialName` proposed; `filter` uses "|" between its parts and
// `defaultExtension` may be written "*.ext". True and the chosen full path on OK.
bool RunSaveFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                       const std::string& defaultExtension, DWORD flags, std::string& chosen);
