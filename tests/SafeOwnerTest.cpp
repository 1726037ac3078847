// The owner rule for new pop-ups: the given parent, else the main window's active pop-up;
// children replaced by their nearest ancestor that is not a child.
#include "framework/Wnd.h"
#include "framework/WinApp.h"

#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

// The windows of one case: `other` and `main` are top-level, `child` and `grandchild` sit
// in `other`, `popup` is a pop-up owned by `main`.
struct Windows {
    TestWindow other;
    TestWindow main;
    TestWindow child{other.hwnd()};
    TestWindow grandchild{child.hwnd()};
    HWND popup = nullptr;
    ~Windows() {
        if (popup != nullptr) DestroyWindow(popup);
    }
};

enum class Given { None, Other, Child, Grandchild, Main };
enum class App { None, WithoutMainWindow, WithMainWindow, WithMainWindowAndPopup };
enum class Expect { None, Other, Main, Popup };

struct OwnerCase {
    const char* name;
    Given given;
    App app;
    Expect expected;
};

void PrintTo(const OwnerCase& c, std::ostream* os) { *os << c.name; }

class SafeOwnerTest : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(SafeOwnerTest, ChoosesTheOwner) {
    const OwnerCase& c = GetParam();
    Windows w;
    ASSERT_TRUE(w.other.hwnd() && w.main.hwnd() && w.child.hwnd() && w.grandchild.hwnd());

    std::unique_ptr<CWinApp> app;
    if (c.app != App::None) app = std::make_unique<CWinApp>();
    if (c.app == App::WithMainWindow || c.app == App::WithMainWindowAndPopup) {
        app->m_hMainWnd = w.main.hwnd();
        ShowWindow(w.main.hwnd(), SW_SHOW);
        SetActiveWindow(w.main.hwnd());
    }
    if (c.app == App::WithMainWindowAndPopup) {
        w.popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 100, 80,
                                  w.main.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, w.popup);
        // A thread that is not the foreground one cannot make its window active, and in a
        // parallel run another test's window may take the foreground at any time: ask again
        // until the pop-up is the main window's active one.
        ASSERT_TRUE(PumpUntil([&] {
            if (GetLastActivePopup(w.main.hwnd()) == w.popup) return true;
            SetForegroundWindow(w.popup);
            SetActiveWindow(w.popup);
            return false;
        }));
    }

    HWND given = nullptr;
    switch (c.given) {
        case Given::None:
            break;
        case Given::Other:
            given = w.other.hwnd();
            break;
        case Given::Child:
            given = w.child.hwnd();
            break;
        case Given::Grandchild:
            given = w.grandchild.hwnd();
            break;
        case Given::Main:
            given = w.main.hwnd();
            break;
    }
    HWND expected = nullptr;
    switch (c.expected) {
        case Expect::None:
            break;
        case Expect::Other:
            expected = w.other.hwnd();
            break;
        case Expect::Main:
            expected = w.main.hwnd();
            break;
        case Expect::Popup:
            expected = w.popup;
            break;
    }
    EXPECT_EQ(expected, GetSafeOwner(given));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeOwnerTest,
    ::testing::Values(
        OwnerCase{"GivenParentIsTheOwner", Given::Other, App::None, Expect::Other},
        OwnerCase{"GivenParentWinsOverTheMainWindow", Given::Other, App::WithMainWindowAndPopup,
                  Expect::Other},
        OwnerCase{"GivenMainWindowIsNotReplacedByItsPopup", Given::Main, App::WithMainWindowAndPopup,
                  Expect::Main},
        OwnerCase{"ChildIsReplacedByItsTopLevelParent", Given::Child, App::WithMainWindow, Expect::Other},
        OwnerCase{"GrandchildIsReplacedByItsTopLevelAncestor", Given::Grandchild, App::None, Expect::Other},
        OwnerCase{"NoneGivesTheMainWindow", Given::None, App::WithMainWindow, Expect::Main},
        OwnerCase{"NoneGivesTheMainWindowsActivePopup", Given::None, App::WithMainWindowAndPopup,
                  Expect::Popup},
        OwnerCase{"NoneAndNoMainWindowGivesNone", Given::None, App::WithoutMainWindow, Expect::None},
        OwnerCase{"NoneAndNoApplicationGivesNone", Given::None, App::None, Expect::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafeOwnerMainWindowTest, DestroyedMainWindowCountsAsNone) {
    CWinApp app;
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    app.m_hMainWnd = gone;
    DestroyWindow(gone);
    EXPECT_EQ(nullptr, GetSafeOwner(nullptr));
}

}  // namespace
