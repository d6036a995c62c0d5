// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's user list and account commands, with the dialogs answered by script.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/FileChooser.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/AccountDlgs.h"
#include "mainwnd/PasswordCheckDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "mainwnd/UserListRules.h"
#include "store/UserStore.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using Names = std::vector<std::string>;
using test::Click;
using test::SetField;
using Step = test::ModalScript::Step;
using A = CAddUserDlg;
using E = CEditUserDlg;
using P = CPasswordCheckDlg;

TEST(UserListRules, SortEnablingAndHeaderClicks) {
    // Byte-wise: capitals before small letters, UTF-8 after ASCII.
    EXPECT_TRUE(SortsBefore("Zoe", "anna", "inc"));
    EXPECT_TRUE(SortsBefore("anna", "Zoe", "dec"));
    EXPECT_TRUE(SortsBefore("zoe", "\xC3\x84rger", "inc"));

    const SortSettings byName{"UserName", "inc"};
    EXPECT_EQ(SortAfterHeaderClick(1, byName), (SortSettings{"UserName", "dec"}));
    EXPECT_EQ(SortAfterHeaderClick(3, byName), (SortSettings{"StepLen", "inc"}));
    EXPECT_EQ(SortAfterHeaderClick(0, byName), byName);

    const auto flags = [](CommandEnabling e) {  // import, export, add, edit, delete, login
        std::string shown;
        for (bool on : {e.import, e.exportUser, e.add, e.edit, e.remove, e.login}) shown += on ? '1' : '0';
        return shown;
    };
    EXPECT_EQ(flags(EnablingAfterReload(kMaxUsers - 1)), "101000");
    EXPECT_EQ(flags(EnablingAfterReload(kMaxUsers)), "000000");
    const std::pair<int, const char*> selections[] = {{0, "101000"}, {1, "111111"}, {2, "101010"}};
    for (const auto& [selected, expected] : selections)
        EXPECT_EQ(flags(EnablingForSelection(EnablingAfterReload(3), selected)), expected) << selected;
}

using UserListTest = test::MainWindowFixture;

TEST_F(UserListTest, RowsAndHeaderClicksThatSortAndAreRemembered) {
    AddUsers({{"Metric", 0, 70, 172}, {"Imperial", 1, 154, 2750}, {"Unset", 1, 0, 0}});
    ASSERT_TRUE(Start());
    EXPECT_EQ(ListedNames(), (Names{"Imperial", "Metric", "Unset"}));
    EXPECT_EQ(Column(CUserListCtrl::kWeight),
              (Names{"154 " + Text("MAINMENU_LST_BD"), "70 " + Text("MAINMENU_LST_KG"),
                     Text("MAINMENU_LST_NULL")}));
    EXPECT_EQ(Column(CUserListCtrl::kStride),
              (Names{"27.50 " + Text("MAINMENU_LST_INCH"), "172 " + Text("MAINMENU_LST_CM"),
                     Text("MAINMENU_LST_NULL")}));
    EXPECT_EQ(dialog_->Control<QLabel>(CMainMenuDlg::IDC_COUNT)->text(), "3");

    QHeaderView* header = dialog_->UserList()->horizontalHeader();
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(CUserListCtrl::kStride) + 5, 5));
    // The second click on a column reverses its order: "en …" > "27.50 …" > "172 …".
    EXPECT_EQ(ListedNames(), (Names{"Unset", "Imperial", "Metric"}));
    EXPECT_EQ(header->sortIndicatorSection(), CUserListCtrl::kStride);
    EXPECT_EQ(Config("UM_USERMANAGE", "SortReference"), "StepLen");
    EXPECT_EQ(Config("UM_USERMANAGE", "SortDirection"), "dec");
    EXPECT_EQ(header->sectionResizeMode(CUserListCtrl::kName), QHeaderView::Fixed);
    // A choice config.ini does not take is lost at the end: the person is told.
    ASSERT_TRUE(std::filesystem::remove(work_ / "config.ini") && std::filesystem::create_directory(work_ / "config.ini"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(boxes_, Names{AddedKeyEnglish[MAINMENU_STR42] + ("(" + (work_ / "config.ini").string()) + ")"});
}

// The buttons and menu items follow the selection alike; a search lists the matches and
// keeps the count of all users.
TEST_F(UserListTest, SelectionAndSearch) {
    AddUsers({{"Alice"}, {"Sal"}, {"Bob"}});
    ASSERT_TRUE(Start());
    const std::pair<int, int> commands[] = {
        {CMainMenuDlg::IDC_IMPORT, ID_USER_IMPORT}, {CMainMenuDlg::IDC_EXPORT, ID_USER_EXPORT},
        {CMainMenuDlg::IDC_ADD, ID_USER_NEW},       {CMainMenuDlg::IDC_EDIT, ID_USER_EDIT},
        {CMainMenuDlg::IDC_DELETE, ID_USER_DELETE}, {CMainMenuDlg::IDC_LOGIN, ID_USER_LOGIN}};
    const std::pair<std::vector<int>, const char*> steps[] = {
        {{}, "101000"}, {{1}, "111111"}, {{0, 2}, "101010"}};
    for (const auto& [rows, flags] : steps) {
        if (!rows.empty()) SelectRows(rows);
        std::string shown;
        for (const auto& [button, item] : commands) {
            EXPECT_EQ(CommandEnabled(button), dialog_->MenuItem(item)->isEnabled());
            shown += CommandEnabled(button) ? '1' : '0';
        }
        EXPECT_EQ(shown, flags);
    }

    auto* search = dialog_->Control<QLineEdit>(CMainMenuDlg::IDC_SEARCH_TEXT);
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH)->click();
    QTest::keyClicks(search, "AL");
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH)->click();
    EXPECT_EQ(ListedNames(), (Names{"Alice", "Sal"}));
    EXPECT_EQ(dialog_->Control<QLabel>(CMainMenuDlg::IDC_COUNT)->text(), "3");
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR1"), Text("MAINMENU_STR23") + "2"}));
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_LISTALL)->click();
    EXPECT_EQ(ListedNames(), (Names{"Alice", "Bob", "Sal"}));
    EXPECT_TRUE(search->text().isEmpty());
}

