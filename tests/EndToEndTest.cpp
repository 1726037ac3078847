// The real quillsheet.exe beside our nnotes.dll, operated only through its windows as a
// person would; then the CSV bytes, the log lines and what the shell was asked to open.
#include "EndToEndFixture.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <memory>

namespace {

using namespace e2e;

TEST_F(EndToEnd, LocalDatabaseSelectedFields) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {"Total", "Name"}, csvPath, nullptr}));
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ("Name,Total\r\nAlice,12\r\nBob,7\r\n\x8e\x81\x96\xbc,\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ("---RESULT   Close Notes DataBase is success.", log.back());
    EXPECT_EQ("---DEBUG    DB Path=" + dbPath, log[6]);
    Exit(source);
    EXPECT_EQ((std::vector<std::string>{logPath, csvPath}), Opened());
}

TEST_F(EndToEnd, ServerDatabaseAllFields) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    drv::SetDlgItemText(source, kServerName, "hub");
    drv::SetDlgItemText(source, kServerPath, "sales\\orders.nsf");
    drv::ClickDlgItem(source, kStart);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Note", {}, csvPath, nullptr}));
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ("Body,Subject\r\n,hello; world\r\n,\r\n,two  lines\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ("---DEBUG    DB Path=hub!!sales\\orders.nsf", log[6]);
    Exit(source);
}

TEST_F(EndToEnd, BackAndNextAcrossPagesNeverDoubleNamesAndFollowAChangedForm) {
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(dbPath, &source, &sheet, &combo));
    EXPECT_EQ((std::vector<std::string>{"Note", "Order"}), drv::ComboItems(combo))
        << "sorted, views left out";
    ASSERT_TRUE(drv::SelectComboItem(combo, "Order"));
    for (int round = 0; round < 2; ++round) {
        drv::PressWizardButton(sheet, PSBTN_NEXT);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
        drv::PressWizardButton(sheet, PSBTN_NEXT);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
        drv::PressWizardButton(sheet, PSBTN_BACK);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
        drv::PressWizardButton(sheet, PSBTN_BACK);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFormPageTitle; }));
    }
    // Another form now: page 2 lists its fields and forgets the old ones.
    ASSERT_TRUE(drv::SelectComboItem(combo, "Note"));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    HWND list = drv::FindDescendant(sheet, 1012);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ListItemCount(list) == 2; }));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    HWND edit = drv::FindDescendant(sheet, kExportPathEdit);
    // The proposal: the documents folder, a backslash, the database title and ".csv".
    const std::string documents = DocumentsFolder();
    ASSERT_FALSE(documents.empty());
    EXPECT_EQ(documents + "\\Orders.csv", drv::Text(edit));
    drv::SetText(edit, csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ("Body,Subject", lines[0]);
    Exit(source);
}

