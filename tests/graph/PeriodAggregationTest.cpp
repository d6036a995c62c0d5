// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <tuple>
#include <vector>

#include "graph/GraphOptions.h"
#include "graph/PeriodAggregation.h"
#include "graph/PeriodTexts.h"
#include "store/DayCalendar.h"
#include "support/ScratchWorkDir.h"

namespace stepora {
namespace {

// Below each bound the step of its index applies, at the bound the next one.
TEST(AxisStepTest, StepChangesExactlyAtEachBound) {
    // clang-format off
    const double bounds[] = {5, 10, 15, 25, 50, 100, 150, 250, 500, 2500, 5000, 7500, 1e4, 1.5e4,
                             2e4, 2.5e4, 5e4, 1e5, 2e5, 4e5, 6e5, 8e5, 1e6, 1e7, 1e8, 1e9};
    const double steps[] = {1, 2, 3, 5, 10, 20, 30, 50, 100, 500, 1000, 1500, 2000, 3000, 4000,
                            5000, 1e4, 2e4, 4e4, 8e4, 1.2e5, 1.6e5, 2e5, 2e6, 2e7, 2e8, 2e9};
    // clang-format on
    for (size_t i = 0; i < std::size(bounds); ++i) {
        EXPECT_EQ(AxisStep(std::nextafter(bounds[i], 0.0)), steps[i]) << bounds[i];
        EXPECT_EQ(AxisStep(bounds[i]), steps[i + 1]) << bounds[i];
    }
    EXPECT_EQ(AxisStep(5e9), 2e9);
    // Five steps always reach the peak, so the top bar stays inside the graph.
    for (double v = 0; v < 2e6; v = v * 1.07 + 0.5) EXPECT_GE(5 * AxisStep(v), v) << v;
}

uint32_t Day(uint32_t y, uint32_t m, uint32_t d) {
    uint32_t day = 0, weekday;
    EXPECT_TRUE(DayCalendar().DateToDay(y, m, d, day, weekday));
    return day;
}

const auto G = [](uint32_t n) { return GetLangString(static_cast<LangKey>(USEGRAPH_STR1 + n - 1)); };

struct Values {
    uint32_t steps = 0, calories = 0, distance = 0;  // raw: tenths of kcal, hundredths
};
using H = UserFileHeader;
using Edit = std::function<void(H&)>;

class GraphTest : public ::testing::Test {
protected:
    // A user whose records run from `first`, the header then changed by `edit`.
    void MakeUser(const std::string& name, uint32_t first, const std::vector<Values>& days, const Edit& edit = {}) {
        uint32_t y, m, d, w;
        ASSERT_TRUE(DayCalendar().DayToDate(first + 1, y, m, d, w));
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        ASSERT_TRUE(store.Create(name, ""));
        std::vector<DayRecord> records;
        for (const Values& v : days) records.push_back({.steps = v.steps, .calories = v.calories, .distance = v.distance});
        ASSERT_TRUE(store.WriteDays(name, first, records));
        H h;
        ASSERT_TRUE(store.ReadHeader(name, h));
        if (edit) edit(h);
        ASSERT_TRUE(store.WriteHeader(name, h));
    }

