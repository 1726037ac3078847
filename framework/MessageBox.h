#pragma once
// Every message box of the program goes through ShowMessageBox, so that tests can record
// what would have been shown instead of opening a window.

#include <windows.h>

#include <functional>
#include <string>

struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Replaces the handler; an empty handler restores the real message box. Returns the old one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);

// The program's usual message: OK button, exclamation icon, the application title as
// caption, owned by the main window's active pop-up (or by nothing).
int AppMessageBox(const std::string& text);

// The same with a text of the string table.
int AppMessageBox(UINT textId);