TEST_F(EndToEnd, GenuineFormOffersItsFieldsAndExportsOnlyItsDocuments) {
    // Forms as a designer saves them: the form note's items are $TITLE, $Info and $Body; the
    // customer form inserts a subform, and a page and an image resource share the form class.
    const std::string path = dir.File("data\\genuine.nsf");
    WriteNotesDatabase(path, R"("title":"Genuine","design":[
      {"class":"form","title":"Customer|cust","body":[{"name":"Company","type":"text"},{"name":"Sales","type":"number"}],
       "fields":[{"name":"$SubForms","type":"textlist","value":["Address"]}]},
      {"class":"form","title":"Address","flags":"U","body":[{"name":"City","type":"text"}]},
      {"class":"form","title":"Welcome","flags":"W","body":[]},
      {"class":"form","title":"logo.gif","flags":"i","body":[]},
      {"class":"form","title":["Memo","Note"],"body":[{"name":"Subject","type":"text"}]}],
    "documents":[
      {"items":[{"name":"Form","type":"text","value":"Customer"},{"name":"Company","type":"text","value":"A"},{"name":"Sales","type":"number","value":1},{"name":"City","type":"text","value":"Kyoto"}]},
      {"items":[{"name":"Form","type":"text","value":"Memo"},{"name":"Subject","type":"text","value":"x"}]},
      {"items":[{"name":"Form","type":"text","value":"CUST"},{"name":"Company","type":"text","value":"B"}]}])");
    HWND source = nullptr, sheet = nullptr, combo = nullptr;
    ASSERT_TRUE(OpenFormPage(path, &source, &sheet, &combo));
    EXPECT_EQ((std::vector<std::string>{"Customer|cust", "Memo|Note"}), drv::ComboItems(combo));
    ASSERT_TRUE(drv::SelectComboItem(combo, "Customer|cust"));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));
    HWND list = drv::FindDescendant(sheet, 1012);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ListItemCount(list) == 3; }));
    EXPECT_EQ("City", drv::ListItemText(list, 0));
    EXPECT_EQ("Company", drv::ListItemText(list, 1));
    EXPECT_EQ("Sales", drv::ListItemText(list, 2));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    drv::SetText(drv::FindDescendant(sheet, kExportPathEdit), csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ("City,Company,Sales\r\nKyoto,A,1\r\n,B,\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "---DEBUG    Skip Document: Form=Memo"));
    EXPECT_EQ(3, std::count(log.begin(), log.end(), "---RESULT   nsfNote.Open is success."));
    Exit(source);
}

TEST_F(EndToEnd, PagesRefuseNextWithoutAChoiceAndTheFieldModesSwitchTheList) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    HWND sheet = drv::WaitForDialog(app->pid(), drv::kFormPageTitle);
    ASSERT_NE(nullptr, sheet);
    // The title of the database is shown on the first page.
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(drv::FindDescendant(sheet, 1007)) == "Orders"; }));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    EXPECT_EQ(kTextChooseForm, NextMessage());
    EXPECT_EQ(drv::kFormPageTitle, drv::Text(sheet));
    ASSERT_TRUE(drv::SelectComboItem(drv::FindDescendant(sheet, 1008), "Order"));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kFieldPageTitle; }));

    HWND list = drv::FindDescendant(sheet, 1012);
    HWND page = GetParent(list);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ListItemCount(list) == 3; }));
    EXPECT_EQ("Date", drv::ListItemText(list, 0)) << "sorted, not in the form's order";
    EXPECT_EQ("Name", drv::ListItemText(list, 1));
    EXPECT_EQ("Total", drv::ListItemText(list, 2));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(page, 1013), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(list)) << "all fields: the list is filled but disabled";

    drv::ClickDlgItem(page, 1014);
    ASSERT_TRUE(drv::WaitUntil([&] { return IsWindowEnabled(list) != FALSE; }));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    EXPECT_EQ(kTextChooseFields, NextMessage());
    EXPECT_EQ(drv::kFieldPageTitle, drv::Text(sheet));
    drv::SelectListItem(list, 2, true);
    drv::ClickDlgItem(page, 1013);
    ASSERT_TRUE(drv::WaitUntil([&] { return IsWindowEnabled(list) == FALSE; }));
    drv::PressWizardButton(sheet, PSBTN_NEXT);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(sheet) == drv::kDestinationPageTitle; }));
    EXPECT_NE(nullptr, GetDlgItem(sheet, drv::kWizardFinish));
    drv::SetText(drv::FindDescendant(sheet, kExportPathEdit), csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    // All fields, whatever was selected while the list was disabled.
    const std::vector<std::string> lines = SplitCrLf(ReadFileBytes(csvPath));
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ("Date,Name,Total", lines[0]);
    Exit(source);
}

TEST_F(EndToEnd, CancelAndBackOnTheFirstPageWriteNothing) {
    // What the job could write: the log in the temporary folder (the test's folder) and the
    // CSV file the destination page proposes, in the documents folder (the test prefix's own).
    const std::string proposed = DocumentsFolder() + "\\Orders.csv";
    DeleteFileA(proposed.c_str());
    ASSERT_FALSE(FileExists(proposed)) << proposed;
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    const std::vector<std::string> before = FolderListing(dir.path());
    for (int button : {PSBTN_CANCEL, PSBTN_BACK}) {
        ChooseLocal(source, dbPath);
        HWND sheet = drv::WaitForDialog(app->pid(), drv::kFormPageTitle);
        ASSERT_NE(nullptr, sheet);
        drv::PressWizardButton(sheet, button);
        ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(sheet); }));
    }
    EXPECT_EQ(before, FolderListing(dir.path()));
    EXPECT_FALSE(FileExists(logPath));
    EXPECT_FALSE(FileExists(proposed)) << "the proposed CSV file";
    Exit(source);
}

