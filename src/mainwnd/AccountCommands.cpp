// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's account commands: each runs its flow with the window's dialogs.
#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "accounts/WindowPrompts.h"
#include "app/AppGlobals.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"

namespace stepora {

AccountPrompts CMainMenuDlg::Prompts(CAccountDlg* accountDlg) {
    AccountPrompts prompts = WindowPrompts(this, *passwordDlg_, accountDlg);
    prompts.usersChanged = [this] { ReloadAll(); };
    return prompts;
}

void CMainMenuDlg::OnAddUser() {
    AddUserAccount(TheUserStore(), Prompts(addUserDlg_));
}

void CMainMenuDlg::OnEditUser() {
    EditUserAccount(TheUserStore(), userList_->SelectedCount(), userList_->SelectedNames(),
                    Prompts(editUserDlg_));
}

void CMainMenuDlg::OnDeleteUsers() {
    DeleteUserAccounts(TheUserStore(), userList_->SelectedNames(), Prompts());
}

void CMainMenuDlg::OnLogin() {
    const std::optional<std::string> name =
        LogInUser(TheUserStore(), userList_->SelectedNames(), Prompts());
    if (!name) return;
    graphDlg_->SetUserName(*name);
    hide();
    graphDlg_->Run();
    show();
    // The graph window may have changed the user's data.
    ReloadAll();
}

void CMainMenuDlg::OnImportUser() {
    ImportUserFile(TheUserStore(), Globals().apEnvironment, Prompts());
}

void CMainMenuDlg::OnExportUser() {
    ExportUserFile(TheUserStore(), Globals().apEnvironment, userList_->SelectedNames(), Prompts());
}

}  // namespace stepora
