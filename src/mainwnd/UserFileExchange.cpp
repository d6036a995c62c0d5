// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's user file commands: a whole user carried to or from another computer.
#include <algorithm>
#include <cctype>

#include "accounts/AccountDlgs.h"
#include "app/AppGlobals.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"

namespace stepora {
void CMainMenuDlg::OnImportUser() {
    CApEnvironment& environment = Globals().apEnvironment;
    const auto chosen =
        ChooseFile({FileChooserRequest::OpenFile, GetLangString(MAINMENU_STR28),
                    environment.RememberedFolder(CApEnvironment::Folder::UserImport),
                    GetLangString(MAINMENU_STR40) + ";;" + GetLangString(MAINMENU_STR41)},
                   this);
    if (!chosen) return;
    const std::string path = chosen->string();

    // The folder is remembered before the file is examined.
    SayIfNotSaved(environment.RememberFolder(CApEnvironment::Folder::UserImport,
                                             CApEnvironment::FolderToRemember(*chosen)),
                  this);

    std::string extension = chosen->extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (extension != ".usr") return ShowMessage(NamedMessage(MAINMENU_STR29, path), this);

    UserStore& store = TheUserStore();
    if (!store.CheckExportFile(*chosen))
        return ShowMessage(NamedMessage(MAINMENU_STR30, path), this);
    const std::string name = chosen->stem().string();
    // An existing user is never overwritten.
    if (store.Exists(name)) return ShowMessage(NamedMessage(MAINMENU_STR31, name), this);
    if (!store.ImportFile(name, *chosen)) return ShowMessage(GetLangString(MAINMENU_STR32), this);
    ReloadAll();
    ShowMessage(GetLangString(MAINMENU_STR33), this);
}

void CMainMenuDlg::OnExportUser() {
    const std::vector<std::string> names = userList_->SelectedNames();
    if (names.empty()) return ShowMessage(GetLangString(MAINMENU_STR34), this);
    // Only the first selected user is exported.
    const std::string& name = names.front();

    CApEnvironment& environment = Globals().apEnvironment;
    const auto folder =
        ChooseFile({FileChooserRequest::ChooseFolder,
                    GetLangString(MAINMENU_STR35),
                    environment.RememberedFolder(CApEnvironment::Folder::UserExport),
                    {}},
                   this);
    if (!folder) return;
    SayIfNotSaved(environment.RememberFolder(CApEnvironment::Folder::UserExport, folder->string()),
                  this);

    const std::filesystem::path target = *folder / (name + ".usr");
    std::error_code ec;
    if (std::filesystem::exists(target, ec) &&
        DoMessageBox(GetLangString(MAINMENU_STR36), MsgButtons::YesNo, MsgIcon::Question, this) !=
            kIdYes)
        return;
    if (!TheUserStore().ExportFile(name, target))
        return ShowMessage(GetLangString(MAINMENU_STR37), this);
    ShowMessage(GetLangString(MAINMENU_STR38), this);
}

}  // namespace stepora
