// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindowFixture.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/ProfileStrings.h"
#include "app/QtText.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"
#include "ui/UiTestApp.h"

namespace stepora::test {

ModalScript::ModalScript() {
    SetRunModalOverride([this](QDialog& dialog) {
        auto* ours = dynamic_cast<CDialogBase*>(&dialog);
        if (steps_.empty() || !ours) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        dialog.setResult(QDialog::Rejected);
        return step(*ours);
    });
}

ModalScript::~ModalScript() { SetRunModalOverride(nullptr); }

void SetField(CDialogBase& dialog, int id, const std::string& text) {
    auto* edit = dialog.Control<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(Qs(text));
}

int Click(CDialogBase& dialog, int id) {
    auto* button = dialog.Control<QAbstractButton>(id);
    EXPECT_NE(button, nullptr) << id;
    if (button) button->click();
    return dialog.result();
}

void MainWindowFixture::SetUp() {
    UiTestApp();
    ASSERT_TRUE(WriteScratchLanguages(work_.path()));
    std::filesystem::create_directories(work_ / "User");
    SetMessageBoxOverride([this](const MessageBoxRequest& request) {
        boxes_.push_back(request.text);
        const int given = answers_.empty() ? -1 : answers_.front();
        if (given != -1) answers_.pop_front();
        return given != -1 ? given : request.buttons == MsgButtons::YesNo ? kIdYes : kIdOk;
    });
}

void MainWindowFixture::TearDown() {
    dialog_.reset();
    globals_.reset();
    SetMessageBoxOverride(nullptr);
    SetRunModalOverride(nullptr);
    SetLangFailureHandler(nullptr);
}

bool MainWindowFixture::Start() {
    ScopedCurrentDir cd(work_.path());
    globals_ = std::make_unique<AppGlobals>();
    InstallLanguageFailureBox();
    dialog_ = std::make_unique<CMainMenuDlg>();
    return dialog_->OnInitDialog();
}

void MainWindowFixture::AddUsers(const std::vector<UserSpec>& users) {
    UserStore store;
    store.SetDirectory(work_ / "User");
    for (const UserSpec& user : users) {
        ASSERT_TRUE(store.Create(user.name, user.password)) << user.name;
        UserFileHeader header;
        ASSERT_TRUE(store.ReadHeader(user.name, header));
        header.unitSystem = user.unitSystem, header.weight = user.weight, header.stride = user.stride;
        ASSERT_TRUE(store.WriteHeader(user.name, header));
    }
}

std::vector<std::string> MainWindowFixture::Column(int column) const {
    std::vector<std::string> texts;
    const CUserListCtrl* list = dialog_->UserList();
    for (int row = 0; row < list->rowCount(); ++row) texts.push_back(list->CellText(row, column));
    return texts;
}

std::vector<std::string> MainWindowFixture::ListedNames() const { return Column(CUserListCtrl::kName); }

void MainWindowFixture::SelectRows(const std::vector<int>& rows) {
    CUserListCtrl* list = dialog_->UserList();
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, CUserListCtrl::kName),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool MainWindowFixture::CommandEnabled(int buttonId) const {
    return dialog_->Control<QPushButton>(buttonId)->isEnabled();
}

std::string MainWindowFixture::Config(const char* section, const char* key) const {
    return GetProfileString(work_ / "config.ini", section, key, "NULL");
}

}  // namespace stepora::test
