// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "graph/GraphOptions.h"
#include "widgets/DialogBase.h"

class QTabWidget;

namespace stepora {

// The graph options: three pages (goals, opening view, first day of the week) with OK
// and Cancel. It only shows and checks the values; the graph window loads and saves them.
class CUserGraphPropSheet : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateIds[3] = {104, 105, 106};
    static constexpr int kPageWidth = 214, kPageHeight = 124;  // dialog units
    // Pages 2 and 3 share ids 1136 and 1137; page 3 keeps its ids above this base.
    static constexpr int kPage3IdBase = 10000;
    enum ControlId : int {
        IDC_OK = 1,
        IDC_CANCEL = 2,
        // page 1
        IDC_STEPS = 1049,
        IDC_CALORIES = 1050,
        IDC_DISTANCE = 1051,
        IDC_STEPS_TITLE = 1121,
        IDC_CALORIES_TITLE = 1122,
        IDC_DISTANCE_TITLE = 1123,
        IDC_STEPS_UNIT = 1124,
        IDC_CALORIES_UNIT = 1125,
        IDC_DISTANCE_UNIT = 1126,
        // page 2
        IDC_PERIOD_GROUP = 1134,
        IDC_KIND_GROUP = 1135,
        IDC_DAILY = 1127,
        IDC_WEEKLY = 1137,
        IDC_MONTHLY = 1128,
        IDC_YEARLY = 1129,
        IDC_ALL = 1130,
        IDC_LAST_USED = 1136,
        IDC_STEPS_KIND = 1131,
        IDC_CALORIES_KIND = 1132,
        IDC_DISTANCE_KIND = 1133,
        // page 3
        IDC_WEEK_GROUP = kPage3IdBase + 1143,
        IDC_MONDAY = kPage3IdBase + 1136,
        IDC_TUESDAY = kPage3IdBase + 1137,
        IDC_WEDNESDAY = kPage3IdBase + 1138,
        IDC_THURSDAY = kPage3IdBase + 1139,
        IDC_FRIDAY = kPage3IdBase + 1140,
        IDC_SATURDAY = kPage3IdBase + 1141,
        IDC_SUNDAY = kPage3IdBase + 1142,
    };

    explicit CUserGraphPropSheet(QWidget* parent = nullptr);

    // Set before each opening.
    void SetOptions(const GraphOptions& options);
    // After OK: the checked goals and the chosen radios. A radio value nobody clicked
    // stays as it was given, even when no radio shows it.
    GraphOptions Options() const { return options_; }
    // The goals as the header stores them, read exactly from the digits typed.
    uint32_t CaloriesTenths() const { return caloriesTenths_; }
    uint32_t DistanceHundredths() const { return distanceHundredths_; }

    QTabWidget* Tabs() const { return tabs_; }
    void ApplyTexts() override;

protected:
    void OnOpen() override;

private:
    void OnOk();
    void EnableKinds();

    QTabWidget* tabs_ = nullptr;
    GraphOptions options_;
    uint32_t caloriesTenths_ = 0, distanceHundredths_ = 0;
};

}  // namespace stepora
