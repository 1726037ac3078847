#include "framework/WinApp.h"

#include <commctrl.h>

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() { g_currentApp = this; }

CWinApp::~CWinApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return m_nExitCode; }

int CWinApp::Run() {
    if (InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::EnableDialogControls() {
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_WIN95_CLASSES;
    return InitCommonControlsEx(&init);
}

CWinApp* GetCurrentApp() { return g_currentApp; }

HWND GetMainWindow() {
    CWinApp* app = GetCurrentApp();
    if (app == nullptr || app->m_hMainWnd == nullptr || !IsWindow(app->m_hMainWnd)) return nullptr;
    return app->m_hMainWnd;
}

const std::string& GetAppTitle() {
    static const std::string title = [] {
        char path[MAX_PATH + 1] = {};
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string full(path, n < MAX_PATH ? n : MAX_PATH);
        // The file name starts after the last separator; a trail byte of 0x5C is not one.
        size_t nameStart = 0;
        size_t lastDot = std::string::npos;
        for (size_t i = 0; i < full.size(); ++i) {
            const auto c = static_cast<unsigned char>(full[i]);
            if (IsDBCSLeadByte(c) && i + 1 < full.size()) {
                ++i;
                continue;
            }
            if (c == '\\' || c == '/') {
                nameStart = i + 1;
                lastDot = std::string::npos;
            } else if (c == '.') {
                lastDot = i;
            }
        }
        const size_t end = lastDot == std::string::npos ? full.size() : lastDot;
        return full.substr(nameStart, end - nameStart);
    }();
    return title;
}

HINSTANCE GetResourceInstance() { return GetModuleHandleA(nullptr); }
