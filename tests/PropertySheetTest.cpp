// The wizard sheet and its pages, driven by pressing its buttons from a timer while
// DoModal runs: moves and stays, results, activations, the Help button, the page-to-sheet way.
#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"

#include "FrameworkTestIds.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

class TestPage : public CPropertyPage {
public:
    TestPage(UINT templateId, int index, std::vector<int>& activations)
        : CPropertyPage(templateId), m_index(index), m_activations(activations) {}

    LRESULT nextResult = 0;
    LRESULT backResult = 0;
    BOOL finishResult = TRUE;
    int endOnBack = 0;          // not 0: Back ends the sheet with this result
    DWORD buttonsOnActive = 0;  // not 0: posted to the sheet on every activation
    int inits = 0, setActives = 0, nexts = 0, backs = 0, finishes = 0;
    CPropertySheet* sheetSeen = nullptr;
    HWND parentSeen = nullptr;
    std::string m_text;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_TEST_PAGE_EDIT, m_text); }

    BOOL OnInitDialog() override {
        ++inits;
        return CPropertyPage::OnInitDialog();
    }

    BOOL OnSetActive() override {
        ++setActives;
        m_activations.push_back(m_index);
        sheetSeen = GetSheet();
        parentSeen = GetParent();
        if (buttonsOnActive != 0 && sheetSeen != nullptr) sheetSeen->SetWizardButtons(buttonsOnActive);
        return CPropertyPage::OnSetActive();
    }

    LRESULT OnWizardNext() override {
        ++nexts;
        return nextResult;
    }

    LRESULT OnWizardBack() override {
        ++backs;
        if (endOnBack != 0) {
            GetSheet()->EndDialog(endOnBack);
            return -1;
        }
        return backResult;
    }

    BOOL OnWizardFinish() override {
        ++finishes;
        return finishResult;
    }

private:
    int m_index;
    std::vector<int>& m_activations;
};

class TestSheet : public CPropertySheet {
public:
    TestSheet()
        : CPropertySheet(IDS_TEST_SHEET_CAPTION),
          page1(IDD_TEST_PAGE1, 0, activations),
          page2(IDD_TEST_PAGE2, 1, activations),
          page3(IDD_TEST_PAGE3, 2, activations) {
        AddPage(&page1);
        AddPage(&page2);
        AddPage(&page3);
        m_psh.dwFlags |= PSH_WIZARD;
    }
    std::vector<int> activations;
    TestPage page1, page2, page3;

    // Index of the page shown now, -1 when none of ours.
    int CurrentPage() {
        HWND current = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
        const TestPage* pages[] = {&page1, &page2, &page3};
        for (int i = 0; i < 3; ++i)
            if (current != nullptr && pages[i]->m_hWnd == current) return i;
        return -1;
    }
    HWND Button(int id) { return GetDlgItem(id); }
};

// Runs `sheet` modally and one step per timer tick while it runs. A press that a step
// posts is handled before the next tick, since a timer comes only when nothing else waits.
class WizardDriver {
public:
    using Step = std::function<void(TestSheet&)>;

    INT_PTR Run(TestSheet& sheet, std::vector<Step> steps) {
        m_sheet = &sheet;
        m_steps = std::move(steps);
        m_next = 0;
        m_ticks = 0;
        forcedEnd = false;
        s_current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &WizardDriver::Tick);
        const INT_PTR result = sheet.DoModal();
        KillTimer(nullptr, timer);
        s_current = nullptr;
        stepsRun = m_next;
        return result;
    }

    size_t stepsRun = 0;
    bool forcedEnd = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WizardDriver* d = s_current;
        if (d == nullptr || d->m_sheet->m_hWnd == nullptr) return;
        if (d->m_next < d->m_steps.size()) {
            d->m_steps[d->m_next++](*d->m_sheet);
        } else if (++d->m_ticks > 100) {
            // The steps are done but the sheet is still open: end it so the test can fail.
            d->forcedEnd = true;
            d->m_sheet->PressButton(PSBTN_CANCEL);
        }
    }

    static WizardDriver* s_current;
    TestSheet* m_sheet = nullptr;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_ticks = 0;
};

WizardDriver* WizardDriver::s_current = nullptr;

WizardDriver::Step Press(int button) {
    return [button](TestSheet& s) { s.PressButton(button); };
}

WizardDriver::Step Record(std::vector<int>& pages) {
    return [&pages](TestSheet& s) { pages.push_back(s.CurrentPage()); };
}

class PropertySheetTest : public ::testing::Test {
protected:
    TestSheet sheet;
    WizardDriver driver;
    std::vector<int> seen;
};

