// Walks Quillsheet once on a database, as a person would, photographing every window it
// passes; used by scripts/run where there is no display to show the program on.
// Usage: qs_demo <work folder> <notes.ini> <database path> <form> <screenshot folder>
#include "support/AppProcess.h"
#include "support/Driver.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The window as it is on the screen: its size and its pixels, bottom-up rows of 24-bit colour.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bits;
    DWORD Stride() const { return ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4; }
    // The colour at x, y counted from the top left, as 0xRRGGBB.
    unsigned long At(int x, int y) const {
        const unsigned char* p =
            &bits[Stride() * static_cast<DWORD>(height - 1 - y) + static_cast<DWORD>(x) * 3];
        return (static_cast<unsigned long>(p[2]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[0];
    }
};

bool Capture(HWND window, Picture& picture) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    picture.width = r.right - r.left;
    picture.height = r.bottom - r.top;
    if (picture.width <= 0 || picture.height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const unsigned char* start = static_cast<const unsigned char*>(bits);
    picture.bits.assign(start, start + picture.Stride() * static_cast<DWORD>(picture.height));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return true;
}

bool SavePicture(const Picture& picture, const std::string& path) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(picture.bits.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(picture.bits.data()),
              static_cast<std::streamsize>(picture.bits.size()));
    return out.good();
}

struct ChildAreas {
    HWND window;
    std::vector<RECT> areas;  // in the window's picture
};

BOOL CALLBACK CollectVisibleChild(HWND child, LPARAM collected) {
    auto* areas = reinterpret_cast<ChildAreas*>(collected);
    if (IsWindowVisible(child) == FALSE) return TRUE;
    RECT window, r;
    GetWindowRect(areas->window, &window);
    GetWindowRect(child, &r);
    OffsetRect(&r, -window.left, -window.top);
    areas->areas.push_back(r);
    return TRUE;
}

// Why a picture does not show the window as it stands, or "" when it does. Under Xvfb the
// screen was once read while the compositor had not yet drawn a message box: the picture was
// black with a white bar. A picture is kept only when it is not of one colour and no visible
// control in it, the text of a message box among them, is all black.
std::string PictureFault(HWND window, const Picture& picture) {
    bool oneColour = true;
    for (int y = 0; y < picture.height && oneColour; ++y)
        for (int x = 0; x < picture.width && oneColour; ++x) oneColour = picture.At(x, y) == picture.At(0, 0);
    if (oneColour) return "the picture is of one colour";
    ChildAreas children{window, {}};
    EnumChildWindows(window, CollectVisibleChild, reinterpret_cast<LPARAM>(&children));
    for (const RECT& r : children.areas) {
        const int left = r.left < 0 ? 0 : r.left, top = r.top < 0 ? 0 : r.top;
        const int right = r.right > picture.width ? picture.width : r.right;
        const int bottom = r.bottom > picture.height ? picture.height : r.bottom;
        if (left >= right || top >= bottom) continue;
        bool black = true;
        for (int y = top; y < bottom && black; ++y)
            for (int x = left; x < right && black; ++x) black = picture.At(x, y) == 0;
        if (black) return "a control of the window is all black in the picture";
    }
    return "";
}

BOOL CALLBACK MarkUnpainted(HWND child, LPARAM painted) {
    if (GetUpdateRect(child, nullptr, FALSE) == FALSE) return TRUE;
    *reinterpret_cast<bool*>(painted) = false;
    return FALSE;
}

// True when neither the window nor any window inside it waits to be painted.
bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE) != FALSE) return false;
    bool painted = true;
    EnumChildWindows(window, MarkUnpainted, reinterpret_cast<LPARAM>(&painted));
    return painted;
}

// Photographs a window once it has painted: the whole window is marked for painting, and the
// picture is taken when the program has painted it and every control in it. A window that
// does not finish within the time is not photographed: the walk stops rather than save a
// half-painted picture.
bool Shot(HWND window, const std::string& folder, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    if (!drv::WaitUntil([&] { return Painted(window); }, 5000)) {
        std::printf("demo stopped: %s did not finish painting\n", name.c_str());
        return false;
    }
    // The frame, which Wine draws itself, comes after the client area; a picture that does not
    // show the window is taken again, and after a few tries the walk stops.
    Picture picture;
    std::string fault = "not taken";
    for (int attempt = 0; attempt < 5 && !fault.empty(); ++attempt) {
        Sleep(200 + 300 * attempt);
        fault = Capture(window, picture) ? PictureFault(window, picture) : "the window could not be read";
    }
    if (!fault.empty()) {
        std::printf("demo stopped: %s: %s\n", name.c_str(), fault.c_str());
        return false;
    }
    const std::string path = folder + "\\" + name + ".bmp";
    if (!SavePicture(picture, path)) {
        std::printf("demo stopped: %s could not be saved\n", name.c_str());
        return false;
    }
    std::printf("screenshot: %s\n", name.c_str());
    return true;
}

// True when every control in `shown` stands visible in the window and none in `hidden` does:
// a page is photographed only with its own buttons.
bool ButtonsStand(HWND window, std::initializer_list<int> shown, std::initializer_list<int> hidden) {
    for (int id : shown) {
        if (IsWindowVisible(GetDlgItem(window, id)) == FALSE) return false;
    }
    for (int id : hidden) {
        if (IsWindowVisible(GetDlgItem(window, id)) != FALSE) return false;
    }
    return true;
}

