#include "framework/MessageBox.h"

#include "framework/ResourceString.h"
#include "framework/WinApp.h"

#include <utility>

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    if (Handler()) return Handler()(MessageBoxRequest{owner, text, caption, style});
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

int AppMessageBox(const std::string& text) {
    HWND owner = GetMainWindow();
    if (owner != nullptr) owner = GetLastActivePopup(owner);
    return ShowMessageBox(owner, text, GetAppTitle(), MB_OK | MB_ICONEXCLAMATION);
}

int AppMessageBox(UINT textId) { return AppMessageBox(ResString(textId)); }
