// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwnd/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/QtText.h"
#include "widgets/PictureFile.h"

namespace stepora {
namespace {

using D = CAboutDlg;
constexpr int kWidth = 235, kHeight = 78;

constexpr ControlSpec kControls[] = {
    {D::IDC_LOGO, Ctl::Picture, 7, 7, 96, 64},
    {D::IDC_VERSION, Ctl::Static, 110, 14, 118, 28, kWrap},
    {D::IDOK, Ctl::Button, 178, 53, 50, 16, kDefault, APP_OK},
};

}  // namespace

CAboutDlg::CAboutDlg(const std::filesystem::path& ptnDir, QWidget* parent)
    : CDialogBase(parent), ptnDir_(ptnDir) {
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    BuildControls(kControls);
    SetTitleKey(MAINMENU_STR24);
    connect(Control<QPushButton>(IDOK), &QPushButton::clicked, this, &QDialog::accept);
    ApplyTexts();
    DrawPictureFile(Control<QLabel>(IDC_LOGO), ptnDir_ / "CompanyLogo.ptn");
}

void CAboutDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    Control<QLabel>(IDC_VERSION)->setText(LangText(MAINMENU_STR25) + kVersion);
}

}  // namespace stepora