TEST_F(PropertySheetTest, NextNextFinishReturnsWizFinish) {
    const INT_PTR result = driver.Run(sheet, {Record(seen), Press(PSBTN_NEXT), Record(seen),
                                              Press(PSBTN_NEXT), Record(seen), Press(PSBTN_FINISH)});
    EXPECT_EQ(ID_WIZFINISH, result);
    EXPECT_FALSE(driver.forcedEnd);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), seen);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), sheet.activations);
    EXPECT_EQ(1, sheet.page3.finishes);
    EXPECT_EQ(nullptr, sheet.m_hWnd);
}

TEST_F(PropertySheetTest, CancelOnAnyPageReturnsIdcancel) {
    for (int pagesToGo = 0; pagesToGo < 3; ++pagesToGo) {
        TestSheet fresh;
        std::vector<WizardDriver::Step> steps;
        for (int i = 0; i < pagesToGo; ++i) steps.push_back(Press(PSBTN_NEXT));
        steps.push_back(Record(seen));
        steps.push_back(Press(PSBTN_CANCEL));
        EXPECT_EQ(IDCANCEL, driver.Run(fresh, steps)) << "cancel on page " << pagesToGo;
        EXPECT_FALSE(driver.forcedEnd);
        EXPECT_EQ(0, fresh.page3.finishes);
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2}), seen);
}

TEST_F(PropertySheetTest, NextResultMinusOneStaysAndZeroMoves) {
    sheet.page1.nextResult = -1;
    const INT_PTR result =
        driver.Run(sheet, {Press(PSBTN_NEXT), Record(seen), [](TestSheet& s) { s.page1.nextResult = 0; },
                           Press(PSBTN_NEXT), Record(seen), Press(PSBTN_CANCEL)});
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<int>{0, 1}), seen);
    EXPECT_EQ(2, sheet.page1.nexts);
    EXPECT_EQ((std::vector<int>{0, 1}), sheet.activations) << "staying activates nothing";
}

TEST_F(PropertySheetTest, BackResultMinusOneStaysAndZeroMovesBack) {
    sheet.page2.backResult = -1;
    const INT_PTR result = driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_BACK), Record(seen),
                                              [](TestSheet& s) { s.page2.backResult = 0; }, Press(PSBTN_BACK),
                                              Record(seen), Press(PSBTN_CANCEL)});
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<int>{1, 0}), seen);
    EXPECT_EQ(2, sheet.page2.backs);
}

TEST_F(PropertySheetTest, FinishRefusedStaysThenAllowedEnds) {
    sheet.page3.finishResult = FALSE;
    const INT_PTR result =
        driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_NEXT), Press(PSBTN_FINISH), Record(seen),
                           [](TestSheet& s) { s.page3.finishResult = TRUE; }, Press(PSBTN_FINISH)});
    EXPECT_EQ(ID_WIZFINISH, result);
    EXPECT_EQ(std::vector<int>{2}, seen);
    EXPECT_EQ(2, sheet.page3.finishes);
}

TEST_F(PropertySheetTest, EndDialogTwoFromAPageReturnsTwo) {
    sheet.page1.endOnBack = IDCANCEL;
    const INT_PTR result = driver.Run(sheet, {Record(seen), Press(PSBTN_BACK)});
    EXPECT_EQ(2, result);
    EXPECT_FALSE(driver.forcedEnd);
    EXPECT_EQ(1, sheet.page1.backs);
    EXPECT_EQ(std::vector<int>{0}, seen);
}

TEST_F(PropertySheetTest, EndDialogFromAPageReturnsTheResultGiven) {
    sheet.page2.endOnBack = IDABORT;
    EXPECT_EQ(IDABORT, driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_BACK)}));
    EXPECT_FALSE(driver.forcedEnd);
}

TEST_F(PropertySheetTest, PageEndDialogEndsTheSheet) {
    EXPECT_EQ(IDCANCEL, driver.Run(sheet, {[](TestSheet& s) { s.page1.EndDialog(IDCANCEL); }}));
    EXPECT_FALSE(driver.forcedEnd);
}

TEST_F(PropertySheetTest, OnSetActiveIsCalledOnEveryActivationAndOnInitDialogOnce) {
    const INT_PTR result =
        driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_BACK), Press(PSBTN_NEXT), Press(PSBTN_NEXT),
                           Press(PSBTN_BACK), Press(PSBTN_NEXT), Press(PSBTN_FINISH)});
    EXPECT_EQ(ID_WIZFINISH, result);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1, 2, 1, 2}), sheet.activations);
    EXPECT_EQ(2, sheet.page1.setActives);
    EXPECT_EQ(3, sheet.page2.setActives);
    EXPECT_EQ(2, sheet.page3.setActives);
    EXPECT_EQ(1, sheet.page1.inits);
    EXPECT_EQ(1, sheet.page2.inits);
    EXPECT_EQ(1, sheet.page3.inits);
}