    test::ScratchWorkDir work;
    UserStore& store = work.store;
};

TEST_F(GraphTest, EachModeSumsItsPeriodAndWritesItsTexts) {
    using Cell = std::tuple<int, int, std::string>;  // row, column, text
    const struct {
        const char* what;
        uint32_t first;
        std::vector<Values> days;
        Edit edit;
        std::string range;
        uint32_t bars, dayCount;
        int bar;  // the bar whose value and text are checked
        double value, axisMax;
        std::string barText;
        std::vector<Cell> summary;
    } cases[] = {
        // clang-format off
        {"daily: the last record day, the goal above the peak", Day(2008, 3, 3),
         {{100, 10, 1}, {200, 20, 2}, {7500, 3456, 512}},
         [](H& h) { h.defaultPeriod = 0, h.goalSteps = 10000, h.goalDistance = 1000; },
         "2008-3-5(" + G(6) + ")", 1, 1, 0, 7500, 15000, G(42) + "   =   7500 " + G(43),
         {{1, 1, "7500"}, {1, 2, "10000"}, {1, 3, "75.00%"}, {2, 1, "345.6"}, {2, 3, "---"},
          {3, 1, "5.12"}, {3, 2, "10.00"}, {3, 3, "51.20%"}}},
        {"daily imperial distance", Day(2010, 6, 1), {{0, 0, 1234}},
         [](H& h) { h.defaultPeriod = 0, h.defaultKind = 2, h.unitSystem = 2; },
         "2010-6-1(" + G(5) + ")", 1, 1, 0, 12.34, 15, G(37) + "   =   12.340  " + G(38),
         {{3, 0, G(52)}}},
        {"values above six digits count as zero", Day(2010, 1, 1), {{999999, 1000000, 250}},
         [](H& h) { h.defaultPeriod = 0, h.defaultKind = 1; },
         "2010-1-1(" + G(8) + ")", 1, 1, 0, 0, 5, G(24) + "   =   0.0 " + G(25),
         {{1, 1, "999999"}, {2, 1, "0.0"}, {3, 1, "2.50"}}},
        {"weekly from Monday, a new user's view, averaged over seven days", Day(2008, 3, 5),
         {{10, 5, 1}, {20}, {40}}, [](H& h) { h.goalSteps = 10, h.weekStart = 2; },
         "2008-3-3(" + G(4) + ")  ~  2008-3-9(" + G(10) + ")", 7, 7, 4, 40, 50,
         G(75) + "   =   40 " + G(76),
         {{0, 4, G(82)}, {1, 1, "70"}, {1, 2, "10"}, {1, 4, "100.00%"}, {2, 2, "0.1"}}},
        {"monthly: a bar per day, averaged over the month", Day(2009, 2, 10), {{2800, 1000, 100}},
         [](H& h) { h.defaultPeriod = 2, h.defaultKind = 1, h.goalSteps = 200; },
         "2009-2-1  ~  2009-2-28", 28, 28, 9, 100, 150, G(91) + "   =   100.0 " + G(92),
         {{1, 1, "2800"}, {1, 2, "100"}, {1, 4, "50.00%"}, {2, 2, "3.6"}}},
        {"yearly, the last shown view: months summed, a leap year over 366 days", Day(2008, 1, 31),
         {{366}, {732}}, [](H& h) { h.defaultPeriod = 5, h.periodMode = 3, h.goalSteps = 10; },
         "2008-1-1  ~  2008-12-31", 12, 366, 1, 732, 2500, G(142) + "   =   732 " + G(143),
         {{0, 1, G(146)}, {1, 1, "1098"}, {1, 2, "3"}, {1, 4, "30.00%"}}},
        // clang-format on
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "U" + std::to_string(n++);
        MakeUser(name, c.first, c.days, c.edit);
        const RefreshResult r = PeriodAggregation(store, name).Refresh();
        ASSERT_TRUE(r.refreshed && r.showGraph && !r.closeWindow && !r.messageKey);
        EXPECT_EQ(r.rangeCaption, c.range);
        EXPECT_EQ(r.period.dayCount, c.dayCount);
        ASSERT_EQ(r.graph.barCount, c.bars);
        EXPECT_EQ(r.graph.bars[c.bar].value, c.value);
        EXPECT_EQ(BarDetail(r.graph, c.bar).text, c.barText);
        EXPECT_EQ(r.graph.axisMax, c.axisMax);
        for (const auto& [row, col, text] : c.summary) EXPECT_EQ(r.summary[row][col], text) << row << col;
    }
}

TEST_F(GraphTest, AllModeRanksTheFiveBestDaysLaterFirstOnTies) {
    std::vector<Values> days(40);
    days[0] = {500, 11, 22};
    days[3] = {900, 33, 44};
    days[35] = {500, 55, 66};  // ties with day 0 and ranks above it
    days[39] = {100};
    MakeUser("Anna", Day(2011, 5, 1), days, [](H& h) { h.defaultPeriod = 4, h.goalSteps = 100; });
    PeriodAggregation graph(store, "Anna");
    RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.showGraph || r.kindsEnabled || r.goEnabled || r.previousEnabled);
    EXPECT_EQ(r.bestDays[1], (std::array<std::string, 5>{"NO.1", "2011-5-4", "900", "3.3", "0.44"}));
    const char* dates[] = {"2011-6-5", "2011-5-1", "2011-6-9"};
    for (int row = 2; row <= 4; ++row) EXPECT_EQ(r.bestDays[row][1], dates[row - 2]);
    EXPECT_EQ(r.bestDays[5][2], "0");  // days without steps fill what is still empty
    EXPECT_EQ(r.summary[1][1] + "|" + r.summary[1][2] + "|" + r.summary[1][4], "2000|50|50.00%");
}

// '+' reaches the step goal of 100, '-' does not, '0' has no data; the last is the last
// record day. The current run is the same whatever period is shown.
TEST_F(GraphTest, GoalDaysAndRunsOfThePeriodAndUpToTheLastRecordDay) {
    const struct {
        const char* what;
        uint32_t y, m, d;
        const char* days;
        DisplayMode mode;
        int back;  // periods before the last record day's
        uint32_t recorded, reached, longest, longestFrom, current;
    } cases[] = {
        {"over a week's start", 2008, 3, 20, "--+++++++++", DisplayMode::Weekly, 0, 1, 1, 1, 10, 9},
        {"a week before the last", 2008, 3, 20, "--+++++++++", DisplayMode::Weekly, 1, 7, 7, 7, 3, 9},
        {"over a month's start", 2008, 1, 25, "-+++++++++-", DisplayMode::Monthly, 0, 4, 3, 3, 7, 9},
        {"over a year's start", 2007, 12, 28, "++++++", DisplayMode::Yearly, 0, 2, 2, 2, 4, 6},
        {"no data breaks a run", 2008, 3, 1, "++0+++-", DisplayMode::All, 0, 7, 5, 3, 3, 3},
        {"the latest of equal runs", 2008, 3, 1, "++-++-", DisplayMode::All, 0, 6, 4, 2, 3, 2},
        {"missed the last two days", 2008, 3, 1, "++--", DisplayMode::All, 0, 4, 2, 2, 0, 0},
        {"ends on the last day", 2008, 3, 1, "+-++", DisplayMode::Daily, 0, 1, 1, 1, 3, 2},
        {"from the first day", 2008, 3, 1, "+++-++", DisplayMode::All, 0, 6, 5, 3, 0, 2},
        {"one day", 2008, 3, 1, "+", DisplayMode::All, 0, 1, 1, 1, 0, 1},
        {"one day missed", 2008, 3, 1, "-", DisplayMode::Weekly, 0, 1, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = std::string("U") + std::to_string(&c - cases);
        std::vector<Values> days;
        for (const char* p = c.days; *p; ++p) days.push_back({*p == '+' ? 100u : *p == '-' ? 99u : 0u});
        const uint32_t first = Day(c.y, c.m, c.d);
        MakeUser(name, first, days, [](H& h) { h.goalSteps = 100, h.defaultPeriod = 0; });
        PeriodAggregation graph(store, name);
        graph.Refresh();
        for (DisplayMode mode :
             {DisplayMode::Daily, DisplayMode::Weekly, DisplayMode::Monthly, DisplayMode::Yearly, DisplayMode::All}) {
            graph.SetMode(mode);
            RefreshResult r = graph.Refresh();
            for (int i = 0; mode == c.mode && i < c.back; ++i) r = graph.Previous();
            EXPECT_EQ(r.goals.currentRun, c.current) << int(mode);
            if (mode != c.mode) continue;
            const GoalFigures& f = r.goals;
            EXPECT_EQ(std::tie(f.recordedDays, f.goalDays, f.longest.days), std::tie(c.recorded, c.reached, c.longest));
            EXPECT_EQ(f.longest.first, c.longest ? first + c.longestFrom : 0);
            EXPECT_EQ(f.longest.last, c.longest ? first + c.longestFrom + c.longest - 1 : 0);
        }
    }
    // No goal, nothing counted or shown.
    MakeUser("Zed", Day(2008, 3, 1), {{500}}, [](H& h) { h.defaultPeriod = 4; });
    const RefreshResult r = PeriodAggregation(store, "Zed").Refresh();
    EXPECT_TRUE(!r.goals.shown && r.goals.goalDays == 0 && r.goalLine.empty());
}

TEST_F(GraphTest, NavigationStaysInTheRecordedDaysAndGoWithinTheirPeriods) {
    const uint32_t first = Day(2008, 1, 20);
    MakeUser("Anna", first, std::vector<Values>(60), [](H& h) { h.defaultPeriod = 0; });
    PeriodAggregation graph(store, "Anna");  // on the last day, 2008-3-19
    RefreshResult r = graph.Refresh();
    EXPECT_TRUE(r.previousEnabled && !r.nextEnabled && !r.recentlyEnabled);
    EXPECT_FALSE(graph.Next().refreshed);
    r = graph.GoToDate(2008, 1, 21);
    EXPECT_TRUE(r.previousEnabled && r.nextEnabled && r.recentlyEnabled);
    EXPECT_EQ(graph.Previous().period.anchorDay, first);
    EXPECT_FALSE(graph.Previous().refreshed);
    EXPECT_EQ(graph.Recently().period.anchorDay, first + 59);
    const std::string range = GetLangString(CSV_STR46) + ": 2008-1-20  ~  2008-3-19";
    for (auto [m, d] : {std::pair<uint32_t, uint32_t>{1, 19}, {3, 20}, {2, 30}})
        EXPECT_EQ(graph.GoToDate(2008, m, d).message, range) << m << "-" << d;

    graph.SetMode(DisplayMode::Monthly);  // whole months, the first one before the first day
    graph.Refresh();
    EXPECT_EQ(graph.Previous().period.dayCount, 29u);
    r = graph.Previous();
    EXPECT_EQ(r.period.periodStart, Day(2008, 1, 1));
    EXPECT_FALSE(r.previousEnabled || graph.Previous().refreshed);
    EXPECT_EQ(graph.GoToDate(2008, 4, 1).message, GetLangString(CSV_STR46) + ": 2008-1  ~  2008-3");
    // Go reads only the boxes the mode enables; the greyed day may name no day of the month.
    EXPECT_EQ(graph.GoToDate(2008, 2, 31).period.periodStart, Day(2008, 2, 1));
    graph.SetMode(DisplayMode::Yearly);
    graph.Refresh();
    EXPECT_EQ(graph.GoToDate(2008, 0, 0).period.periodStart, Day(2008, 1, 1));
}

TEST_F(GraphTest, AMissingUserOrAHeaderNoCalendarCanPlaceClosesTheWindow) {
    EXPECT_EQ(PeriodAggregation(store, "Nobody").Refresh().message, G(2));
    const uint32_t day = Day(2008, 3, 1);
    const struct {
        const char* what;
        uint32_t first;
        Edit edit;
        bool allModeFails;  // All mode needs no week
    } cases[] = {
        // clang-format off
        {"a week before day 1", 1, {}, false},  // 1900-1-1 was a Monday, weeks start on Sunday
        {"first day after last", day, [](H& h) { h.firstDay = h.lastDay + 1; }, true},
        {"last day past 2199", day, [](H& h) { h.lastDay = kMaxDayNumber + 1; }, true},
        {"day 0", day, [](H& h) { h.firstDay = h.lastDay = 0; }, true},
        // clang-format on
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "U" + std::to_string(n++);
        MakeUser(name, c.first, {{1}, {2}}, c.edit);
        PeriodAggregation graph(store, name);
        RefreshResult r = graph.Refresh();  // the weekly view of a new user
        EXPECT_TRUE(r.closeWindow);
        EXPECT_EQ(r.message, G(3));
        graph.SetMode(DisplayMode::All);
        r = graph.Refresh();
        EXPECT_EQ(r.closeWindow, c.allModeFails);
        EXPECT_EQ(r.refreshed, !c.allModeFails);
    }
}

// A week start that names no weekday never closes the window: the weeks start on Sunday,
// the options show it, and the header keeps its value until the options are saved.
TEST_F(GraphTest, AWeekStartOutsideTheWeekReadsAsSunday) {
    for (uint32_t stored : {0u, 8u}) {
        const std::string name = "U" + std::to_string(stored);
        MakeUser(name, Day(2008, 3, 5), {{1}}, [=](H& h) { h.weekStart = stored; });
        PeriodAggregation graph(store, name);
        const RefreshResult r = graph.Refresh();  // the weekly view of a new user
        EXPECT_TRUE(r.refreshed && !r.closeWindow);
        EXPECT_EQ(r.period.periodStart, Day(2008, 3, 2));
        EXPECT_EQ(OptionsFromHeader(graph.Header()).weekStart, 1u);
        EXPECT_EQ(graph.Header().weekStart, stored);
    }
}

TEST_F(GraphTest, UnreadableRecordsShowZerosWithTheModesMessage) {
    MakeUser("Anna", Day(2008, 3, 1), std::vector<Values>(40, Values{100, 10, 1}));
    // Cut the file after 35 days (2008-4-4): its header still claims forty. A year keeps
    // the months that read whole, All mode the 30-day stretches that do.
    std::filesystem::resize_file(work.dir / "User" / "Anna.usr", kHeaderSize + 35 * kDayRecordSize);
    const std::tuple<DisplayMode, std::optional<LangKey>, const char*> cases[] = {// clang-format off
        {DisplayMode::Daily, USEGRAPH_STR20, "0"}, {DisplayMode::Weekly, USEGRAPH_STR53, "0"},
        {DisplayMode::Monthly, USEGRAPH_STR87, "0"}, {DisplayMode::Yearly, std::nullopt, "3100"},
        {DisplayMode::All, std::nullopt, "3000"}};
    // clang-format on
    for (const auto& [mode, message, steps] : cases) {
        SCOPED_TRACE(int(mode));
        PeriodAggregation graph(store, "Anna");
        graph.Refresh();
        graph.SetMode(mode);  // the first refresh takes the mode from the header
        const RefreshResult r = graph.Refresh();
        EXPECT_TRUE(r.refreshed && !r.closeWindow);
        EXPECT_EQ(r.messageKey, message);
        EXPECT_EQ(r.summary[1][1], steps);
    }
}

}  // namespace
}  // namespace stepora
