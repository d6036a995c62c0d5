// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/AccountDlgs.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using A = CAddUserDlg;
using E = CEditUserDlg;

constexpr ControlSpec kAddControls[] = {
    {A::IDC_HEADER, Ctl::Static, 19, 9, 186, 14, kAlignCenter, ADDUSER_WNDTEXT},
    {A::IDC_NAME_LABEL, Ctl::Static, 8, 32, 63, 14, kAlignRight, ADDUSER_NAMETITLE},
    {A::IDC_NAME, Ctl::UserNameEdit, 74, 32, 110, 14},
    {0, Ctl::Static, 184, 32, 8, 14, 0, kNoText, "*"},
    {A::IDC_PASSWORD1_LABEL, Ctl::Static, 8, 52, 63, 14, kAlignRight, ADDUSER_PASSWORD1},
    {A::IDC_PASSWORD1, Ctl::PasswordEdit, 74, 52, 110, 14},
    {A::IDC_PASSWORD2_LABEL, Ctl::Static, 8, 73, 63, 14, kAlignRight, ADDUSER_PASSWORD2},
    {A::IDC_PASSWORD2, Ctl::PasswordEdit, 74, 73, 110, 14},
    {A::IDC_NOTE, Ctl::Static, 58, 93, 118, 8, kAlignCenter, ADDUSER_NOTE},
    {A::IDC_OK, Ctl::Button, 49, 111, 42, 18, kDefault, ADDUSER_BTNOK},
    {A::IDC_CANCEL, Ctl::Button, 131, 111, 42, 18, 0, ADDUSER_BTNCANCEL},
};

constexpr ControlSpec kEditControls[] = {
    {E::IDC_NAME_LABEL, Ctl::Static, 9, 21, 60, 14, kAlignRight, EDITUSER_NAMETITLE},
    {E::IDC_NAME, Ctl::UserNameEdit, 72, 21, 110, 14},
    {0, Ctl::Static, 184, 21, 8, 14, 0, kNoText, "*"},
    {E::IDC_PASSWORD1_LABEL, Ctl::Static, 9, 41, 60, 14, 0, EDITUSER_PASSWORD1},
    {E::IDC_PASSWORD1, Ctl::PasswordEdit, 72, 41, 110, 14},
    {E::IDC_PASSWORD2_LABEL, Ctl::Static, 9, 61, 60, 14, 0, EDITUSER_PASSWORD2},
    {E::IDC_PASSWORD2, Ctl::PasswordEdit, 72, 61, 110, 14},
    {E::IDC_NOTE, Ctl::Static, 47, 81, 118, 8, 0, EDITUSER_NOTE},
    {E::IDC_OK, Ctl::Button, 48, 104, 42, 18, kDefault, EDITUSER_BTNOK},
    {E::IDC_CANCEL, Ctl::Button, 117, 104, 42, 18, 0, EDITUSER_BTNCANCEL},
};

const AccountDlgTemplate kAddTemplate{
    .controls = kAddControls,
    .width = 225,
    .height = 135,
    .pointSize = 8,
    .title = ADDUSER_WNDTITLE,
    .nameLabel = A::IDC_NAME_LABEL,
    .name = A::IDC_NAME,
    .password1Label = A::IDC_PASSWORD1_LABEL,
    .password1 = A::IDC_PASSWORD1,
    .password2Label = A::IDC_PASSWORD2_LABEL,
    .password2 = A::IDC_PASSWORD2,
    .ok = A::IDC_OK,
    .cancel = A::IDC_CANCEL,
    .emptyNameMessage = ADDUSER_STR1,
    .mismatchMessage = ADDUSER_STR2,
};

const AccountDlgTemplate kEditTemplate{
    .controls = kEditControls,
    .width = 206,
    .height = 129,
    .pointSize = 10,
    .title = EDITUSER_WNDTITLE,
    .nameLabel = E::IDC_NAME_LABEL,
    .name = E::IDC_NAME,
    .password1Label = E::IDC_PASSWORD1_LABEL,
    .password1 = E::IDC_PASSWORD1,
    .password2Label = E::IDC_PASSWORD2_LABEL,
    .password2 = E::IDC_PASSWORD2,
    .ok = E::IDC_OK,
    .cancel = E::IDC_CANCEL,
    .emptyNameMessage = EDITUSER_STR1,
    .mismatchMessage = EDITUSER_STR2,
};

}  // namespace

CAccountDlg::CAccountDlg(const AccountDlgTemplate& layout, QWidget* parent)
    : CDialogBase(parent), layout_(layout) {
    QFont dialogFont = DialogFont();
    dialogFont.setPointSize(layout.pointSize);
    setFont(dialogFont);
    setFixedSize(DialogUnits(font()).Size(layout.width, layout.height));
    BuildControls(layout.controls);
    LinkLabel(layout.nameLabel, layout.name);
    LinkLabel(layout.password1Label, layout.password1);
    LinkLabel(layout.password2Label, layout.password2);
    SetTitleKey(layout.title);
    connect(Control<QPushButton>(layout.ok), &QPushButton::clicked, this, [this] { OnOk(); });
    connect(Control<QPushButton>(layout.cancel), &QPushButton::clicked, this, &QDialog::reject);
}

void CAccountDlg::OnOpen() {
    auto* name = Control<QLineEdit>(layout_.name);
    name->setMaxLength(16);
    name->setText(Qs(acceptedName));
    Control<QLineEdit>(layout_.password1)->setText(Qs(acceptedPassword));
    Control<QLineEdit>(layout_.password2)->setText(Qs(acceptedPassword));
    name->setFocus();
}

void CAccountDlg::OnOk() {
    acceptedName = Us(Control<QLineEdit>(layout_.name)->text().trimmed());
    if (acceptedName.empty()) {
        ShowMessage(GetLangString(layout_.emptyNameMessage), this);
        return;
    }
    const std::string first = Us(Control<QLineEdit>(layout_.password1)->text());
    const std::string second = Us(Control<QLineEdit>(layout_.password2)->text());
    if (first != second) {
        ShowMessage(GetLangString(layout_.mismatchMessage), this);
        return;
    }
    acceptedPassword = first;
    accept();
}

CAddUserDlg::CAddUserDlg(QWidget* parent) : CAccountDlg(kAddTemplate, parent) {}

CEditUserDlg::CEditUserDlg(QWidget* parent) : CAccountDlg(kEditTemplate, parent) {}

}  // namespace stepora
