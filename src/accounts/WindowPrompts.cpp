// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/WindowPrompts.h"

#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"

namespace stepora {

AccountPrompts WindowPrompts(QWidget* parent, CPasswordCheckDlg& passwordDlg,
                             CAccountDlg* accountDlg) {
    AccountPrompts prompts;
    prompts.askPassword = [&passwordDlg](const std::string& userLine) {
        passwordDlg.SetUserLine(userLine);
        if (passwordDlg.Run() != QDialog::Accepted) return std::optional<std::string>();
        return std::optional(passwordDlg.Password());
    };
    if (accountDlg)
        prompts.editAccount = [accountDlg](const Account& shown) -> std::optional<Account> {
            accountDlg->acceptedName = shown.name;
            accountDlg->acceptedPassword = shown.password;
            if (accountDlg->Run() != QDialog::Accepted) return std::nullopt;
            return Account{accountDlg->acceptedName, accountDlg->acceptedPassword};
        };
    prompts.confirm = [parent](const std::string& question, bool warning) {
        return DoMessageBox(question, MsgButtons::YesNo,
                            warning ? MsgIcon::Warning : MsgIcon::Question, parent) == kIdYes;
    };
    prompts.showMessage = [parent](const std::string& text) { ShowMessage(text, parent); };
    prompts.chooseFile = [parent](const FileChooserRequest& request) {
        return ChooseFile(request, parent);
    };
    return prompts;
}

}  // namespace stepora
