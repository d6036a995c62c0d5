// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindowFixture.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "app/Clock.h"
#include "app/ProfileStrings.h"
#include "app/QtText.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"
#include "ui/Snapshot.h"
#include "ui/UiTestApp.h"

namespace stepora::test {

ModalScript::ModalScript() {
    SetRunModalOverride([this](QDialog& dialog) {
        auto* ours = dynamic_cast<CDialogBase*>(&dialog);
        if (steps_.empty() || !ours) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        if (Snapshot* snapshot = Snapshot::Current()) snapshot->Step("opened", dialog);
        Step step = std::move(steps_.front());
        steps_.pop_front();
        dialog.setResult(QDialog::Rejected);
        return step(*ours);
    });
}

ModalScript::~ModalScript() {
    SetRunModalOverride(nullptr);
}

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

LocalDate FixedToday() {
    return {2026, 12, 8};
}

void MainWindowFixture::SetUp() {
    UiTestApp();
    // Users made and windows shown on one day, whatever day the tests run.
    SetLocalTodayOverride(FixedToday);
    ASSERT_TRUE(WriteScratchLanguages(work_.path()));
    std::filesystem::create_directories(work_ / "User");
    SetMessageBoxOverride([this](const MessageBoxRequest& request) {
        boxes_.push_back(request.text);
        const int given = answers_.empty() ? -1 : answers_.front();
        if (given != -1) answers_.pop_front();
        const int answer = given != -1 ? given : request.buttons == MsgButtons::YesNo ? kIdYes : kIdOk;
        if (Snapshot* snapshot = Snapshot::Current())
            snapshot->Line("box \"" + request.text + "\" -> " +
                           (answer == kIdYes  ? "Yes"
                            : answer == kIdNo ? "No"
                            : answer == kIdOk ? "OK"
                                              : "Cancel"));
        return answer;
    });
}

void MainWindowFixture::TearDown() {
    dialog_.reset();
    globals_.reset();
    SetMessageBoxOverride(nullptr);
    SetRunModalOverride(nullptr);
    SetLangFailureHandler(nullptr);
    SetLocalTodayOverride(nullptr);
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

std::vector<std::string> MainWindowFixture::ListedNames() const {
    std::vector<std::string> names;
    const CUserListCtrl* list = dialog_->UserList();
    for (int row = 0; row < list->rowCount(); ++row) names.push_back(list->CellText(row, CUserListCtrl::kName));
    return names;
}

void MainWindowFixture::SelectRows(const std::vector<int>& rows) {
    CUserListCtrl* list = dialog_->UserList();
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, CUserListCtrl::kName),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::string MainWindowFixture::Config(const char* section, const char* key) const {
    return GetProfileString(work_ / "config.ini", section, key, "NULL");
}

}  // namespace stepora::test
