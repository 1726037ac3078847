// CDialog: modal runs and their results, the message routing to handlers, modeless windows
// and their keyboard handling.
#include "framework/Dialog.h"
#include "framework/WinApp.h"

#include "FrameworkTestIds.h"
#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kStepMessage = WM_APP + 1;     // handled: runs the test's step
constexpr UINT kAnswerMessage = WM_APP + 2;   // handled: answers wParam + lParam
constexpr UINT kIgnoredMessage = WM_APP + 3;  // not handled

class TestDialog : public CDialog {
public:
    explicit TestDialog(HWND parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}

    std::string m_text;
    int m_choice = 0;

    std::function<void(TestDialog&)> onInit;  // runs after the default initialisation
    std::function<void(TestDialog&)> onStep;  // runs on kStepMessage
    std::vector<UINT> commands;
    std::vector<WPARAM> sysCommands;
    int okCalls = 0;
    int cancelCalls = 0;
    int paints = 0;
    HICON dragIcon = LoadIcon(nullptr, IDI_APPLICATION);

    void Post(UINT msg) { PostMessage(msg); }
    void Click(int id) { ::PostMessageA(GetDlgItem(id), BM_CLICK, 0, 0); }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_TEST_EDIT, m_text);
        DDX_Radio(pDX, IDC_TEST_RADIO_A, m_choice);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }

    BOOL OnCommand(UINT id, UINT code) override {
        if (id == IDC_TEST_BUTTON && code == BN_CLICKED) {
            commands.push_back(id);
            EndDialog(77);
            return TRUE;
        }
        return CDialog::OnCommand(id, code);
    }

    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }

    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }

    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        switch (msg) {
            case kStepMessage:
                if (onStep) onStep(*this);
                return TRUE;
            case kAnswerMessage:
                *result = static_cast<LRESULT>(wParam + lParam);
                return TRUE;
            case WM_QUERYDRAGICON:
                *result = reinterpret_cast<LRESULT>(dragIcon);
                return TRUE;
            case WM_SYSCOMMAND:
                if ((wParam & 0xFFF0) != 0x0010) break;
                sysCommands.push_back(wParam);
                return TRUE;
            case WM_PAINT: {
                ++paints;
                PAINTSTRUCT ps;
                BeginPaint(m_hWnd, &ps);
                EndPaint(m_hWnd, &ps);
                return TRUE;
            }
            default:
                break;
        }
        return CDialog::OnMessage(msg, wParam, lParam, result);
    }
};

TEST(ModalDialogTest, OkReadsTheControlsIntoTheMembersAndReturnsIdok) {
    TestDialog dlg;
    dlg.m_text = "before";
    dlg.m_choice = 1;
    std::string shownText;
    std::vector<UINT> shownChecks;
    dlg.onInit = [&](TestDialog& d) {
        shownText = d.GetDlgItemText(IDC_TEST_EDIT);
        for (int id : {IDC_TEST_RADIO_A, IDC_TEST_RADIO_B, IDC_TEST_RADIO_C})
            shownChecks.push_back(d.IsDlgButtonChecked(id));
        d.SetDlgItemText(IDC_TEST_EDIT, "after");
        d.Click(IDC_TEST_RADIO_C);
        d.Click(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("before", shownText);
    EXPECT_EQ((std::vector<UINT>{BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED}), shownChecks);
    EXPECT_EQ(1, dlg.okCalls);
    EXPECT_EQ(0, dlg.cancelCalls);
    EXPECT_EQ("after", dlg.m_text);
    EXPECT_EQ(2, dlg.m_choice);
}

TEST(ModalDialogTest, CancelReturnsIdcancelAndLeavesTheMembers) {
    TestDialog dlg;
    dlg.m_text = "kept";
    dlg.onInit = [](TestDialog& d) {
        d.SetDlgItemText(IDC_TEST_EDIT, "typed");
        d.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, dlg.cancelCalls);
    EXPECT_EQ(0, dlg.okCalls);
    EXPECT_EQ("kept", dlg.m_text);
}

TEST(ModalDialogTest, CloseBoxIsCancel) {
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) { d.Post(WM_CLOSE); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, dlg.cancelCalls);
}

TEST(ModalDialogTest, OwnCommandHandlerEndsWithItsResult) {
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) { d.Click(IDC_TEST_BUTTON); };
    EXPECT_EQ(77, dlg.DoModal());
    EXPECT_EQ(std::vector<UINT>{IDC_TEST_BUTTON}, dlg.commands);
    EXPECT_EQ(0, dlg.okCalls);
}