TEST_F(EndToEnd, EmptyEntriesAndPathChecksInTheSourceDialog) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    drv::ClickDlgItem(source, kStart);
    EXPECT_EQ(kTextEnterServer, NextMessage());
    drv::SetDlgItemText(source, kServerName, "hub");
    drv::ClickDlgItem(source, kStart);
    EXPECT_EQ(kTextEnterPath, NextMessage());
    ChooseLocal(source, "");
    EXPECT_EQ(kTextEnterPath, NextMessage());
    ChooseLocal(source, "   ");
    EXPECT_EQ(kTextNotAbsolute, NextMessage());
    ChooseLocal(source, "orders.nsf");
    EXPECT_EQ(kTextNotAbsolute, NextMessage());
    // The texts stay for the user to correct.
    EXPECT_EQ("orders.nsf", drv::DlgItemText(source, kLocalPath));
    EXPECT_EQ("hub", drv::DlgItemText(source, kServerName));
    Exit(source);
}

TEST_F(EndToEnd, DestinationPageRefusesAnEmptyOrInvalidPath) {
    HWND source = nullptr, sheet = nullptr;
    ASSERT_TRUE(OpenDestinationPage(dbPath, "Order", &source, &sheet));
    HWND edit = drv::FindDescendant(sheet, kExportPathEdit);
    drv::SetText(edit, "");
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextChooseDestination, NextMessage());
    drv::SetText(edit, dir.File("a*b.csv"));
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(0u, NextMessage().find(kTextBadCharsFirstLine));
    // Leading blanks are accepted and stored without them; the edit keeps them.
    drv::SetText(edit, "  " + csvPath);
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_TRUE(FileExists(csvPath));
    Exit(source);
}

// The platform's Save dialog of the program, other than the windows already known: a
// dialog with the file name control of the common file dialog (edt1 or cmb13).
HWND WaitForSaveDialog(DWORD pid, const std::vector<HWND>& known) {
    constexpr int kFileNameEdit = 0x480;
    constexpr int kFileNameCombo = 0x47C;
    return drv::WaitForWindow(pid, [&](HWND w) {
        return std::find(known.begin(), known.end(), w) == known.end() && drv::WindowClass(w) == "#32770" &&
               (drv::FindDescendant(w, kFileNameEdit) != nullptr ||
                drv::FindDescendant(w, kFileNameCombo) != nullptr);
    });
}

// notes.ini names the data folder "Directory"; the library takes names without "=", so the
// browse button's "Directory=" finds nothing there and the second lookup finds the folder.
TEST_F(EndToEnd, BrowseProposesExportNsfInTheNotesDataDirectory) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    drv::ClickDlgItem(source, kRadioLocal);
    ASSERT_TRUE(
        drv::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(source, kBrowseDatabase)) != FALSE; }));
    drv::ClickDlgItem(source, kBrowseDatabase);
    HWND save = WaitForSaveDialog(app->pid(), {source});
    ASSERT_NE(nullptr, save);
    EXPECT_EQ(source, GetWindow(save, GW_OWNER));
    // Taking the proposal as it stands gives the folder and the name the dialog started with.
    drv::ClickDlgItem(save, IDOK);
    ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(save); }));
    EXPECT_EQ(dir.File("data\\Export.nsf"), drv::DlgItemText(source, kLocalPath));
    Exit(source);
}

