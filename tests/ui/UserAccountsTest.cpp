// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's user list and account commands, with the dialogs answered by script.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "app/FileChooser.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "mainwnd/UserListRules.h"
#include "store/UserStore.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"
#include "ui/Snapshot.h"

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
    const SortSettings byName{"UserName", "inc"};
    EXPECT_EQ(SortAfterHeaderClick(0, byName), byName);
    // At the limit nothing that adds a user is offered.
    const CommandEnabling full = EnablingAfterReload(kMaxUsers);
    EXPECT_FALSE(full.import || full.add);
    EXPECT_TRUE(EnablingAfterReload(kMaxUsers - 1).add);
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
    std::filesystem::copy(installed ? installed : STEPORA_DATA_DIR, work_.path(), std::filesystem::copy_options::recursive);
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
    test::Snapshot snap("accounts-add");
    snap.Stabilise(work_.path().string(), "<work>");
    Run(CMainMenuDlg::IDC_ADD, {[&](CDialogBase& add) {
            const std::tuple<const char*, const char*, const char*> attempts[] = {
                {"   ", "", ""}, {" Bea ", "pw", ""}, {" Bea ", "pw", "PW"}};
            for (const auto& [name, first, second] : attempts) EXPECT_EQ(Fill<A>(add, name, first, second), QDialog::Rejected);
            return Fill<A>(add, " Bea ", "pw", "pw");
        }});
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
    EXPECT_EQ(StoredPassword("Bea"), "pw");

    // A name of any letter case that exists, or one pasted with what cannot be typed: the
    // dialog reopens with what was typed.
    Run(ID_USER_NEW, {[](CDialogBase& add) { return Fill<A>(add, "ANN", "x", "x"); },
                      [](CDialogBase& add) { return Fill<A>(add, "a/b", "x", "x"); },
                      [](CDialogBase& add) { return Click(add, A::IDC_CANCEL); }});
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
}

// Login, edit and delete of a user with a password ask for it, in its exact letter case.
TEST_F(AccountsTest, LoginEditAndDeleteAskForThePassword) {
    AddUsers({{"Ann", 0, 0, 0, "Secret"}, {"Ben", 0, 0, 0, "b"}, {"Cid"}, {"Dan"}});
    ASSERT_TRUE(Start());
    test::Snapshot snap("accounts-login-edit-delete");
    snap.Stabilise(work_.path().string(), "<work>");
    dialog_->show();
    dialog_->OnCommand(CMainMenuDlg::IDC_EDIT);
    SelectRows({0, 1});
    dialog_->OnCommand(ID_USER_EDIT);
    SelectRows({1});
    bool hidden = false;
    Run(CMainMenuDlg::IDC_LOGIN, {Answer("B"), Answer("b"), [&](CDialogBase& graph) {
                                      EXPECT_EQ(static_cast<CUseGraphDlg&>(graph).UserName(), "Ben");
                                      hidden = !dialog_->isVisible();
                                      return int(QDialog::Accepted);
                                  }});
    EXPECT_TRUE(hidden && dialog_->isVisible());
    SelectRows({0});
    Run(CMainMenuDlg::IDC_EDIT,
        {Answer("secret"), Answer("Secret"), [](CDialogBase& edit) { return Fill<E>(edit, "Han:na", "", ""); },
         [](CDialogBase& edit) { return Fill<E>(edit, "Hanna ", "", ""); }});
    EXPECT_EQ(StoredPassword("Hanna"), "");

    // Ben: prompt cancelled; Cid: Yes, Yes; Dan: No.
    SelectRows({0, 1, 2});
    answers_ = {kIdYes, kIdYes, kIdNo};
    Run(ID_USER_DELETE, {Answer(nullptr)});
    EXPECT_EQ(ListedNames(), (Names{"Ben", "Dan", "Hanna"}));
}

TEST_F(AccountsTest, UserFilesGoOutAndComeBackWhole) {
    AddUsers({{"Ann", 1, 150, 2500, "pw"}, {"Ben"}});
    ASSERT_TRUE(Start());
    test::Snapshot snap("accounts-user-files");
    snap.Stabilise(work_.path().string(), "<work>");
    const std::filesystem::path folder = work_ / "carried over" / "Übertrag";
    std::filesystem::create_directories(folder);
    std::vector<std::optional<std::filesystem::path>> chosen;
    test::ScopedOverride chooser(&SetFileChooserOverride, FileChooserOverride([&](const FileChooserRequest& r) {
        snap.Line("chooser " + std::to_string(r.kind) + " \"" + r.title + "\" from " + r.startDir.string() + " filter " +
                  r.filter);
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

    // Import: the extension in any case, never over an existing user, never a plain file.
    ASSERT_TRUE(test::WriteFile(folder / "Plain.usr", before));
    ASSERT_TRUE(test::WriteFile(folder / "Ann.bak", before));
    chosen = {folder / "Ann.USR", folder / "Ann.bak", folder / "Plain.usr", std::nullopt};
    for (int i = 0; i < 4; ++i) dialog_->OnCommand(ID_USER_IMPORT);  // Ann exists, ..., cancelled
    ASSERT_TRUE(TheUserStore().Delete("Ann"));
    chosen = {folder / "Ann.USR"};
    dialog_->OnCommand(ID_USER_IMPORT);
    EXPECT_EQ(test::ReadFile(work_ / "User" / "Ann.usr"), before);
    snap.Step("imported", *dialog_);
    snap.Line("remembered: " + Config("AP_ENVIRONMENT", "UserExportDir") + " " + Config("AP_ENVIRONMENT", "UserImportDir"));
}

}  // namespace
}  // namespace stepora