TEST(ModalDialogTest, RunsOverItsParentWhichIsDisabledMeanwhile) {
    TestWindow parent;
    TestDialog dlg(parent.hwnd());
    HWND owner = nullptr;
    BOOL parentEnabled = TRUE;
    dlg.onInit = [](TestDialog& d) { d.Post(kStepMessage); };
    dlg.onStep = [&](TestDialog& d) {
        owner = GetWindow(d.m_hWnd, GW_OWNER);
        parentEnabled = IsWindowEnabled(parent.hwnd());
        d.EndDialog(5);
    };
    EXPECT_EQ(5, dlg.DoModal());
    EXPECT_EQ(parent.hwnd(), owner);
    EXPECT_FALSE(parentEnabled);
    EXPECT_TRUE(IsWindowEnabled(parent.hwnd()));
}

TEST(ModalDialogTest, WindowMapsToTheObjectOnlyWhileItExists) {
    TestDialog dlg;
    HWND hwnd = nullptr;
    CWnd* mapped = nullptr;
    dlg.onInit = [&](TestDialog& d) {
        hwnd = d.m_hWnd;
        mapped = CWnd::FromHandle(hwnd);
        d.Click(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(&dlg, mapped);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

TEST(ModalDialogTest, MessageHookGivesResultsBothWaysTheDialogManagerReadsThem) {
    TestDialog dlg;
    LRESULT dragIcon = 0, answer = 0, ignored = -1;
    int paintsAfterUpdate = 0;
    dlg.onInit = [&](TestDialog& d) {
        // WM_QUERYDRAGICON's result is the procedure's return value; the others' DWLP_MSGRESULT.
        dragIcon = d.SendMessage(WM_QUERYDRAGICON);
        answer = d.SendMessage(kAnswerMessage, 40, 2);
        ignored = d.SendMessage(kIgnoredMessage, 1, 1);
        d.SendMessage(WM_SYSCOMMAND, 0x0010);
        d.Post(kStepMessage);
    };
    dlg.onStep = [&](TestDialog& d) {
        d.ShowWindow(SW_SHOW);  // a modal dialog shows itself only once its queue is empty
        InvalidateRect(d.m_hWnd, nullptr, TRUE);
        UpdateWindow(d.m_hWnd);
        paintsAfterUpdate = d.paints;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.dragIcon), dragIcon);
    EXPECT_EQ(42, answer);
    EXPECT_EQ(0, ignored);
    EXPECT_EQ(std::vector<WPARAM>{0x0010}, dlg.sysCommands);
    EXPECT_GE(paintsAfterUpdate, 1);
}

TEST(ModalDialogTest, MissingTemplateGivesMinusOne) {
    CDialog dlg(8999);
    EXPECT_EQ(-1, dlg.DoModal());
}

// A modeless window that, like a progress window, ignores Enter and Esc.
class QuietModeless : public CDialog {
public:
    QuietModeless() : CDialog(IDD_TEST_MODELESS) {}
    int okCalls = 0;
    int cancelCalls = 0;
    int destroyCalls = 0;
    BOOL DestroyWindow() override {
        ++destroyCalls;
        return CDialog::DestroyWindow();
    }

protected:
    void OnOK() override { ++okCalls; }
    void OnCancel() override { ++cancelCalls; }
};

TEST(ModelessDialogTest, CreateShowsAWindowOwnedByTheParent) {
    TestWindow parent;
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create(parent.hwnd()));
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_FALSE(dlg.IsModal());
    EXPECT_EQ(parent.hwnd(), GetWindow(dlg.m_hWnd, GW_OWNER));
    EXPECT_EQ(&dlg, CWnd::FromHandle(dlg.m_hWnd));
    EXPECT_TRUE(dlg.DestroyWindow());
}

TEST(ModelessDialogTest, WithoutParentTheMainWindowOwnsIt) {
    CWinApp app;
    TestWindow main;
    app.m_hMainWnd = main.hwnd();
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(main.hwnd(), GetWindow(dlg.m_hWnd, GW_OWNER));
}

struct KeyCase {
    const char* name;
    WPARAM key;
    int ok;
    int cancel;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class ModelessKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ModelessKeyTest, KeyReachesTheOverrideAndTheWindowStays) {
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create());
    HWND edit = dlg.GetDlgItem(IDC_TEST_MODELESS_EDIT);
    SetFocus(edit);
    PostMessageA(edit, WM_KEYDOWN, GetParam().key, 1);
    EXPECT_TRUE(PumpUntil([&] { return dlg.okCalls + dlg.cancelCalls > 0; }, &dlg));
    PumpPending(&dlg);
    EXPECT_EQ(GetParam().ok, dlg.okCalls);
    EXPECT_EQ(GetParam().cancel, dlg.cancelCalls);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(0, dlg.destroyCalls);
}

