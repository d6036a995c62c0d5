// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvExportDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppGlobals.h"
#include "app/DialogUnits.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "app/QtText.h"
#include "csv/CsvExport.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

using D = CCsvExportDlg;
constexpr int kWidth = 250, kHeight = 142;

constexpr ControlSpec kControls[] = {
    {D::IDC_TITLE, Ctl::Static, 8, 7, 234, 12, kAlignCenter, CSVEXPORT_DLG_STR2},
    {D::IDC_FROM_LABEL, Ctl::Static, 8, 28, 34, 12, 0, CSVEXPORT_DLG_STR3},
    {D::IDC_FROM_YEAR_LABEL, Ctl::Static, 42, 28, 28, 12, kAlignRight, CSVEXPORT_DLG_STR4},
    {D::IDC_FROM_YEAR, Ctl::NoTypeCombo, 72, 26, 40, 14},
    {D::IDC_FROM_MONTH_LABEL, Ctl::Static, 114, 28, 30, 12, kAlignRight, CSVEXPORT_DLG_STR5},
    {D::IDC_FROM_MONTH, Ctl::NoTypeCombo, 146, 26, 30, 14},
    {D::IDC_FROM_DAY_LABEL, Ctl::Static, 178, 28, 26, 12, kAlignRight, CSVEXPORT_DLG_STR6},
    {D::IDC_FROM_DAY, Ctl::NoTypeCombo, 206, 26, 30, 14},
    {D::IDC_TO_LABEL, Ctl::Static, 8, 48, 34, 12, 0, CSVEXPORT_DLG_STR7},
    {D::IDC_TO_YEAR_LABEL, Ctl::Static, 42, 48, 28, 12, kAlignRight, CSVEXPORT_DLG_STR8},
    {D::IDC_TO_YEAR, Ctl::NoTypeCombo, 72, 46, 40, 14},
    {D::IDC_TO_MONTH_LABEL, Ctl::Static, 114, 48, 30, 12, kAlignRight, CSVEXPORT_DLG_STR9},
    {D::IDC_TO_MONTH, Ctl::NoTypeCombo, 146, 46, 30, 14},
    {D::IDC_TO_DAY_LABEL, Ctl::Static, 178, 48, 26, 12, kAlignRight, CSVEXPORT_DLG_STR10},
    {D::IDC_TO_DAY, Ctl::NoTypeCombo, 206, 46, 30, 14},
    {D::IDC_FOLDER_LABEL, Ctl::Static, 8, 74, 50, 12, 0, CSVEXPORT_DLG_STR11},
    {D::IDC_FOLDER, Ctl::Edit, 60, 72, 150, 14, kReadOnly},
    {D::IDC_BROWSE, Ctl::Button, 214, 72, 22, 14, 0, kNoText, "..."},
    {D::IDC_FILE_NAME_LABEL, Ctl::Static, 8, 94, 50, 12, 0, CSVEXPORT_DLG_STR12},
    {D::IDC_FILE_NAME, Ctl::Edit, 60, 92, 150, 14},
    {0, Ctl::Static, 212, 94, 30, 12, 0, kNoText, ".CSV"},
    {D::IDC_OK, Ctl::Button, 62, 118, 50, 16, kDefault, CSVEXPORT_DLG_STR13},
    {D::IDC_CANCEL, Ctl::Button, 138, 118, 50, 16, 0, CSVEXPORT_DLG_STR14},
};

// The date lists are named by their own texts ("From year", "To day"): the Year, Month and
// Day labels beside them are the same in both rows, so they do not name them.
constexpr struct {
    int list;
    AddedKey name;
} kDateLists[] = {
    {D::IDC_FROM_YEAR, CSVEXPORT_DLG_STR21}, {D::IDC_FROM_MONTH, CSVEXPORT_DLG_STR22},
    {D::IDC_FROM_DAY, CSVEXPORT_DLG_STR23},  {D::IDC_TO_YEAR, CSVEXPORT_DLG_STR24},
    {D::IDC_TO_MONTH, CSVEXPORT_DLG_STR25},  {D::IDC_TO_DAY, CSVEXPORT_DLG_STR26},
};

void Fill(QComboBox* box, int first, int last, int selected) {
    box->clear();
    for (int value = first; value <= last; ++value) box->addItem(QString::number(value));
    box->setCurrentIndex(selected >= first && selected <= last ? selected - first : -1);
}

uint32_t Selected(QComboBox* box) {
    return box->currentIndex() < 0 ? 0 : box->currentText().toUInt();
}

}  // namespace

