// The account commands and the user file exchange of the main window, answered by script.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "app/FileChooser.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/AccountDlgs.h"
#include "mainwnd/PasswordCheckDlg.h"
#include "store/UserStore.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using test::Click;
using test::ModalScript;
using test::SetField;
using Names = std::vector<std::string>;
using A = CAddUserDlg;
using E = CEditUserDlg;
using P = CPasswordCheckDlg;

class AccountsTest : public test::MainWindowFixture {
protected:
    std::string StoredPassword(const std::string& name) {
        UserFileHeader header;
        EXPECT_TRUE(TheUserStore().ReadHeader(name, header)) << name;
        return HeaderPassword(header);
    }
    // A password prompt answered with `typed`, or cancelled when null.
    static ModalScript::Step Answer(const char* typed) {
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

TEST_F(AccountsTest, AddChecksTheFieldsAndReopensOnADuplicate) {
    AddUsers({{"Ann"}});
    ASSERT_TRUE(Start());
    {
        ModalScript script;
        script.Then([&](CDialogBase& add) {
            const struct {
                const char *name, *first, *second, *message;
            } attempts[] = {
                {"   ", "", "", "ADDUSER_STR1"},  // only white space
                {" Bea ", "pw", "", "ADDUSER_STR2"},
                {" Bea ", "pw", "PW", "ADDUSER_STR2"},
            };
            for (const auto& attempt : attempts) {
                boxes_.clear();
                SetField(add, A::IDC_NAME, attempt.name);
                SetField(add, A::IDC_PASSWORD1, attempt.first);
                SetField(add, A::IDC_PASSWORD2, attempt.second);
                EXPECT_EQ(Click(add, A::IDC_OK), QDialog::Rejected) << attempt.name;
                EXPECT_EQ(boxes_, Names{Text(attempt.message)});
            }
            SetField(add, A::IDC_PASSWORD2, "pw");
            return Click(add, A::IDC_OK);
        });
        dialog_->OnCommand(CMainMenuDlg::IDC_ADD);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
    EXPECT_EQ(StoredPassword("Bea"), "pw");

    // A name of any letter case that exists: the dialog reopens with what was typed.
    boxes_.clear();
    {
        ModalScript script;
        script.Then([](CDialogBase& add) {
            SetField(add, A::IDC_NAME, "ANN");
            SetField(add, A::IDC_PASSWORD1, "x");
            SetField(add, A::IDC_PASSWORD2, "x");
            return Click(add, A::IDC_OK);
        });
        script.Then([](CDialogBase& add) {
            EXPECT_EQ(add.Control<QLineEdit>(A::IDC_NAME)->text(), "ANN");
            EXPECT_EQ(add.Control<QLineEdit>(A::IDC_PASSWORD2)->text(), "x");
            // Pasted, a name can hold what cannot be typed.
            SetField(add, A::IDC_NAME, "a/b");
            return Click(add, A::IDC_OK);
        });
        dialog_->OnCommand(ID_USER_NEW);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR21"), Text("MAINMENU_STR22")}));
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Bea"}));
}

TEST_F(AccountsTest, EditNeedsOneRowAndThePassword) {
    AddUsers({{"Ann", 0, 0, 0, "Secret"}, {"Ben"}});
    ASSERT_TRUE(Start());
    dialog_->OnCommand(CMainMenuDlg::IDC_EDIT);
    SelectRows({0, 1});
    dialog_->OnCommand(ID_USER_EDIT);
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR13"), Text("MAINMENU_STR14")}));

    boxes_.clear();
    SelectRows({0});
    {
        ModalScript script;
        script.Then(Answer("secret"));  // differs in case only: wrong
        script.Then([](CDialogBase& prompt) {
            EXPECT_EQ(prompt.Control<QLabel>(P::IDC_USER_LINE)->text().toStdString(),
                      "en MAINMENU_STR17(Ann)");
            return Answer("Secret")(prompt);
        });
        script.Then([](CDialogBase& edit) {
            EXPECT_EQ(edit.Control<QLineEdit>(E::IDC_NAME)->text(), "Ann");
            EXPECT_EQ(edit.Control<QLineEdit>(E::IDC_PASSWORD1)->text(), "Secret");
            SetField(edit, E::IDC_NAME, "Hanna ");
            SetField(edit, E::IDC_PASSWORD1, "");
            SetField(edit, E::IDC_PASSWORD2, "");
            return Click(edit, E::IDC_OK);
        });
        dialog_->OnCommand(CMainMenuDlg::IDC_EDIT);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR18"), Text("MAINMENU_STR20")}));
    EXPECT_EQ(ListedNames(), (Names{"Ben", "Hanna"}));
    EXPECT_EQ(StoredPassword("Hanna"), "");
}

TEST_F(AccountsTest, DeleteAsksForEachSelectedUserAndSkipsOnCancel) {
    AddUsers({{"Ann"}, {"Ben", 0, 0, 0, "b"}, {"Cid"}, {"Dan"}});
    ASSERT_TRUE(Start());
    SelectRows({0, 1, 2});
    answers_ = {kIdNo};  // Ann: not deleted; Ben: prompt cancelled; Cid: Yes, Yes
    {
        ModalScript script;
        script.Then(Answer(nullptr));
        dialog_->OnCommand(ID_USER_DELETE);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR10") + "(Ann)", Text("MAINMENU_STR10") + "(Cid)",
                             Text("MAINMENU_STR11")}));
    EXPECT_EQ(ListedNames(), (Names{"Ann", "Ben", "Dan"}));
    EXPECT_EQ(TheUserStore().Exists("Cid"), 0);
}

TEST_F(AccountsTest, LoginAsksUntilThePasswordIsRightAndHidesTheMainWindow) {
    AddUsers({{"Pat", 0, 0, 0, "Secret"}});
    ASSERT_TRUE(Start());
    dialog_->show();
    SelectRows({0});
    bool hidden = false;
    {
        ModalScript script;
        script.Then(Answer("wrong"));
        script.Then(Answer("Secret"));
        script.Then([&](CDialogBase& graph) {
            EXPECT_EQ(static_cast<CUseGraphDlg&>(graph).UserName(), "Pat");
            hidden = !dialog_->isVisible();
            return static_cast<int>(QDialog::Accepted);
        });
        dialog_->OnCommand(CMainMenuDlg::IDC_LOGIN);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(boxes_, Names{Text("MAINMENU_STR2")});
}

TEST_F(AccountsTest, UserFilesGoOutAndComeBackWhole) {
    AddUsers({{"Ann", 1, 150, 2500, "pw"}, {"Ben"}});
    ASSERT_TRUE(Start());
    const std::filesystem::path folder = work_ / "carried over" / "\xC3\x9C" "bertrag";
    std::filesystem::create_directories(folder);
    std::deque<std::optional<std::filesystem::path>> chosen;
    std::vector<FileChooserRequest> requests;
    test::ScopedOverride chooser(&SetFileChooserOverride, FileChooserOverride([&](const FileChooserRequest& r) {
        requests.push_back(r);
        auto answer = chosen.front();
        chosen.pop_front();
        return answer;
    }));
    const std::string before = test::ReadFile(work_ / "User" / "Ann.usr");

    // Export: the first selected user only; a file there is replaced only on Yes.
    SelectRows({0, 1});
    chosen = {folder, folder};
    dialog_->OnCommand(CMainMenuDlg::IDC_EXPORT);
    ASSERT_TRUE(test::WriteFile(folder / "Ann.usr.keep", test::ReadFile(folder / "Ann.usr")));
    answers_ = {kIdNo};
    ASSERT_TRUE(test::WriteFile(folder / "Ann.usr", "not replaced"));
    dialog_->OnCommand(ID_USER_EXPORT);
    EXPECT_EQ(test::ReadFile(folder / "Ann.usr"), "not replaced");
    std::filesystem::rename(folder / "Ann.usr.keep", folder / "Ann.USR");
    EXPECT_FALSE(std::filesystem::exists(folder / "Ben.usr"));
    EXPECT_EQ(Config("AP_ENVIRONMENT", "UserExportDir"), folder.string());
    EXPECT_EQ(requests.at(1).startDir, folder);

    // Import: the extension in any case, never over an existing user, never a plain file.
    ASSERT_TRUE(test::WriteFile(folder / "Plain.usr", before));
    ASSERT_TRUE(test::WriteFile(folder / "Ann.bak", before));
    boxes_.clear();
    chosen = {folder / "Ann.USR", folder / "Ann.bak", folder / "Plain.usr", std::nullopt};
    dialog_->OnCommand(ID_USER_IMPORT);  // Ann exists
    dialog_->OnCommand(ID_USER_IMPORT);
    dialog_->OnCommand(ID_USER_IMPORT);
    dialog_->OnCommand(ID_USER_IMPORT);  // cancelled
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
