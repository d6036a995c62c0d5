// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's account commands: add, edit, delete and log in.
#include <QLineEdit>

#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "app/MessageBox.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"

namespace stepora {
namespace {}  // namespace

void CMainMenuDlg::OnAddUser() {
    UserStore& store = TheUserStore();
    addUserDlg_->acceptedName.clear();
    addUserDlg_->acceptedPassword.clear();
    for (;;) {
        if (addUserDlg_->Run() != QDialog::Accepted) return;
        // The dialog reopens with what was typed.
        if (store.Exists(addUserDlg_->acceptedName)) {
            ShowMessage(GetLangString(MAINMENU_STR21), this);
            continue;
        }
        break;
    }
    // A pasted name can hold what typing cannot; the store refuses what no file may be.
    if (!store.Create(addUserDlg_->acceptedName, addUserDlg_->acceptedPassword)) {
        ShowMessage(GetLangString(MAINMENU_STR22), this);
        return;
    }
    ReloadAll();
}

void CMainMenuDlg::OnEditUser() {
    const int selected = userList_->SelectedCount();
    if (selected == 0) return ShowMessage(GetLangString(MAINMENU_STR13), this);
    if (selected > 1) return ShowMessage(GetLangString(MAINMENU_STR14), this);
    const std::vector<std::string> names = userList_->SelectedNames();
    if (names.empty()) return ShowMessage(GetLangString(MAINMENU_STR15), this);
    const std::string& name = names.front();

    UserStore& store = TheUserStore();
    UserFileHeader header;
    if (!store.ReadHeader(name, header)) return ShowMessage(GetLangString(MAINMENU_STR16), this);
    const std::string password = HeaderPassword(header);
    if (!CheckPassword(*passwordDlg_, password, NamedMessage(MAINMENU_STR17, name), MAINMENU_STR18,
                       this))
        return;

    editUserDlg_->acceptedName = name;
    editUserDlg_->acceptedPassword = password;
    if (editUserDlg_->Run() != QDialog::Accepted) return;
    if (!store.Rename(name, editUserDlg_->acceptedName, editUserDlg_->acceptedPassword))
        return ShowMessage(GetLangString(MAINMENU_STR19), this);
    ReloadAll();
    ShowMessage(GetLangString(MAINMENU_STR20), this);
}

void CMainMenuDlg::OnDeleteUsers() {
    const std::vector<std::string> names = userList_->SelectedNames();
    if (names.empty()) return ShowMessage(GetLangString(MAINMENU_STR6), this);

    UserStore& store = TheUserStore();
    for (const std::string& name : names) {
        UserFileHeader header;
        if (!store.ReadHeader(name, header)) {
            ShowMessage(NamedMessage(MAINMENU_STR7, name), this);
            continue;
        }
        if (!CheckPassword(*passwordDlg_, HeaderPassword(header), NamedMessage(MAINMENU_STR8, name),
                           MAINMENU_STR9, this))
            continue;
        if (DoMessageBox(NamedMessage(MAINMENU_STR10, name), MsgButtons::YesNo, MsgIcon::Question,
                         this) != kIdYes)
            continue;
        if (DoMessageBox(GetLangString(MAINMENU_STR11), MsgButtons::YesNo, MsgIcon::Warning,
                         this) != kIdYes)
            continue;
        if (!store.Delete(name)) ShowMessage(NamedMessage(MAINMENU_STR12, name), this);
    }
    ReloadAll();
}

void CMainMenuDlg::OnLogin() {
    const std::vector<std::string> names = userList_->SelectedNames();
    if (names.empty()) return ShowMessage(GetLangString(MAINMENU_STR5), this);
    const std::string& name = names.front();

    UserFileHeader header;
    if (!TheUserStore().ReadHeader(name, header))
        return ShowMessage(GetLangString(MAINMENU_STR4), this);
    if (!CheckPassword(*passwordDlg_, HeaderPassword(header), GetLangString(MAINMENU_STR3),
                       MAINMENU_STR2, this))
        return;

    graphDlg_->SetUserName(name);
    hide();
    graphDlg_->Run();
    show();
    // The graph window may have changed the user's data.
    ReloadAll();
}

}  // namespace stepora
