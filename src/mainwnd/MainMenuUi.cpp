// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwnd/MainMenuUi.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "mainwnd/MainMenuDlg.h"
#include "widgets/PictureFile.h"

namespace stepora {

void CMainMenuUi::Bind(CMainMenuDlg* dialog, const std::filesystem::path& ptnDir) {
    dialog_ = dialog;
    ptnDir_ = ptnDir;
}

void CMainMenuUi::ApplyWindowTexts() {
    if (dialog_) dialog_->ApplyTexts();
}

void CMainMenuUi::ShowCount(int count) {
    if (auto* label = dialog_->Control<QLabel>(CMainMenuDlg::IDC_COUNT))
        label->setText(QString::number(count));
}

void CMainMenuUi::SetEnabling(const CommandEnabling& enabling) {
    enabling_ = enabling;
    const struct {
        int button, item;
        bool enable;
    } commands[] = {
        {CMainMenuDlg::IDC_IMPORT, ID_USER_IMPORT, enabling.import},
        {CMainMenuDlg::IDC_EXPORT, ID_USER_EXPORT, enabling.exportUser},
        {CMainMenuDlg::IDC_ADD, ID_USER_NEW, enabling.add},
        {CMainMenuDlg::IDC_EDIT, ID_USER_EDIT, enabling.edit},
        {CMainMenuDlg::IDC_DELETE, ID_USER_DELETE, enabling.remove},
        {CMainMenuDlg::IDC_LOGIN, ID_USER_LOGIN, enabling.login},
    };
    for (const auto& command : commands) {
        if (auto* button = dialog_->Control<QPushButton>(command.button))
            button->setEnabled(command.enable);
        if (QAction* item = dialog_->MenuItem(command.item)) item->setEnabled(command.enable);
    }
}

void CMainMenuUi::EnableSearch(bool enable) {
    if (auto* button = dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH))
        button->setEnabled(enable);
}

void CMainMenuUi::EnableListAll(bool enable) {
    if (auto* button = dialog_->Control<QPushButton>(CMainMenuDlg::IDC_LISTALL))
        button->setEnabled(enable);
}

void CMainMenuUi::DrawPictures() {
    DrawPictureFile(dialog_->Control<QLabel>(CMainMenuDlg::IDC_LOGO), ptnDir_ / "CompanyLogo.ptn");
    DrawPictureFile(dialog_->Control<QLabel>(CMainMenuDlg::IDC_SEARCH_PICTURE),
                    ptnDir_ / "SearchLogo.ptn");
}

}  // namespace stepora
