#include "wizard/SaveFileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

bool RunSaveFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                       const std::string& defaultExtension, DWORD flags, std::string& chosen) {
    // The dialog wants the filter's parts separated by NULs and ended by two.
    std::string filterZ = filter;
    std::replace(filterZ.begin(), filterZ.end(), '|', '\0');
    filterZ.push_back('\0');
    // The dialog appends the extension itself and wants it without "*.".
    std::string extension = defaultExtension;
    if (extension.compare(0, 2, "*.") == 0) extension.erase(0, 2);

    // Large enough for any path the dialog returns; the proposed name is cut to fit.
    std::vector<char> file(32768, '\0');
    initialName.copy(file.data(), std::min(initialName.size(), file.size() - 1));

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterZ.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = flags | OFN_EXPLORER;
    if (!GetSaveFileNameA(&ofn)) return false;
    chosen = file.data();
    return true;
}
