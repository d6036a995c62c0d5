// The goals check of the graph options and the sheet itself, clicked offscreen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
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
        uint32_t steps_ = 0, tenths = 0, hundredths = 0;
    } cases[] = {
        {"999999", "9999.9", "99.999", kAccepted, 999999, 99999, 9999},
        {"", "12.5", "1.5", kAccepted, 0, 125, 150},
        {"7", "0.7", "4.35", kAccepted, 7, 7, 435},  // trunc(4.35 * 100) would be 434
        {" 8 ", ".5", "5.", kAccepted, 8, 5, 500},
        // clang-format off
        {"abc", "", "", USEGRAPH_OPTIOS_STR19}, {"1000000", "", "", USEGRAPH_OPTIOS_STR19},
        {"", "1.2.3", "100", USEGRAPH_OPTIOS_STR20},  // calories before distance
        {"", "12.34", "", USEGRAPH_OPTIOS_STR21}, {"", "10000", "", USEGRAPH_OPTIOS_STR22},
        {"", "-5", "", USEGRAPH_OPTIOS_STR22},
        {"", "1.2a", "", USEGRAPH_OPTIOS_STR22},  // a letter is no number, even past the decimals
        {"", "", "1..", USEGRAPH_OPTIOS_STR23}, {"", "", "1.2345", USEGRAPH_OPTIOS_STR24},
        {"", "", "100", USEGRAPH_OPTIOS_STR25}, {"", "", ".", USEGRAPH_OPTIOS_STR25},
        // clang-format on
    };
    for (const auto& c : cases) {
        const GoalCheck check = CheckGoals(c.steps, c.calories, c.distance);
        SCOPED_TRACE(std::string(c.steps) + "|" + c.calories + "|" + c.distance);
        EXPECT_EQ(check.ok ? kAccepted : check.message, c.message);
        if (check.ok)
            EXPECT_EQ(std::tie(check.steps, check.caloriesTenths, check.distanceHundredths),
                      std::tie(c.steps_, c.tenths, c.hundredths));
    }
}

// The sheet shows the header's options; OK stays open while a goal is refused and then
// stores the choices, keeping the goals nobody touched digit for digit.
TEST(OptionsSheetTest, ShowsTheOptionsAndOkStoresThemOnceTheGoalsPass) {
    test::UiTestApp();
    test::ScratchWorkDir work;
    S sheet;
    std::vector<std::string> boxes;
    test::ScopedOverride<MessageBoxResponder> answer(
        SetMessageBoxOverride,
        [&](const MessageBoxRequest& box) { return boxes.push_back(box.text), int(kIdOk); });
    const auto click =
        [&](int id) {  // near the left edge: a radio answers on its circle and text only
            auto* button = sheet.Control<QAbstractButton>(id);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        };
    const auto checked = [&](int id) { return sheet.Control<QRadioButton>(id)->isChecked(); };
    const auto enabled = [&](int id) { return sheet.Control<QWidget>(id)->isEnabled(); };
    auto* calories = sheet.Control<QLineEdit>(S::IDC_CALORIES);
    const UserFileHeader header{.unitSystem = 1,
                                .goalSteps = 8000,
                                .goalCalories = 125,
                                .goalDistance = 435,
                                .defaultPeriod = 5,
                                .defaultKind = 2,
                                .weekStart = 3};
    sheet.SetOptions(OptionsFromHeader(header));
    test::ScopedOverride<ModalHandler> modal(SetRunModalOverride, [&](QDialog&) {
        sheet.show();
        EXPECT_TRUE(checked(S::IDC_LAST_USED) && checked(S::IDC_DISTANCE_KIND) &&
                    checked(S::IDC_TUESDAY));
        EXPECT_FALSE(enabled(S::IDC_STEPS_KIND));  // the last view brings its own kind
        EXPECT_EQ(calories->text() + "|" + sheet.Control<QLineEdit>(S::IDC_DISTANCE)->text(),
                  "12.5|4.35");
        EXPECT_EQ(sheet.Control<QLabel>(S::IDC_DISTANCE_UNIT)->text().toStdString(),
                  GetLangString(USEGRAPH_OPTIOS_STR17));
        click(S::IDC_ALL);
        EXPECT_FALSE(enabled(S::IDC_CALORIES_KIND));
        click(S::IDC_DAILY);
        EXPECT_TRUE(enabled(S::IDC_CALORIES_KIND));
        click(S::IDC_CALORIES_KIND);
        click(S::IDC_FRIDAY);
        QTest::keyClicks(calories, "1.2.3");  // after "12.5"
        sheet.Tabs()->setCurrentIndex(2);
        click(S::IDC_OK);
        EXPECT_EQ(boxes, std::vector<std::string>{GetLangString(USEGRAPH_OPTIOS_STR20)});
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
        calories->setText("12.5");
        click(S::IDC_OK);
        return sheet.result();
    });
    EXPECT_EQ(sheet.Run(), QDialog::Accepted);
    const UserFileHeader saved = HeaderWithOptions(header, sheet.Options(), sheet.CaloriesTenths(),
                                                   sheet.DistanceHundredths());
    EXPECT_EQ(std::tie(saved.defaultPeriod, saved.defaultKind, saved.weekStart, saved.goalSteps,
                       saved.goalCalories, saved.goalDistance),
              std::make_tuple(0u, 1u, 6u, 8000u, 125u, 435u));
}

}  // namespace
}  // namespace stepora