// Waits until the buttons stand as the page shows them, then photographs the window.
bool ShotWithButtons(HWND window, std::initializer_list<int> shown, std::initializer_list<int> hidden,
                     const std::string& folder, const std::string& name) {
    if (!drv::WaitUntil([&] { return ButtonsStand(window, shown, hidden); }, 5000)) {
        std::printf("demo stopped: %s does not show its own buttons\n", name.c_str());
        return false;
    }
    return Shot(window, folder, name);
}

std::vector<std::string> FirstLines(const std::string& path, size_t count) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (lines.size() < count && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int Fail(const char* what) {
    std::printf("demo stopped: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6)
        return Fail("usage: qs_demo <work folder> <notes.ini> <database> <form> <screenshot folder>");
    const std::string work = argv[1], ini = argv[2], database = argv[3], form = argv[4], shots = argv[5];
    const std::string csv = work + "\\sample.csv";
    ShellOpenRecorderAssociation association;
    AppProcess app(work, ini, work + "\\opened.txt");
    if (!app.started()) return Fail("quillsheet.exe did not start");

    HWND source = drv::WaitForDialog(app.pid(), "Quillsheet");
    if (source == nullptr) return Fail("the source dialog did not come");
    if (!ShotWithButtons(source, {1000, IDCANCEL}, {}, shots, "1-source-dialog")) return 1;

    PostMessageA(source, WM_SYSCOMMAND, 0x0010, 0);
    HWND about =
        drv::WaitForWindow(app.pid(), [&](HWND w) { return w != source && drv::WindowClass(w) == "#32770"; });
    if (about != nullptr) {
        if (!ShotWithButtons(about, {IDOK}, {}, shots, "2-about-box")) return 1;
        drv::ClickDlgItem(about, IDOK);
        drv::WaitUntil([&] { return !IsWindow(about); });
    }

    drv::ClickDlgItem(source, 1003);
    drv::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(source, 1005)) != FALSE; });
    // One error box, as a user meets it: Start with no database named.
    drv::ClickDlgItem(source, 1000);
    HWND error = drv::WaitForMessageBox(app.pid(), 10000);
    if (error == nullptr) return Fail("no message for a missing database path");
    if (!ShotWithButtons(error, {IDOK}, {}, shots, "9-error-message")) return 1;
    drv::DismissMessageBox(error);
    drv::WaitUntil([&] { return !IsWindow(error); });
    drv::SetDlgItemText(source, 1005, database);
    if (!ShotWithButtons(source, {1000, IDCANCEL, 1007}, {}, shots, "3-source-dialog-local")) return 1;
    drv::ClickDlgItem(source, 1000);

    HWND sheet = drv::WaitForDialog(app.pid(), drv::kFormPageTitle);
    if (sheet == nullptr) return Fail("the wizard did not come");
    HWND combo = drv::WaitForDescendant(sheet, 1008);
    // Photographed as a user first sees the page: no form chosen yet.
    if (!ShotWithButtons(sheet, {drv::kWizardNext, IDCANCEL}, {drv::kWizardFinish}, shots,
                         "4-wizard-form-page"))
        return 1;
    if (!drv::SelectComboItem(combo, form)) return Fail("the form is not in the list");
    drv::PressWizardButton(sheet, PSBTN_NEXT);

    if (!drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }))
        return Fail("no field page");
    HWND list = drv::FindDescendant(sheet, 1012);
    drv::WaitUntil([&] { return drv::ListItemCount(list) > 0; }, 5000);
    if (!ShotWithButtons(sheet, {drv::kWizardBack, drv::kWizardNext, IDCANCEL}, {drv::kWizardFinish}, shots,
                         "5-wizard-field-page"))
        return 1;
    drv::PressWizardButton(sheet, PSBTN_NEXT);

    if (!drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; })) {
        return Fail("no destination page");
    }
    HWND edit = drv::FindDescendant(sheet, 1015);
    // The last page sets its buttons by a posted message: Finish stands in Next's place.
    if (!ShotWithButtons(sheet, {drv::kWizardBack, drv::kWizardFinish, IDCANCEL}, {drv::kWizardNext}, shots,
                         "6-wizard-destination-page"))
        return 1;
    drv::SetText(edit, csv);
    drv::PressWizardButton(sheet, PSBTN_FINISH);

    // The progress window stands only while the documents are written.
    const std::string processing = "\x8f\x88\x97\x9d\x92\x86...";  // 処理中...
    HWND progress = drv::WaitForDialog(app.pid(), processing, 10000);
    if (progress != nullptr) {
        Shot(progress, shots, "7-progress-window");
    } else {
        std::printf("the progress window came and went too quickly to photograph\n");
    }

    HWND box = drv::WaitForMessageBox(app.pid(), 120000);
    if (box == nullptr) return Fail("no completion message");
    if (!ShotWithButtons(box, {IDOK}, {}, shots, "8-completion-message")) return 1;
    std::printf("message: %s\n", drv::MessageBoxText(box).c_str());
    drv::DismissMessageBox(box);
    drv::ClickDlgItem(source, IDCANCEL);
    app.WaitForExit(drv::kDefaultTimeoutMs);

    const std::string log = work + "\\LOG.TXT";
    std::printf("\nCSV file: %s\n", csv.c_str());
    for (const std::string& line : FirstLines(csv, 5)) std::printf("  %s\n", line.c_str());
    std::printf("Log file: %s\n", log.c_str());
    for (const std::string& line : FirstLines(log, 8)) std::printf("  %s\n", line.c_str());
    return 0;
}
