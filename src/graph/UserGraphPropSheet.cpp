// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/UserGraphPropSheet.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "app/DialogUnits.h"
#include "app/Format.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using S = CUserGraphPropSheet;

constexpr ControlSpec kGoalsPage[] = {
    {S::IDC_STEPS_TITLE, Ctl::Static, 8, 24, 80, 14, kAlignRight},
    {S::IDC_STEPS, Ctl::IntegerEdit, 94, 22, 56, 14, kAlignRight},
    {S::IDC_STEPS_UNIT, Ctl::Static, 156, 24, 52, 14},
    {S::IDC_CALORIES_TITLE, Ctl::Static, 8, 50, 80, 14, kAlignRight},
    {S::IDC_CALORIES, Ctl::DecimalEdit, 94, 48, 56, 14, kAlignRight},
    {S::IDC_CALORIES_UNIT, Ctl::Static, 156, 50, 52, 14},
    {S::IDC_DISTANCE_TITLE, Ctl::Static, 8, 76, 80, 14, kAlignRight},
    {S::IDC_DISTANCE, Ctl::DecimalEdit, 94, 74, 56, 14, kAlignRight},
    {S::IDC_DISTANCE_UNIT, Ctl::Static, 156, 76, 52, 14},
};

constexpr ControlSpec kViewPage[] = {
    {S::IDC_PERIOD_GROUP, Ctl::GroupBox, 7, 7, 104, 110, 0, USEGRAPH_OPTIOS_STR26},
    {S::IDC_KIND_GROUP, Ctl::GroupBox, 117, 7, 90, 110, 0, USEGRAPH_OPTIOS_STR27},
};
// Radios are placed inside their group box, so they are read as members of it.
constexpr ControlSpec kPeriodRadios[] = {
    {S::IDC_DAILY, Ctl::Radio, 10, 16, 90, 10, kGroup, USEGRAPH_OPTIOS_STR28},
    {S::IDC_WEEKLY, Ctl::Radio, 10, 31, 90, 10, 0, USEGRAPH_OPTIOS_STR29},
    {S::IDC_MONTHLY, Ctl::Radio, 10, 46, 90, 10, 0, USEGRAPH_OPTIOS_STR30},
    {S::IDC_YEARLY, Ctl::Radio, 10, 61, 90, 10, 0, USEGRAPH_OPTIOS_STR31},
    {S::IDC_ALL, Ctl::Radio, 10, 76, 90, 10, 0, USEGRAPH_OPTIOS_STR32},
    {S::IDC_LAST_USED, Ctl::Radio, 10, 91, 90, 10, 0, USEGRAPH_OPTIOS_STR33},
};
constexpr ControlSpec kKindRadios[] = {
    {S::IDC_STEPS_KIND, Ctl::Radio, 10, 16, 76, 10, kGroup, USEGRAPH_OPTIOS_STR34},
    {S::IDC_CALORIES_KIND, Ctl::Radio, 10, 31, 76, 10, 0, USEGRAPH_OPTIOS_STR35},
    {S::IDC_DISTANCE_KIND, Ctl::Radio, 10, 46, 76, 10, 0, USEGRAPH_OPTIOS_STR36},
};

constexpr ControlSpec kWeekPage[] = {
    {S::IDC_WEEK_GROUP, Ctl::GroupBox, 7, 7, 200, 110, 0, USEGRAPH_OPTIOS_STR37},
};
constexpr ControlSpec kWeekRadios[] = {
    {S::IDC_MONDAY, Ctl::Radio, 10, 15, 120, 10, kGroup, USEGRAPH_OPTIOS_STR38},
    {S::IDC_TUESDAY, Ctl::Radio, 10, 28, 120, 10, 0, USEGRAPH_OPTIOS_STR39},
    {S::IDC_WEDNESDAY, Ctl::Radio, 10, 41, 120, 10, 0, USEGRAPH_OPTIOS_STR40},
    {S::IDC_THURSDAY, Ctl::Radio, 10, 54, 120, 10, 0, USEGRAPH_OPTIOS_STR41},
    {S::IDC_FRIDAY, Ctl::Radio, 10, 67, 120, 10, 0, USEGRAPH_OPTIOS_STR42},
    {S::IDC_SATURDAY, Ctl::Radio, 10, 80, 120, 10, 0, USEGRAPH_OPTIOS_STR43},
    {S::IDC_SUNDAY, Ctl::Radio, 10, 93, 120, 10, 0, USEGRAPH_OPTIOS_STR44},
};

