#include "framework/MessageSink.h"

#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "framework/WinApp.h"
#include "res/resource.h"

void CMessageBoxSink::Message(const std::string& text) { AppMessageBox(text); }

void CMessageBoxSink::FileError(const std::string& text) {
    ShowMessageBox(GetMainWindow(), text, ResString(IDS_FILEERR_CAPTION), MB_OK | MB_ICONEXCLAMATION);
}

void CMessageBoxSink::Warning(const std::string&) {}

CMessageSink& MessageBoxes() {
    static CMessageBoxSink boxes;
    return boxes;
}
