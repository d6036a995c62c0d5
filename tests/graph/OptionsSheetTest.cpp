// The goals check of the graph options and the sheet itself, clicked offscreen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <tuple>

#include "app/MessageBox.h"
#include "graph/UserGraphPropSheet.h"
#include "support/ScopedOverride.h"
#include "support/ScratchWorkDir.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using S = CUserGraphPropSheet;
constexpr LangKey kAccepted = LANG_KEY_COUNT;

TEST(GoalCheckTest, RefusesOrStoresTheExactDigits) {
    const struct {
        const char *steps, *calories, *distance;
        LangKey message;  // kAccepted, then the stored integers follow
        uint32_t steps_, tenths, hundredths;
    } cases[] = {
        {"999999", "9999.9", "99.999", kAccepted, 999999, 99999, 9999},
        {"", "12.5", "1.5", kAccepted, 0, 125, 150},
        {"7", "0.7", "4.35", kAccepted, 7, 7, 435},  // trunc(4.35 * 100) would be 434
        {" 8 ", ".5", "5.", kAccepted, 8, 5, 500},
        {"abc", "", "", USEGRAPH_OPTIOS_STR19, 0, 0, 0},
        {"1000000", "", "", USEGRAPH_OPTIOS_STR19, 0, 0, 0},
        {"", "1.2.3", "100", USEGRAPH_OPTIOS_STR20, 0, 0, 0},  // calories before distance
        {"", "12.34", "", USEGRAPH_OPTIOS_STR21, 0, 0, 0},
        {"", "10000", "", USEGRAPH_OPTIOS_STR22, 0, 0, 0},
        {"", "-5", "", USEGRAPH_OPTIOS_STR22, 0, 0, 0},
        {"", "", "1..", USEGRAPH_OPTIOS_STR23, 0, 0, 0},
        {"", "", "1.2345", USEGRAPH_OPTIOS_STR24, 0, 0, 0},
        {"", "", "100", USEGRAPH_OPTIOS_STR25, 0, 0, 0},
        {"", "", ".", USEGRAPH_OPTIOS_STR25, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const GoalCheck check = CheckGoals(c.steps, c.calories, c.distance);
        SCOPED_TRACE(std::string(c.steps) + "|" + c.calories + "|" + c.distance);
        EXPECT_EQ(check.ok, c.message == kAccepted);
        if (!check.ok)
            EXPECT_EQ(check.message, c.message);
        else
            EXPECT_EQ(std::tie(check.steps, check.caloriesTenths, check.distanceHundredths),
                      std::tie(c.steps_, c.tenths, c.hundredths));
    }
}

class OptionsSheetTest : public ::testing::Test {
protected:
    // Opens the sheet with `options`; `script` works the shown sheet and closes it.
    int Open(const GraphOptions& options, const std::function<void()>& script) {
        sheet_.SetOptions(options);
        test::ScopedOverride<ModalHandler> modal(SetRunModalOverride, [&](QDialog&) {
            sheet_.show();
            script();
            return sheet_.result();
        });
        return sheet_.Run();
    }
    void Click(int id) {  // near the left edge: a radio answers on its circle and text only
        auto* button = sheet_.Control<QAbstractButton>(id);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    QString Text(int id) { return sheet_.Control<QLineEdit>(id)->text(); }

    QApplication& app_ = test::UiTestApp();
    test::ScratchWorkDir work_;
    S sheet_;
    std::vector<std::string> boxes_;
    test::ScopedOverride<MessageBoxResponder> answer_{
        SetMessageBoxOverride, [this](const MessageBoxRequest& box) {
            boxes_.push_back(box.text);
            return static_cast<int>(kIdOk);
        }};
};

TEST_F(OptionsSheetTest, KindRadiosAreGreyedForTheWholeRecordAndTheLastView) {
    const int result = Open({.defaultPeriod = 5, .defaultKind = 7}, [&] {
        sheet_.Tabs()->setCurrentIndex(1);
        EXPECT_TRUE(sheet_.Control<QRadioButton>(S::IDC_LAST_USED)->isChecked());
        EXPECT_TRUE(sheet_.Control<QRadioButton>(S::IDC_DISTANCE_KIND)->isChecked());
        const struct { int radio; bool kindsEnabled; } steps[] = {{S::IDC_DAILY, true}, {S::IDC_ALL, false}, {S::IDC_WEEKLY, true},
            {S::IDC_LAST_USED, false}, {S::IDC_DAILY, true}};
        for (const auto& step : steps) {
            Click(step.radio);
            for (int kind : {S::IDC_STEPS_KIND, S::IDC_CALORIES_KIND, S::IDC_DISTANCE_KIND})
                EXPECT_EQ(sheet_.Control<QWidget>(kind)->isEnabled(), step.kindsEnabled) << step.radio;
        }
        Click(S::IDC_CALORIES_KIND);
        EXPECT_FALSE(sheet_.Control<QRadioButton>(S::IDC_LAST_USED)->isChecked());
        Click(S::IDC_OK);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(sheet_.Options().defaultPeriod, 0u);
    EXPECT_EQ(sheet_.Options().defaultKind, 1u);
}

TEST_F(OptionsSheetTest, ReopeningShowsTheHeaderAgainAndOkKeepsWhatNobodyTouched) {
    UserFileHeader header{.unitSystem = 1, .goalSteps = 8000, .goalCalories = 125,
                          .goalDistance = 435, .weekStart = 3};
    Open(OptionsFromHeader(header), [&] {
        EXPECT_TRUE(sheet_.Control<QRadioButton>(S::IDC_TUESDAY)->isChecked());
        Click(S::IDC_FRIDAY);
        Click(S::IDC_OK);
    });
    EXPECT_EQ(sheet_.Options().weekStart, 6u);

    header.weekStart = 0;  // no weekday: the sheet shows none and leaves it so
    const int result = Open(OptionsFromHeader(header), [&] {
        for (int day = S::IDC_MONDAY; day <= S::IDC_SUNDAY; ++day)
            EXPECT_FALSE(sheet_.Control<QRadioButton>(day)->isChecked()) << day;
        EXPECT_EQ(Text(S::IDC_STEPS), "8000");
        EXPECT_EQ(Text(S::IDC_CALORIES), "12.5");
        EXPECT_EQ(Text(S::IDC_DISTANCE), "4.35");
        EXPECT_EQ(sheet_.Control<QLabel>(S::IDC_DISTANCE_UNIT)->text().toStdString(),
                  GetLangString(USEGRAPH_OPTIOS_STR17));
        Click(S::IDC_OK);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    const UserFileHeader saved = HeaderWithOptions(header, sheet_.Options(), sheet_.CaloriesTenths(),
                                                   sheet_.DistanceHundredths());
    EXPECT_EQ(std::tie(saved.weekStart, saved.goalSteps, saved.goalCalories, saved.goalDistance),
              std::make_tuple(0u, 8000u, 125u, 435u));
}

TEST_F(OptionsSheetTest, OkStaysOpenWhileTheGoalsAreRefused) {
    const int result = Open({.goalCalories = 2.5}, [&] {
        QTest::keyClicks(sheet_.Control<QLineEdit>(S::IDC_CALORIES), "1.2.3");  // after "2.5"
        sheet_.Tabs()->setCurrentIndex(2);
        Click(S::IDC_OK);
        EXPECT_EQ(boxes_, std::vector<std::string>{GetLangString(USEGRAPH_OPTIOS_STR20)});
        EXPECT_TRUE(sheet_.isVisible());
        EXPECT_EQ(sheet_.Tabs()->currentIndex(), 0);
        Click(S::IDC_CANCEL);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(sheet_.Options().goalCalories, 2.5);
}

}  // namespace
}  // namespace stepora
