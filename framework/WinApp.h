#pragma once
// The application object: one per process, reached through GetCurrentApp().

#include <windows.h>

#include <string>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns false when no message loop is to run (the only way this program starts).
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Runs InitInstance, the message loop when it asked for one, then ExitInstance.
    int Run();

    // Registers the common controls that dialog templates name (progress bar, list view,
    // and the rest of that family), so that a dialog holding one can be created. FALSE when
    // the system refuses.
    BOOL EnableDialogControls();

    HWND m_hMainWnd = nullptr;
    int m_nExitCode = 0;
};

// The application object of this process, or nullptr when there is none (in-process tests).
CWinApp* GetCurrentApp();

// The application's main window, or nullptr.
HWND GetMainWindow();

// The application title: the executable's file name without its extension.
const std::string& GetAppTitle();

// The module whose resources (strings, dialogs, icons) the program uses.
HINSTANCE GetResourceInstance();