INSTANTIATE_TEST_SUITE_P(Keys, ModelessKeyTest,
                         ::testing::Values(KeyCase{"Enter", VK_RETURN, 1, 0},
                                           KeyCase{"Esc", VK_ESCAPE, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModelessDialogTest, OkCancelAndCloseCommandsReachTheOverridesAndTheWindowStays) {
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDOK)));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDCANCEL)));
    dlg.SendMessage(WM_CLOSE);
    PumpPending(&dlg);
    EXPECT_EQ(1, dlg.okCalls);
    EXPECT_EQ(2, dlg.cancelCalls);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
}

class PlainModeless : public CDialog {
public:
    PlainModeless() : CDialog(IDD_TEST_MODELESS) {}
    std::string m_text;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_TEST_MODELESS_EDIT, m_text); }
};

TEST(ModelessDialogTest, DefaultOkSavesTheDataAndDestroysTheWindow) {
    PlainModeless dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.m_hWnd;
    dlg.SetDlgItemText(IDC_TEST_MODELESS_EDIT, "typed");
    PostMessageA(dlg.GetDlgItem(IDC_TEST_MODELESS_EDIT), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, &dlg));
    EXPECT_EQ("typed", dlg.m_text);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

TEST(ModelessDialogTest, DestroyWindowEndsTheWindowAndTheMapping) {
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.m_hWnd;
    CWnd& asWnd = dlg;
    EXPECT_TRUE(asWnd.DestroyWindow());
    EXPECT_EQ(1, dlg.destroyCalls);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
    EXPECT_FALSE(dlg.DestroyWindow());
}

TEST(ModelessDialogTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd = nullptr;
    {
        QuietModeless dlg;
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.m_hWnd;
        ASSERT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

TEST(ModelessDialogTest, SecondCreateWhileOpenIsRefused) {
    QuietModeless dlg;
    ASSERT_TRUE(dlg.Create());
    HWND first = dlg.m_hWnd;
    EXPECT_FALSE(dlg.Create());
    EXPECT_EQ(first, dlg.m_hWnd);
}

TEST(WinAppTest, DialogControlsCanBeEnabledAndTheirClassesExist) {
    CWinApp app;
    EXPECT_TRUE(app.EnableDialogControls());
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    for (const char* cls : {PROGRESS_CLASSA, WC_LISTVIEWA}) {
        EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), cls, &wc)) << cls;
    }
}

}  // namespace
