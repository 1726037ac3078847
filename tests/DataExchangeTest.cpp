// Dialog data exchange: edit texts, radio groups and controls bound to members, both ways.
#include "framework/DataExchange.h"
#include "framework/Dialog.h"

#include "FrameworkTestIds.h"
#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Counts the texts set on the control it is bound to.
class TextCountingWnd : public CWnd {
public:
    int setTexts = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETTEXT) ++setTexts;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(IDD_TEST_DIALOG) {}
    std::string m_text;
    int m_choice = -1;
    bool bindEdit = false;
    TextCountingWnd m_edit;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (bindEdit) DDX_Control(pDX, IDC_TEST_EDIT, m_edit);
        DDX_Text(pDX, IDC_TEST_EDIT, m_text);
        DDX_Radio(pDX, IDC_TEST_RADIO_A, m_choice);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create()); }
    UINT Checked(int id) { return dlg.IsDlgButtonChecked(id); }
    std::vector<UINT> GroupChecks() {
        return {Checked(IDC_TEST_RADIO_A), Checked(IDC_TEST_RADIO_B), Checked(IDC_TEST_RADIO_C)};
    }
    ExchangeDialog dlg;
};

struct RadioCase {
    const char* name;
    int value;
    std::vector<UINT> checks;
};

void PrintTo(const RadioCase& c, std::ostream* os) { *os << c.name; }

class RadioGroupTest : public DataExchangeTest, public ::testing::WithParamInterface<RadioCase> {};

TEST_P(RadioGroupTest, ValueSetsItsButtonOnlyAndReadsBack) {
    // Start from every button checked, the next group's one included.
    for (int id : {IDC_TEST_RADIO_A, IDC_TEST_RADIO_B, IDC_TEST_RADIO_C, IDC_TEST_OTHER_RADIO})
        dlg.CheckDlgButton(id, BST_CHECKED);
    dlg.m_choice = GetParam().value;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(GetParam().checks, GroupChecks());
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), Checked(IDC_TEST_OTHER_RADIO)) << "the group ends at WS_GROUP";

    dlg.m_choice = 99;
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(GetParam().value, dlg.m_choice);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RadioGroupTest,
    ::testing::Values(RadioCase{"None", -1, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
                      RadioCase{"First", 0, {BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED}},
                      RadioCase{"Second", 1, {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED}},
                      RadioCase{"Third", 2, {BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataExchangeTest, ClickedRadioButtonIsReadAsItsIndex) {
    dlg.m_choice = 0;
    dlg.UpdateData(FALSE);
    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_RADIO_C), BM_CLICK, 0, 0);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(2, dlg.m_choice);
    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_RADIO_B), BM_CLICK, 0, 0);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(1, dlg.m_choice);
}

TEST_F(DataExchangeTest, ButtonOfTheNextGroupDoesNotCountForThisGroup) {
    dlg.m_choice = -1;
    dlg.UpdateData(FALSE);
    dlg.CheckDlgButton(IDC_TEST_OTHER_RADIO, BST_CHECKED);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(-1, dlg.m_choice);
}

struct TextCase {
    const char* name;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class EditTextTest : public DataExchangeTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(EditTextTest, MemberIsShownAndTypedTextIsRead) {
    dlg.m_text = GetParam().text;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(GetParam().text, dlg.GetDlgItemText(IDC_TEST_EDIT));

    const std::string typed = "x" + GetParam().text;
    dlg.SetDlgItemText(IDC_TEST_EDIT, typed);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(typed, dlg.m_text);
}

INSTANTIATE_TEST_SUITE_P(Texts, EditTextTest,
                         ::testing::Values(TextCase{"Empty", ""}, TextCase{"Plain", "plain text"},
                                           // "テスト" in Shift_JIS, then a character with trail byte 0x5C
                                           TextCase{"ShiftJis", "\x83\x65\x83\x58\x83\x67\x95\x5c"},
                                           TextCase{"Long", std::string(2000, 'w')}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataExchangeTest, EmptiedEditGivesEmptyMember) {
    dlg.m_text = "something";
    dlg.UpdateData(FALSE);
    dlg.SetDlgItemText(IDC_TEST_EDIT, "");
    dlg.UpdateData(TRUE);
    EXPECT_EQ("", dlg.m_text);
}

TEST(DataExchangeControlTest, BoundMemberHoldsTheControlSeesItsMessagesAndLetsGoWithTheDialog) {
    ExchangeDialog dlg;
    dlg.bindEdit = true;
    ASSERT_TRUE(dlg.Create());  // OnInitDialog exchanges into the controls: binds m_edit
    HWND edit = dlg.GetDlgItem(IDC_TEST_EDIT);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(edit, dlg.m_edit.m_hWnd);
    EXPECT_EQ(&dlg.m_edit, CWnd::FromHandle(edit));

    const int before = dlg.m_edit.setTexts;
    dlg.m_edit.SetWindowText("through the member");
    EXPECT_EQ(before + 1, dlg.m_edit.setTexts);
    EXPECT_EQ("through the member", dlg.GetDlgItemText(IDC_TEST_EDIT));

    dlg.UpdateData(TRUE);  // binding again keeps the same control
    EXPECT_EQ(edit, dlg.m_edit.m_hWnd);
    EXPECT_EQ("through the member", dlg.m_text);

    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(edit));

    ASSERT_TRUE(dlg.Create());  // a new window binds the member to its new control
    EXPECT_EQ(dlg.GetDlgItem(IDC_TEST_EDIT), dlg.m_edit.m_hWnd);
    EXPECT_EQ(&dlg.m_edit, CWnd::FromHandle(dlg.m_edit.m_hWnd));
}

}  // namespace