class AccountsTest : public test::MainWindowFixture {
protected:
    // Runs a command; the dialogs it opens are answered by `steps`, in order.
    void Run(int command, const std::vector<Step>& steps) {
        test::ModalScript script;
        for (const Step& step : steps) script.Then(step);
        dialog_->OnCommand(command);
        EXPECT_TRUE(script.Done()) << command;
    }
    std::string StoredPassword(const std::string& name) {
        UserFileHeader header;
        return TheUserStore().ReadHeader(name, header) ? HeaderPassword(header) : "(unreadable)";
    }
    // Fills the fields of the add (A) or edit (E) dialog and clicks OK.
    template <class D>
    static int Fill(CDialogBase& dialog, const char* name, const char* first, const char* second) {
        SetField(dialog, D::IDC_NAME, name);
        SetField(dialog, D::IDC_PASSWORD1, first);
        SetField(dialog, D::IDC_PASSWORD2, second);
        return Click(dialog, D::IDC_OK);
    }
    // A password prompt answered with `typed`, or cancelled when null.
    static Step Answer(const char* typed) {
        return [typed](CDialogBase& prompt) {
            EXPECT_NE(dynamic_cast<CPasswordCheckDlg*>(&prompt), nullptr);
            if (!typed) return Click(prompt, P::IDC_CANCEL);
            // The field is emptied every time the prompt opens.
            EXPECT_TRUE(prompt.Control<QLineEdit>(P::IDC_PASSWORD)->text().isEmpty());
            SetField(prompt, P::IDC_PASSWORD, typed);
            return Click(prompt, P::IDC_OK);
        };
    }
};

