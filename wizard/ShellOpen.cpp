#include "wizard/ShellOpen.h"

#include <shellapi.h>

#include <utility>

namespace {
ShellOpenHandler& Handler() {
    static ShellOpenHandler handler;
    return handler;
}
}  // namespace

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

void ShellOpen(HWND owner, const std::string& path) {
    if (Handler()) {
        Handler()(owner, path);
        return;
    }
    ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
