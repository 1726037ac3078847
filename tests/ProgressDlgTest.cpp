// The progress window as the export run uses it, on real windows.
#include "export/ProgressDlg.h"

#include "framework/WinApp.h"
#include "res/resource.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

namespace {

// An application whose main window is a plain top-level window, as the source dialog is.
class ProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        m_owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
        m_app.m_hMainWnd = m_owner;
    }
    void TearDown() override { DestroyWindow(m_owner); }

    std::string PercentText(const CProgressDlg& dlg) const {
        return dlg.GetDlgItemText(IDC_PROGRESS_PERCENT);
    }

    CWinApp m_app;
    HWND m_owner = nullptr;
};

TEST_F(ProgressDlgTest, TemplateTextUntilTheFirstPositionThenPercent) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_EQ(" 0 %", PercentText(dlg));
    dlg.SetProgress(0);
    EXPECT_EQ("0%", PercentText(dlg));
    dlg.SetProgress(37);
    EXPECT_EQ("37%", PercentText(dlg));
    dlg.SetProgress(100);
    EXPECT_EQ("100%", PercentText(dlg));
}

TEST_F(ProgressDlgTest, SetProgressReturnsThePreviousPosition) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.SetProgress(33);
    EXPECT_EQ(33, dlg.SetProgress(66));
    EXPECT_EQ(66, dlg.SetProgress(100));
}

struct PercentCase {
    int position;
    const char* text;
};

class ShowPercentCases : public ProgressDlgTest, public ::testing::WithParamInterface<PercentCase> {};

void PrintTo(const PercentCase& c, std::ostream* os) { *os << c.position; }

TEST_P(ShowPercentCases, FormatsTheNumberAndASign) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.ShowPercent(GetParam().position);
    EXPECT_EQ(GetParam().text, PercentText(dlg));
}

INSTANTIATE_TEST_SUITE_P(Table, ShowPercentCases,
                         ::testing::Values(PercentCase{0, "0%"}, PercentCase{1, "1%"}, PercentCase{99, "99%"},
                                           PercentCase{100, "100%"}, PercentCase{101, "1%"},
                                           PercentCase{250, "50%"}, PercentCase{-5, "-5%"}),
                         [](const ::testing::TestParamInfo<PercentCase>& info) {
                             return "Position" + NumberName(info.param.position);
                         });

// Counts the messages of one kind (the subclass id) a control is sent.
LRESULT CALLBACK CountMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR kind,
                              DWORD_PTR counter) {
    if (msg == kind) ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(hWnd, msg, wParam, lParam);
}

// An unchanged position neither moves the bar nor reads or sets the percent text again, and
// still returns the position the bar holds.
TEST_F(ProgressDlgTest, AnUnchangedPositionIsNotSetAgain) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    int setTexts = 0, getTexts = 0, setPositions = 0;
    HWND percent = dlg.GetDlgItem(IDC_PROGRESS_PERCENT);
    HWND bar = dlg.GetDlgItem(IDC_PROGRESS_BAR);
    ASSERT_TRUE(SetWindowSubclass(percent, CountMessage, WM_SETTEXT, reinterpret_cast<DWORD_PTR>(&setTexts)));
    ASSERT_TRUE(SetWindowSubclass(percent, CountMessage, WM_GETTEXT, reinterpret_cast<DWORD_PTR>(&getTexts)));
    ASSERT_TRUE(SetWindowSubclass(bar, CountMessage, PBM_SETPOS, reinterpret_cast<DWORD_PTR>(&setPositions)));
    EXPECT_EQ(0, dlg.SetProgress(0));
    EXPECT_EQ(1, setTexts) << "the first position shows its percent";
    dlg.SetProgress(37);
    const int reads = getTexts;
    EXPECT_EQ(37, dlg.SetProgress(37));
    EXPECT_EQ(2, setTexts);
    EXPECT_EQ(reads, getTexts);
    EXPECT_EQ(2, setPositions);
    EXPECT_EQ(37, dlg.SetProgress(38));
    EXPECT_EQ(3, setTexts);
    EXPECT_EQ(3, setPositions);
    EXPECT_EQ("38%", PercentText(dlg));
    RemoveWindowSubclass(percent, CountMessage, WM_SETTEXT);
    RemoveWindowSubclass(percent, CountMessage, WM_GETTEXT);
    RemoveWindowSubclass(bar, CountMessage, PBM_SETPOS);
}

TEST_F(ProgressDlgTest, CaptionMessageAndNoCloseBox) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_EQ("\x8f\x88\x97\x9d\x92\x86...", dlg.GetWindowText());  // 処理中...
    dlg.SetMessage("writing");
    EXPECT_EQ("writing", dlg.GetDlgItemText(IDC_PROGRESS_MESSAGE));
    const LONG style = GetWindowLongA(dlg.m_hWnd, GWL_STYLE);
    EXPECT_EQ(0, style & WS_SYSMENU);
    EXPECT_NE(0, style & WS_VISIBLE);
    EXPECT_EQ(m_owner, GetWindow(dlg.m_hWnd, GW_OWNER));
}

TEST_F(ProgressDlgTest, OwnerIsDisabledWhileShownAndEnabledAfter) {
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(nullptr));
        EXPECT_FALSE(IsWindowEnabled(m_owner));
    }
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDlgTest, OwnerDisabledBeforeStaysDisabled) {
    EnableWindow(m_owner, FALSE);
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(nullptr));
        dlg.SetProgress(50);
    }
    EXPECT_FALSE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDlgTest, ObjectNeverCreatedLeavesTheOwnerAlone) {
    EnableWindow(m_owner, FALSE);
    { CProgressDlg dlg; }
    EXPECT_FALSE(IsWindowEnabled(m_owner));
    EnableWindow(m_owner, TRUE);
    { CProgressDlg dlg; }
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDlgTest, EnterAndEscapeDoNotCloseTheWindow) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.m_hWnd;
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageA(window, WM_KEYDOWN, key, 0);
        PostMessageA(window, WM_KEYUP, key, 0);
        dlg.SetProgress(10);  // pumps the keys through the dialog's keyboard handling
        EXPECT_TRUE(IsWindow(window));
    }
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(window, dlg.m_hWnd);
}

LRESULT CALLBACK CountAppMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR counter) {
    if (msg == WM_APP + 1) ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(hWnd, msg, wParam, lParam);
}

TEST_F(ProgressDlgTest, PumpDispatchesWaitingMessagesOfOtherWindows) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    int dispatched = 0;
    ASSERT_TRUE(SetWindowSubclass(m_owner, CountAppMessage, 1, reinterpret_cast<DWORD_PTR>(&dispatched)));
    PostMessageA(m_owner, WM_APP + 1, 0, 0);
    PostMessageA(m_owner, WM_APP + 1, 0, 0);
    dlg.SetProgress(1);
    EXPECT_EQ(2, dispatched);
    RemoveWindowSubclass(m_owner, CountAppMessage, 1);
}

TEST_F(ProgressDlgTest, WithoutAWindowPositionsNeitherFailNorStop) {
    CProgressDlg dlg;
    dlg.SetMessage("x");
    EXPECT_EQ(0, dlg.SetProgress(50));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

}  // namespace