// A work directory as the launcher makes it from the installed template has no User
// folder: the first start makes it, and the first user is made, listed and logged in.
// The package test runs this on the installed template (STEPORA_TEMPLATE_DIR).
TEST_F(AccountsTest, TheFirstStartFromTheShippedTemplateMakesTheFirstUser) {
    const char* installed = std::getenv("STEPORA_TEMPLATE_DIR");
    std::filesystem::remove_all(work_ / "User");
    std::filesystem::remove_all(work_ / "Language");
    std::filesystem::copy(installed ? installed : STEPORA_DATA_DIR, work_.path(),
                          std::filesystem::copy_options::recursive);
    ASSERT_TRUE(Start());
    Run(CMainMenuDlg::IDC_ADD, {[](CDialogBase& add) { return Fill<A>(add, "Erste", "", ""); }});
    EXPECT_EQ(ListedNames(), Names{"Erste"});
    SelectRows({0});
    Run(CMainMenuDlg::IDC_LOGIN, {[](CDialogBase& graph) {
            EXPECT_EQ(static_cast<CUseGraphDlg&>(graph).UserName(), "Erste");
            return int(QDialog::Accepted);
        }});

    // When the folder cannot be made, the window says which folder and why, and ends.
    dialog_.reset();
    globals_.reset();
    std::filesystem::remove_all(work_ / "User");
    ASSERT_TRUE(test::WriteFile(work_ / "User", "in the way"));
    boxes_.clear();
    EXPECT_FALSE(Start());
    EXPECT_EQ(boxes_, Names{AddedKeyEnglish[MAINMENU_STR39] + ("(" + (work_ / "User").string()) +
                            ")\na file of that name is in the way"});
}

TEST_F(AccountsTest, AddChecksTheFieldsAndReopensOnADuplicate) {
    AddUsers({{"Ann"}});
    ASSERT_TRUE(Start());
    Run(CMainMenuDlg::IDC_ADD, {[&](CDialogBase& add) {
            const std::tuple<const char*, const char*, const char*, const char*> attempts[] = {
                {"   ", "", "", "ADDUSER_STR1"},
                {" Bea ", "pw", "", "ADDUSER_STR2"},
                {" Bea ", "pw", "PW", "ADDUSER_STR2"}};
            for (const auto& [name, first, second, message] : attempts) {
                boxes_.clear();
                EXPECT_EQ(Fill<A>(add, name, first, second), QDialog::Rejected);
                EXPECT_EQ(boxes_, Names{Text(message)}) << second;
            }
            return Fill<A>(add, " Bea ", "pw", "pw");
        }});
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
    EXPECT_EQ(StoredPassword("Bea"), "pw");

    // A name of any letter case that exists: the dialog reopens with what was typed.
    boxes_.clear();
    Run(ID_USER_NEW, {[](CDialogBase& add) { return Fill<A>(add, "ANN", "x", "x"); },
                      [](CDialogBase& add) {
                          EXPECT_EQ(add.Control<QLineEdit>(A::IDC_NAME)->text(), "ANN");
                          EXPECT_EQ(add.Control<QLineEdit>(A::IDC_PASSWORD2)->text(), "x");
                          // Pasted, a name can hold what cannot be typed.
                          return Fill<A>(add, "a/b", "x", "x");
                      }});
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR21"), Text("MAINMENU_STR22")}));
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
}

// Login, edit and delete of a user with a password ask for it, in its exact letter case.
TEST_F(AccountsTest, LoginEditAndDeleteAskForThePassword) {
    AddUsers({{"Ann", 0, 0, 0, "Secret"}, {"Ben", 0, 0, 0, "b"}, {"Cid"}, {"Dan"}});
    ASSERT_TRUE(Start());
    dialog_->show();
    dialog_->OnCommand(CMainMenuDlg::IDC_EDIT);
    SelectRows({0, 1});
    dialog_->OnCommand(ID_USER_EDIT);
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR13"), Text("MAINMENU_STR14")}));

    boxes_.clear();
    SelectRows({1});
    bool hidden = false;
    Run(CMainMenuDlg::IDC_LOGIN, {Answer("B"), Answer("b"), [&](CDialogBase& graph) {
                                      EXPECT_EQ(static_cast<CUseGraphDlg&>(graph).UserName(), "Ben");
                                      hidden = !dialog_->isVisible();
                                      return int(QDialog::Accepted);
                                  }});
    EXPECT_TRUE(hidden && dialog_->isVisible());
    EXPECT_EQ(boxes_, Names{Text("MAINMENU_STR2")});

    boxes_.clear();
    SelectRows({0});
    Run(CMainMenuDlg::IDC_EDIT, {Answer("secret"),
                                 [](CDialogBase& prompt) {
                                     EXPECT_EQ(prompt.Control<QLabel>(P::IDC_USER_LINE)->text(),
                                               "en MAINMENU_STR17(Ann)");
                                     return Answer("Secret")(prompt);
                                 },
                                 [](CDialogBase& edit) {
                                     EXPECT_EQ(edit.Control<QLineEdit>(E::IDC_PASSWORD1)->text(), "Secret");
                                     return Fill<E>(edit, "Hanna ", "", "");
                                 }});
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR18"), Text("MAINMENU_STR20")}));
    EXPECT_EQ(StoredPassword("Hanna"), "");

    // Ben: prompt cancelled; Cid: Yes, Yes; Dan: No.
    boxes_.clear();
    SelectRows({0, 1, 2});
    answers_ = {kIdYes, kIdYes, kIdNo};
    Run(ID_USER_DELETE, {Answer(nullptr)});
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR10") + "(Cid)", Text("MAINMENU_STR11"),
                             Text("MAINMENU_STR10") + "(Dan)"}));
    EXPECT_EQ(ListedNames(), (Names{"Ben", "Dan", "Hanna"}));
}