constexpr int kButtonsWidth = 106, kButtonsHeight = 15;
constexpr ControlSpec kButtons[] = {
    {S::IDC_OK, Ctl::Button, 0, 0, 50, 14, 0, USEGRAPH_OPTIOS_STR1},
    {S::IDC_CANCEL, Ctl::Button, 54, 0, 50, 14, 0, USEGRAPH_OPTIOS_STR2},
};

constexpr LangKey kTabKeys[] = {USEGRAPH_OPTIOS_STR4, USEGRAPH_OPTIOS_STR5, USEGRAPH_OPTIOS_STR6};

// Radios by option value.
constexpr int kPeriodIds[] = {S::IDC_DAILY,  S::IDC_WEEKLY, S::IDC_MONTHLY,
                              S::IDC_YEARLY, S::IDC_ALL,    S::IDC_LAST_USED};
constexpr int kKindIds[] = {S::IDC_STEPS_KIND, S::IDC_CALORIES_KIND, S::IDC_DISTANCE_KIND};
// Weekdays 1 (Sunday) .. 7 (Saturday).
constexpr int kWeekdayIds[] = {S::IDC_SUNDAY,   S::IDC_MONDAY, S::IDC_TUESDAY, S::IDC_WEDNESDAY,
                               S::IDC_THURSDAY, S::IDC_FRIDAY, S::IDC_SATURDAY};