TEST_F(PropertySheetTest, PageFindsItsSheetThroughItsParentWindow) {
    HWND sheetWindow = nullptr;
    driver.Run(sheet,
               {Press(PSBTN_NEXT), [&](TestSheet& s) { sheetWindow = s.m_hWnd; }, Press(PSBTN_CANCEL)});
    ASSERT_NE(nullptr, sheetWindow);
    EXPECT_EQ(&sheet, sheet.page1.sheetSeen);
    EXPECT_EQ(&sheet, sheet.page2.sheetSeen);
    EXPECT_EQ(sheetWindow, sheet.page1.parentSeen);
    EXPECT_EQ(nullptr, sheet.page1.GetSheet()) << "no window, no sheet";
}

TEST_F(PropertySheetTest, WindowTitleIsTheCurrentPagesTemplateCaption) {
    std::vector<std::string> titles;
    auto title = [&](TestSheet& s) { titles.push_back(s.GetWindowText()); };
    driver.Run(sheet, {title, Press(PSBTN_NEXT), title, Press(PSBTN_NEXT), title, Press(PSBTN_CANCEL)});
    EXPECT_EQ((std::vector<std::string>{"Page One", "Page Two", "Page Three"}), titles);
}

TEST_F(PropertySheetTest, HelpButtonOnlyWhileTheFlagIsSet) {
    struct Seen {
        bool exists = false;
        bool visible = false;
    };
    auto look = [](Seen& seen) {
        return [&seen](TestSheet& s) {
            HWND help = s.Button(IDHELP);
            seen.exists = help != nullptr;
            seen.visible = help != nullptr && IsWindowVisible(help);
        };
    };
    Seen withFlag, withoutFlag;
    driver.Run(sheet, {look(withFlag), Press(PSBTN_CANCEL)});

    TestSheet noHelp;
    noHelp.m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    driver.Run(noHelp, {look(withoutFlag), Press(PSBTN_CANCEL)});

    EXPECT_TRUE(withFlag.visible);
    EXPECT_FALSE(withoutFlag.exists);
    EXPECT_FALSE(withoutFlag.visible);
}

TEST_F(PropertySheetTest, PagePostsWizardButtons) {
    sheet.page3.buttonsOnActive = PSWIZB_BACK | PSWIZB_FINISH;
    struct State {
        bool backEnabled, nextVisible, finishVisible, finishEnabled;
    };
    std::vector<State> states;
    auto look = [&](TestSheet& s) {
        states.push_back({IsWindowEnabled(s.Button(kBackButton)) != FALSE,
                          IsWindowVisible(s.Button(kNextButton)) != FALSE,
                          IsWindowVisible(s.Button(kFinishButton)) != FALSE,
                          IsWindowEnabled(s.Button(kFinishButton)) != FALSE});
    };
    driver.Run(sheet, {look, Press(PSBTN_NEXT), Press(PSBTN_NEXT), look, Press(PSBTN_CANCEL)});
    ASSERT_EQ(2u, states.size());
    EXPECT_TRUE(states[0].nextVisible) << "start state: Next";
    EXPECT_FALSE(states[0].finishVisible);
    EXPECT_TRUE(states[1].backEnabled);
    EXPECT_FALSE(states[1].nextVisible) << "after PSWIZB_FINISH: Finish instead of Next";
    EXPECT_TRUE(states[1].finishVisible);
    EXPECT_TRUE(states[1].finishEnabled);
}

TEST_F(PropertySheetTest, PageDataIsReadWhenLeftAndShownAgainWhenReactivated) {
    sheet.page1.m_text = "initial";
    std::string shown, afterNext, reshown;
    driver.Run(sheet, {[&](TestSheet& s) {
                           shown = s.page1.GetDlgItemText(IDC_TEST_PAGE_EDIT);
                           s.page1.SetDlgItemText(IDC_TEST_PAGE_EDIT, "typed");
                       },
                       Press(PSBTN_NEXT),
                       [&](TestSheet& s) {
                           afterNext = s.page1.m_text;
                           s.page1.m_text = "from member";
                       },
                       Press(PSBTN_BACK),
                       [&](TestSheet& s) { reshown = s.page1.GetDlgItemText(IDC_TEST_PAGE_EDIT); },
                       Press(PSBTN_CANCEL)});
    EXPECT_EQ("initial", shown);
    EXPECT_EQ("typed", afterNext);
    EXPECT_EQ("from member", reshown);
}

TEST_F(PropertySheetTest, SheetCanRunAgainWithTheSamePages) {
    EXPECT_EQ(IDCANCEL, driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_CANCEL)}));
    sheet.activations.clear();
    EXPECT_EQ(ID_WIZFINISH, driver.Run(sheet, {Press(PSBTN_NEXT), Press(PSBTN_NEXT), Press(PSBTN_FINISH)}));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), sheet.activations);
    EXPECT_EQ(2, sheet.page1.inits) << "a new window for every run";
}

TEST_F(PropertySheetTest, CaptionComesFromTheStringTable) { EXPECT_EQ("Test Wizard", sheet.m_strCaption); }

}  // namespace