TEST_F(AccountsTest, UserFilesGoOutAndComeBackWhole) {
    AddUsers({{"Ann", 1, 150, 2500, "pw"}, {"Ben"}});
    ASSERT_TRUE(Start());
    const std::filesystem::path folder = work_ / "carried over" / "Übertrag";
    std::filesystem::create_directories(folder);
    std::vector<std::optional<std::filesystem::path>> chosen;
    std::vector<FileChooserRequest> requests;
    test::ScopedOverride chooser(&SetFileChooserOverride,
                                 FileChooserOverride([&](const FileChooserRequest& r) {
                                     requests.push_back(r);
                                     return std::exchange(chosen, {chosen.begin() + 1, chosen.end()}).front();
                                 }));
    const std::string before = test::ReadFile(work_ / "User" / "Ann.usr");

    // Export: the first selected user only; a file there is replaced only on Yes.
    SelectRows({0, 1});
    chosen = {folder, folder};
    dialog_->OnCommand(CMainMenuDlg::IDC_EXPORT);
    std::filesystem::rename(folder / "Ann.usr", folder / "Ann.USR");
    ASSERT_TRUE(test::WriteFile(folder / "Ann.usr", "not replaced"));
    answers_ = {kIdNo};
    dialog_->OnCommand(ID_USER_EXPORT);
    EXPECT_EQ(test::ReadFile(folder / "Ann.usr"), "not replaced");
    EXPECT_FALSE(std::filesystem::exists(folder / "Ben.usr"));
    EXPECT_EQ(Config("AP_ENVIRONMENT", "UserExportDir"), folder.string());
    EXPECT_EQ(requests.at(1).startDir, folder);

    // Import: the extension in any case, never over an existing user, never a plain file.
    ASSERT_TRUE(test::WriteFile(folder / "Plain.usr", before));
    ASSERT_TRUE(test::WriteFile(folder / "Ann.bak", before));
    boxes_.clear();
    chosen = {folder / "Ann.USR", folder / "Ann.bak", folder / "Plain.usr", std::nullopt};
    for (int i = 0; i < 4; ++i) dialog_->OnCommand(ID_USER_IMPORT);  // Ann exists, ..., cancelled
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR31") + "(Ann)",
                             Text("MAINMENU_STR29") + "(" + (folder / "Ann.bak").string() + ")",
                             Text("MAINMENU_STR30") + "(" + (folder / "Plain.usr").string() + ")"}));
    EXPECT_EQ(Config("AP_ENVIRONMENT", "UserImportDir"), folder.string() + "/");
    EXPECT_EQ(requests.back().startDir, folder.string() + "/");

    ASSERT_TRUE(TheUserStore().Delete("Ann"));
    boxes_.clear();
    chosen = {folder / "Ann.USR"};
    dialog_->OnCommand(ID_USER_IMPORT);
    EXPECT_EQ(boxes_, Names{Text("MAINMENU_STR33")});
    EXPECT_EQ(test::ReadFile(work_ / "User" / "Ann.usr"), before);
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Ben"}));
}

}  // namespace
}  // namespace stepora