// An exclusive group refuses to uncheck its checked button, so it lets go meanwhile.
void UncheckAll(QAbstractButton* member) {
    QButtonGroup* group = member->group();
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

CUserGraphPropSheet::CUserGraphPropSheet(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    const DialogUnits units(font());
    SetTitleKey(USEGRAPH_OPTIOS_STR3);

    tabs_ = new QTabWidget(this);
    QWidget* pages[3];
    for (QWidget*& page : pages) {
        page = new QWidget;
        page->setFixedSize(units.Size(kPageWidth, kPageHeight));
        tabs_->addTab(page, QString());
    }
    BuildControls(kGoalsPage, pages[0]);
    BuildControls(kViewPage, pages[1]);
    BuildControls(kPeriodRadios, Control<QGroupBox>(IDC_PERIOD_GROUP));
    BuildControls(kKindRadios, Control<QGroupBox>(IDC_KIND_GROUP));
    BuildControls(kWeekPage, pages[2]);
    BuildControls(kWeekRadios, Control<QGroupBox>(IDC_WEEK_GROUP));

    auto* buttons = new QWidget(this);
    buttons->setFixedSize(units.Size(kButtonsWidth, kButtonsHeight));
    BuildControls(kButtons, buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(7));
    layout->setSpacing(units.Y(7));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tabs_);
    layout->addWidget(buttons, 0, Qt::AlignRight);

    LinkLabel(IDC_STEPS_TITLE, IDC_STEPS);
    LinkLabel(IDC_CALORIES_TITLE, IDC_CALORIES);
    LinkLabel(IDC_DISTANCE_TITLE, IDC_DISTANCE);
    for (int id : {IDC_STEPS, IDC_CALORIES, IDC_DISTANCE}) Control<QLineEdit>(id)->setMaxLength(6);

    for (uint32_t period = 0; period < 6; ++period)
        connect(Control<QRadioButton>(kPeriodIds[period]), &QRadioButton::clicked, this,
                [this, period] {
                    options_.defaultPeriod = period;
                    EnableKinds();
                });
    for (uint32_t kind = 0; kind < 3; ++kind)
        connect(Control<QRadioButton>(kKindIds[kind]), &QRadioButton::clicked, this,
                [this, kind] { options_.defaultKind = kind; });
    for (uint32_t weekday = 1; weekday <= 7; ++weekday)
        connect(Control<QRadioButton>(kWeekdayIds[weekday - 1]), &QRadioButton::clicked, this,
                [this, weekday] { options_.weekStart = weekday; });

    connect(Control<QPushButton>(IDC_OK), &QPushButton::clicked, this, [this] { OnOk(); });
    connect(Control<QPushButton>(IDC_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
}

void CUserGraphPropSheet::SetOptions(const GraphOptions& options) {
    options_ = options;
    // What the header holds, recovered exactly from the doubles it was divided into.
    const auto stored = [](double value) {
        return static_cast<uint32_t>(std::clamp(value + 0.5, 0.0, 4294967295.0));
    };
    caloriesTenths_ = stored(options.goalCalories * 10);
    distanceHundredths_ = stored(options.goalDistance * 100);
}

void CUserGraphPropSheet::ApplyTexts() {
    const bool metric = !IsImperial(options_.unitSystem);
    SetTextKey(IDC_STEPS_TITLE, metric ? USEGRAPH_OPTIOS_STR9 : USEGRAPH_OPTIOS_STR15);
    SetTextKey(IDC_CALORIES_TITLE, metric ? USEGRAPH_OPTIOS_STR7 : USEGRAPH_OPTIOS_STR13);
    SetTextKey(IDC_DISTANCE_TITLE, metric ? USEGRAPH_OPTIOS_STR8 : USEGRAPH_OPTIOS_STR14);
    SetTextKey(IDC_STEPS_UNIT, metric ? USEGRAPH_OPTIOS_STR12 : USEGRAPH_OPTIOS_STR18);
    SetTextKey(IDC_CALORIES_UNIT, metric ? USEGRAPH_OPTIOS_STR10 : USEGRAPH_OPTIOS_STR16);
    SetTextKey(IDC_DISTANCE_UNIT, metric ? USEGRAPH_OPTIOS_STR11 : USEGRAPH_OPTIOS_STR17);
    CDialogBase::ApplyTexts();
    for (int page = 0; page < 3; ++page)
        tabs_->setTabText(page, LangText(kTabKeys[page]).left(1023));
}

void CUserGraphPropSheet::OnOpen() {
    Control<QLineEdit>(IDC_STEPS)->setText(Qs(Format("%u", options_.goalSteps)));
    Control<QLineEdit>(IDC_CALORIES)->setText(Qs(Format("%.1f", options_.goalCalories)));
    Control<QLineEdit>(IDC_DISTANCE)->setText(Qs(Format("%.2f", options_.goalDistance)));

    UncheckAll(Control<QRadioButton>(IDC_DAILY));
    UncheckAll(Control<QRadioButton>(IDC_STEPS_KIND));
    UncheckAll(Control<QRadioButton>(IDC_MONDAY));
    Control<QRadioButton>(kPeriodIds[std::min(options_.defaultPeriod, 5u)])->setChecked(true);
    Control<QRadioButton>(kKindIds[std::min(options_.defaultKind, 2u)])->setChecked(true);
    if (options_.weekStart >= 1 && options_.weekStart <= 7)
        Control<QRadioButton>(kWeekdayIds[options_.weekStart - 1])->setChecked(true);
    EnableKinds();

    tabs_->setCurrentIndex(0);
    Control<QLineEdit>(IDC_STEPS)->setFocus();
}

void CUserGraphPropSheet::EnableKinds() {
    const bool enabled = options_.defaultPeriod != 4 && options_.defaultPeriod != 5;
    for (int id : kKindIds) Control<QRadioButton>(id)->setEnabled(enabled);
}

void CUserGraphPropSheet::OnOk() {
    const GoalCheck check = CheckGoals(Us(Control<QLineEdit>(IDC_STEPS)->text()),
                                       Us(Control<QLineEdit>(IDC_CALORIES)->text()),
                                       Us(Control<QLineEdit>(IDC_DISTANCE)->text()));
    if (!check.ok) {
        ShowMessage(GetLangString(check.message), this);
        tabs_->setCurrentIndex(0);
        const int field = check.message == USEGRAPH_OPTIOS_STR19   ? IDC_STEPS
                          : check.message <= USEGRAPH_OPTIOS_STR22 ? IDC_CALORIES
                                                                   : IDC_DISTANCE;
        Control<QLineEdit>(field)->setFocus();
        Control<QLineEdit>(field)->selectAll();
        return;
    }
    options_.goalSteps = check.steps;
    options_.goalCalories = check.calories;
    options_.goalDistance = check.distance;
    caloriesTenths_ = check.caloriesTenths;
    distanceHundredths_ = check.distanceHundredths;
    accept();
}

}  // namespace stepora