CCsvExportDlg::CCsvExportDlg(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    BuildControls(kControls);
    SetTitleKey(CSVEXPORT_DLG_STR1);
    LinkLabel(IDC_FOLDER_LABEL, IDC_FOLDER);
    LinkLabel(IDC_FILE_NAME_LABEL, IDC_FILE_NAME);
    Control<QPushButton>(IDC_BROWSE)->setAccessibleName(LangText(CSVEXPORT_DLG_STR15));
    connect(Control<QPushButton>(IDC_BROWSE), &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(Control<QPushButton>(IDC_OK), &QPushButton::clicked, this, [this] { OnOk(); });
    connect(Control<QPushButton>(IDC_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
}

void CCsvExportDlg::SetStoredDays(uint32_t firstDay, uint32_t lastDay) {
    firstDay_ = firstDay;
    lastDay_ = lastDay;
}

void CCsvExportDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    for (const auto& list : kDateLists)
        ControlWidget(list.list)->setAccessibleName(LangText(list.name));
    Control<QPushButton>(IDC_BROWSE)->setAccessibleName(LangText(CSVEXPORT_DLG_STR15));
}

void CCsvExportDlg::OnOpen() {
    uint32_t y1 = 0, m1 = 0, d1 = 0, y2 = 0, m2 = 0, d2 = 0, weekday = 0;
    DayCalendar().DayToDate(firstDay_, y1, m1, d1, weekday);
    DayCalendar().DayToDate(lastDay_, y2, m2, d2, weekday);
    Fill(Control<QComboBox>(IDC_FROM_YEAR), 2000, 2099, int(y1));
    Fill(Control<QComboBox>(IDC_FROM_MONTH), 1, 12, int(m1));
    Fill(Control<QComboBox>(IDC_FROM_DAY), 1, 31, int(d1));
    Fill(Control<QComboBox>(IDC_TO_YEAR), 2000, 2099, int(y2));
    Fill(Control<QComboBox>(IDC_TO_MONTH), 1, 12, int(m2));
    Fill(Control<QComboBox>(IDC_TO_DAY), 1, 31, int(d2));
    // The folder chosen last time, while it is there; the user need not browse again.
    const auto remembered =
        Globals().apEnvironment.RememberedFolder(CApEnvironment::Folder::CsvExport);
    std::error_code ec;
    const bool there = !remembered.empty() && std::filesystem::is_directory(remembered, ec);
    Control<QLineEdit>(IDC_FOLDER)->setText(there ? PathText(remembered) : QString());
    Control<QLineEdit>(IDC_FILE_NAME)->clear();
    Control<QLineEdit>(IDC_FILE_NAME)->setFocus();
}

void CCsvExportDlg::OnBrowse() {
    CApEnvironment& environment = Globals().apEnvironment;
    const auto folder =
        ChooseFile({FileChooserRequest::ChooseFolder, GetLangString(CSVEXPORT_DLG_STR15),
                    environment.RememberedFolder(CApEnvironment::Folder::CsvExport)},
                   this);
    if (!folder) return;
    SayIfNotSaved(environment.RememberFolder(CApEnvironment::Folder::CsvExport, folder->string()),
                  this);
    Control<QLineEdit>(IDC_FOLDER)->setText(PathText(*folder));
}

void CCsvExportDlg::OnOk() {
    const QString folder = Control<QLineEdit>(IDC_FOLDER)->text().trimmed();
    if (folder.isEmpty()) return ShowMessage(GetLangString(CSVEXPORT_DLG_STR16), this);
    const QString name = Control<QLineEdit>(IDC_FILE_NAME)->text().trimmed();
    if (name.isEmpty()) return ShowMessage(GetLangString(CSVEXPORT_DLG_STR17), this);

    const std::filesystem::path path = PathOf(folder) / PathOf(name + ".csv");
    const ExportRangeCheck check = CheckExportRange(
        firstDay_, lastDay_, Selected(Control<QComboBox>(IDC_FROM_YEAR)),
        Selected(Control<QComboBox>(IDC_FROM_MONTH)), Selected(Control<QComboBox>(IDC_FROM_DAY)),
        Selected(Control<QComboBox>(IDC_TO_YEAR)), Selected(Control<QComboBox>(IDC_TO_MONTH)),
        Selected(Control<QComboBox>(IDC_TO_DAY)));
    if (!check.ok) return ShowMessage(check.message, this);
    // Asked last, so that no answer is ever asked for again after another refusal.
    std::error_code ec;
    if (std::filesystem::exists(path, ec) &&
        DoMessageBox(GetLangString(CSVEXPORT_DLG_STR18), MsgButtons::YesNo, MsgIcon::Question,
                     this) != kIdYes)
        return;
    fromDay_ = check.fromDay;
    toDay_ = check.toDay;
    exportPath_ = path;
    accept();
}

}  // namespace stepora