// The Save dialog of the destination page is owned by the sheet, which it disables, so
// that Finish cannot be pressed behind it; the path chosen then reaches the edit.
TEST_F(EndToEnd, DestinationSaveDialogDisablesTheSheetWhileOpen) {
    HWND source = nullptr, sheet = nullptr;
    ASSERT_TRUE(OpenDestinationPage(dbPath, "Order", &source, &sheet));
    HWND edit = drv::FindDescendant(sheet, kExportPathEdit);
    drv::SetText(edit, csvPath);
    drv::Click(drv::FindDescendant(sheet, kBrowseCsv));
    HWND save = WaitForSaveDialog(app->pid(), {source, sheet});
    ASSERT_NE(nullptr, save);
    EXPECT_EQ(sheet, GetWindow(save, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(sheet)) << "the sheet stays live behind the Save dialog";
    EXPECT_FALSE(IsWindowEnabled(source));
    drv::ClickDlgItem(save, IDOK);
    ASSERT_TRUE(drv::WaitUntil([&] { return !IsWindow(save); }));
    EXPECT_TRUE(drv::WaitUntil([&] { return IsWindowEnabled(sheet) != FALSE; }));
    EXPECT_EQ(csvPath, drv::Text(edit));
    drv::PressWizardButton(sheet, PSBTN_FINISH);
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_TRUE(FileExists(csvPath));
    Exit(source);
}

TEST_F(EndToEnd, DestinationHeldByAnotherProgramShowsOneBoxAndEveryDocumentIsHandled) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    WriteFileBytes(csvPath, "kept");
    ExclusiveHolder other(csvPath);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {}, csvPath, nullptr}));
    EXPECT_EQ(csvPath + kTextSharing, NextMessage());
    EXPECT_EQ(IncompleteExportText(4), NextMessage()) << "the header and the three documents' lines";
    other.Release();
    EXPECT_EQ("kept", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    EXPECT_EQ(3, std::count(log.begin(), log.end(), "---RESULT   nsfNote.Open is success."));
    Exit(source);
}

TEST_F(EndToEnd, LogHeldByAnotherProgramShowsOneBoxAndTheExportStillRuns) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    WriteFileBytes(logPath, "held");
    ExclusiveHolder other(logPath);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {"Name"}, csvPath, nullptr}));
    EXPECT_EQ(logPath + kTextSharing, NextMessage());
    EXPECT_EQ(kTextFinished, NextMessage()) << "every later log line fails silently";
    EXPECT_EQ("Name\r\nAlice\r\nBob\r\n\x8e\x81\x96\xbc\r\n", ReadFileBytes(csvPath));
    other.Release();
    EXPECT_EQ("held", ReadFileBytes(logPath));
    Exit(source);
}

TEST_F(EndToEnd, LogFolderThatCannotBeWrittenShowsOneBoxAndTheExportStillRuns) {
    const std::string missing = dir.File("no-such-temp");
    HWND source = Start(missing);
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {"Name"}, csvPath, nullptr}));
    EXPECT_EQ(missing + "\\LOG.TXT" + kTextBadPath, NextMessage());
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ(4u, SplitCrLf(ReadFileBytes(csvPath)).size() - 1);
    Exit(source);
}

TEST_F(EndToEnd, BrokenDatabaseFilesShowTheNotesTextAndNoWizard) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    const std::string contents[] = {"", "{\"format\":\"quillsheet-notes-database\",\"version\":1,\"docu",
                                    "not a database", std::string(100000, '{')};
    for (const std::string& bytes : contents) {
        WriteFileBytes(dir.File("data\\broken.nsf"), bytes);
        ChooseLocal(source, dir.File("data\\broken.nsf"));
        EXPECT_EQ(kTextNotADatabase, NextMessage());
        ExpectOnlyTheseWindows(source);
    }
    EXPECT_FALSE(FileExists(logPath));
    Exit(source);
}

TEST_F(EndToEnd, NoteTableThatCannotBeHadLeavesTheHeaderAndNoCompletion) {
    std::string members = kOrders;
    WriteNotesDatabase(dbPath, members + R"(,"faults":{"NSFDbGetModifiedNoteTable":582})");
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {"Name"}, csvPath, nullptr}));
    EXPECT_EQ(kTextNotAuthorized, NextMessage());
    ExpectOnlyTheseWindows(source);  // no completion message
    EXPECT_EQ("Name\r\n", ReadFileBytes(csvPath));
    std::vector<std::string> expectedLog = WholeJobLog(dbPath, "Order", {});
    expectedLog.resize(13);  // up to the table's command, then what stopped it and what that left
    expectedLog.push_back(std::string("---ERROR    Notes error: ") + kTextNotAuthorized);
    expectedLog.push_back(SummaryLine(0, 0, 0, 0));
    expectedLog.push_back("---WARNING  Export stopped: the CSV file is incomplete");
    EXPECT_EQ(expectedLog, WithoutCopyright(LogTexts()));
    Exit(source);
}

