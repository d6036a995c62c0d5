#include "graph/UseGraphDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using D = CUseGraphDlg;

constexpr ControlSpec kControls[] = {
    {D::IDC_CLOSE, Ctl::Button, 550, 20, 42, 42, 0, USEGRAPH_MENU_STR6},
    {D::IDC_NAME_LABEL, Ctl::Static, 9, 96, 61, 14, kAlignRight, USEGRAPH_MENU_STR19},
    {D::IDC_USER_NAME, Ctl::Static, 72, 96, 76, 14, kAlignCenter},
};

}  // namespace

CUseGraphDlg::CUseGraphDlg(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kTemplateWidth, kTemplateHeight));
    BuildControls(kControls);
    SetTitleKey(USEGRAPH_STR1);
    connect(Control<QPushButton>(IDC_CLOSE), &QPushButton::clicked, this, &QDialog::accept);
}

void CUseGraphDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    Control<QLabel>(IDC_USER_NAME)->setText(Qs(userName_));
}

}  // namespace stepora
