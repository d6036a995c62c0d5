// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/GraphExpDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using D = CGraphExpDlg;

constexpr ControlSpec kControls[] = {
    {D::IDC_TITLE_LINE, Ctl::Static, 7, 7, 166, 10},
    {D::IDC_EXPLANATION, Ctl::Static, 7, 21, 166, 42, kWrap},
    {D::IDC_CLOSE, Ctl::Button, 65, 70, 50, 14, kDefault, GRAPHEXP_DLG_STR1},
};

}  // namespace

CGraphExpDlg::CGraphExpDlg(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kTemplateWidth, kTemplateHeight));
    BuildControls(kControls);
    // Bar texts come from language files and are never markup.
    Control<QLabel>(IDC_TITLE_LINE)->setTextFormat(Qt::PlainText);
    Control<QLabel>(IDC_EXPLANATION)->setTextFormat(Qt::PlainText);
    connect(Control<QPushButton>(IDC_CLOSE), &QPushButton::clicked, this, &QDialog::accept);
}

void CGraphExpDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    setWindowTitle(Qs(caption_));
    Control<QLabel>(IDC_TITLE_LINE)->setText(Qs(titleLine_));
    Control<QLabel>(IDC_EXPLANATION)->setText(Qs(explanation_));
}

}  // namespace stepora
