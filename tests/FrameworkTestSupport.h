#pragma once
// Helpers of the framework tests: real windows, and a message pump that waits for a
// condition instead of a fixed time.

#include "framework/Dialog.h"
#include "support/Emulation.h"

#include <windows.h>

#include <functional>

// Pumps the thread's messages (through `dialog`'s keyboard handling first, when given) until
// `done` holds; false when it still does not after `timeoutMs`.
inline bool PumpUntil(const std::function<bool()>& done, CDialog* dialog = nullptr, DWORD timeoutMs = 5000) {
    timeoutMs = emu::ScaledMs(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog != nullptr && dialog->PreTranslateMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Pumps until the queue holds nothing more for the thread.
inline void PumpPending(CDialog* dialog = nullptr) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog != nullptr && dialog->PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A plain window, destroyed with the object: a top-level one, or a child of `parent`.
class TestWindow {
public:
    explicit TestWindow(HWND parent = nullptr, DWORD style = 0) {
        const DWORD base = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
        m_h = CreateWindowExA(0, "STATIC", "test window", base | style, 10, 10, 300, 200, parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() {
        if (IsWindow(m_h)) DestroyWindow(m_h);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND hwnd() const { return m_h; }

private:
    HWND m_h;
};
