// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/PasswordCheckDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "accounts/WindowPrompts.h"
#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using D = CPasswordCheckDlg;
constexpr int kWidth = 216, kHeight = 56;

constexpr ControlSpec kControls[] = {
    {D::IDC_USER_LINE, Ctl::Static, 3, 4, 210, 10, kAlignCenter},
    {D::IDC_PASSWORD_LABEL, Ctl::Static, 18, 18, 45, 12, kAlignCenter, PASSWORD_CHECK_STR2},
    {D::IDC_PASSWORD, Ctl::PasswordEdit, 65, 18, 133, 12},
    {D::IDC_OK, Ctl::Button, 56, 41, 33, 14, kDefault, PASSWORD_CHECK_STR3},
    {D::IDC_CANCEL, Ctl::Button, 127, 41, 33, 14, 0, PASSWORD_CHECK_STR4},
};

}  // namespace

CPasswordCheckDlg::CPasswordCheckDlg(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    BuildControls(kControls);
    LinkLabel(IDC_PASSWORD_LABEL, IDC_PASSWORD);
    SetTitleKey(PASSWORD_CHECK_STR1);
    connect(Control<QPushButton>(IDC_OK), &QPushButton::clicked, this, [this] {
        password_ = Us(Control<QLineEdit>(IDC_PASSWORD)->text());
        accept();
    });
    connect(Control<QPushButton>(IDC_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
}

void CPasswordCheckDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    Control<QLabel>(IDC_USER_LINE)->setText(Qs(userLine_));
}

void CPasswordCheckDlg::OnOpen() {
    password_.clear();
    Control<QLineEdit>(IDC_PASSWORD)->clear();
    Control<QLineEdit>(IDC_PASSWORD)->setFocus();
}

bool CheckPassword(CPasswordCheckDlg& prompt, const std::string& stored,
                   const std::string& userLine, LangKey wrongKey, QWidget* parent,
                   bool askWhenEmpty) {
    return CheckPassword(WindowPrompts(parent, prompt), stored, userLine, wrongKey, askWhenEmpty);
}

}  // namespace stepora