TEST_F(EndToEnd, NoteThatVanishesAfterTheTableIsSkippedAndCounted) {
    std::string members = kOrders;
    // Note 104 is in the table but cannot be opened any more.
    members.replace(members.find(R"({"id":104,)"), 10, R"({"id":104,"faults":{"NSFNoteOpen":551},)");
    WriteNotesDatabase(dbPath, members);
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {"Order", {"Name"}, csvPath, nullptr}));
    EXPECT_EQ(kTextFinished, NextMessage());
    EXPECT_EQ("Name\r\nAlice\r\n\x8e\x81\x96\xbc\r\n", ReadFileBytes(csvPath));
    const std::vector<std::string> log = LogTexts();
    EXPECT_EQ(3, std::count(log.begin(), log.end(), "---COMMAND  nsfNote.Open"));
    EXPECT_EQ(2, std::count(log.begin(), log.end(), "---RESULT   nsfNote.Open is success."));
    Exit(source);
}

TEST_F(EndToEnd, EntriesOfTenThousandCharactersAreRefusedCleanly) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    drv::SetDlgItemText(source, kServerName, std::string(10000, 's'));
    drv::SetDlgItemText(source, kServerPath, std::string(10000, 'p'));
    drv::ClickDlgItem(source, kStart);
    EXPECT_EQ(kTextNotesPathTooLong, NextMessage());
    ChooseLocal(source, "C:\\" + std::string(10000, 'a'));
    EXPECT_EQ(0u, NextMessage().find("\x83t\x83@\x83"
                                     "C\x83\x8b\x96\xbc"))
        << "the length message";
    EXPECT_EQ(10000u, drv::DlgItemText(source, kServerName).size());
    Exit(source);
}

TEST_F(EndToEnd, DatabaseThatCannotBeOpenedShowsTheNotesTextAndNoWizard) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dir.File("data\\missing.nsf"));
    EXPECT_EQ(kTextNoSuchFile, NextMessage());
    ExpectOnlyTheseWindows(source);
    EXPECT_FALSE(FileExists(logPath));
    Exit(source);
}

TEST_F(EndToEnd, FailedNotesInitialisationShowsItsMessageAsTheOnlyWindow) {
    WriteIni("QuillsheetFailInit=1\r\n");
    app = std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"));
    ASSERT_TRUE(app->started());
    HWND box = drv::WaitForMessageBox(app->pid());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kTextInitFailed, drv::MessageBoxText(box));
    EXPECT_EQ((std::vector<HWND>{box}), drv::TopLevelWindows(app->pid()));
    drv::DismissMessageBox(box);
    ASSERT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
}

TEST_F(EndToEnd, AboutBoxFromTheSystemMenu) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    PostMessageA(source, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = drv::WaitForDialog(app->pid(), kTextAboutTitle);
    ASSERT_NE(nullptr, about);
    drv::ClickDlgItem(about, IDOK);
    EXPECT_TRUE(drv::WaitUntil([&] { return !IsWindow(about); }));
    Exit(source);
}

TEST_F(EndToEnd, StartsInServerModeAndRadioButtonsSwitchTheEdits) {
    HWND source = Start();
    ASSERT_NE(nullptr, source);
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(source, id)) != FALSE; };
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(source, kRadioServer), BM_GETCHECK, 0, 0));
    EXPECT_TRUE(enabled(kServerName) && enabled(kServerPath));
    EXPECT_FALSE(enabled(kLocalPath) || enabled(1007));
    drv::SetDlgItemText(source, kServerName, "kept");
    drv::ClickDlgItem(source, kRadioLocal);
    // The handler switches the four controls one after another, the browse button last.
    ASSERT_TRUE(drv::WaitUntil([&] { return enabled(kLocalPath) && enabled(1007); }));
    EXPECT_FALSE(enabled(kServerName) || enabled(kServerPath));
    drv::ClickDlgItem(source, kRadioServer);
    ASSERT_TRUE(drv::WaitUntil([&] { return enabled(kServerName); }));
    EXPECT_EQ("kept", drv::DlgItemText(source, kServerName));
    Exit(source);
}

}  // namespace
