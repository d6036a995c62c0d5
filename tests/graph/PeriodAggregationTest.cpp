#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "graph/PeriodAggregation.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "support/ScratchWorkDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;

uint32_t Day(uint32_t y, uint32_t m, uint32_t d) {
    uint32_t day = 0, weekday;
    EXPECT_TRUE(DayCalendar().DateToDay(y, m, d, day, weekday));
    return day;
}

std::string T(LangKey key) { return GetLangString(key); }
std::string G(uint32_t n) { return T(static_cast<LangKey>(USEGRAPH_STR1 + n - 1)); }

struct Values {
    uint32_t steps = 0, calories = 0, distance = 0;  // raw: tenths of kcal, hundredths
};

class GraphTest : public ::testing::Test {
protected:

    // A user whose records run from `first` over the given days.
    void MakeUser(const std::string& name, uint32_t first, const std::vector<Values>& days) {
        uint32_t y, m, d, w;
        ASSERT_TRUE(DayCalendar().DayToDate(first + 1, y, m, d, w));
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        ASSERT_TRUE(store.Create(name, ""));
        std::vector<DayRecord> records(days.size());
        for (size_t i = 0; i < days.size(); ++i) {
            records[i].steps = days[i].steps;
            records[i].calories = days[i].calories;
            records[i].distance = days[i].distance;
        }
        ASSERT_TRUE(store.WriteDays(name, first, records));
    }
    template <typename F>
    void EditHeader(const std::string& name, F edit) {
        UserFileHeader h;
        ASSERT_TRUE(store.ReadHeader(name, h));
        edit(h);
        ASSERT_TRUE(store.WriteHeader(name, h));
    }
    void SetGoals(const std::string& name, uint32_t steps, uint32_t calories, uint32_t distance) {
        EditHeader(name, [&](UserFileHeader& h) {
            h.goalSteps = steps;
            h.goalCalories = calories;
            h.goalDistance = distance;
        });
    }
    void StartIn(const std::string& name, DisplayMode mode, GraphKind kind) {
        EditHeader(name, [&](UserFileHeader& h) {
            h.defaultPeriod = uint32_t(mode);
            h.defaultKind = uint32_t(kind);
        });
    }

    test::ScratchWorkDir work;
    UserStore& store = work.store;
};

// --- the period and its texts, mode by mode ---

TEST_F(GraphTest, DailyShowsTheLastRecordDayWithGoalAboveThePeak) {
    const uint32_t first = Day(2008, 3, 3);
    MakeUser("Anna", first, {{100, 10, 1}, {200, 20, 2}, {7500, 3456, 512}});
    SetGoals("Anna", 10000, 0, 1000);
    StartIn("Anna", DisplayMode::Daily, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.closeWindow);
    EXPECT_FALSE(r.messageKey);

    EXPECT_EQ(r.period.anchorDay, first + 2);
    EXPECT_EQ(r.period.periodStart, first + 2);
    EXPECT_EQ(r.period.periodEnd, first + 2);
    EXPECT_EQ(r.period.dayCount, 1u);
    EXPECT_EQ(r.period.anchorWeekday, 4u);  // 2008-3-5 was a Wednesday
    EXPECT_EQ(r.period.anchorWeekdayName, G(6));
    EXPECT_EQ(r.modeCaption, T(USEGRAPH_MENU_STR28));
    EXPECT_EQ(r.rangeCaption, "2008-3-5(" + G(6) + ")");
    EXPECT_TRUE(r.previousEnabled);
    EXPECT_FALSE(r.nextEnabled);
    EXPECT_FALSE(r.recentlyEnabled);
    EXPECT_TRUE(r.kindsEnabled && r.yearBoxEnabled && r.monthBoxEnabled && r.dayBoxEnabled && r.goEnabled);
    EXPECT_TRUE(r.showGraph);

    const GraphData& g = r.graph;
    ASSERT_EQ(g.barCount, 1u);
    EXPECT_EQ(g.valueTitle, G(39));
    EXPECT_EQ(g.popupCaption, G(40));
    EXPECT_EQ(g.goalTitle, G(44));
    EXPECT_EQ(g.unitText, G(45));
    EXPECT_EQ(g.goalValue, 10000);
    EXPECT_EQ(g.axisMax, 15000);  // 10000 is not below 10000: step 3000
    EXPECT_EQ(g.axisLabels[0], "0");
    EXPECT_EQ(g.axisLabels[5], "15000");
    EXPECT_EQ(g.bars[0].label, "2008-3-5");
    EXPECT_EQ(g.bars[0].title, "2008-3-5  " + G(41));
    EXPECT_EQ(g.bars[0].text, G(42) + "   =   7500 " + G(43));
    EXPECT_EQ(g.bars[0].value, 7500);

    EXPECT_EQ(r.summaryColumns, 4u);
    const SummaryGrid& s = r.summary;
    EXPECT_EQ(s[0][0], " ");
    EXPECT_EQ(s[0][1], G(46));
    EXPECT_EQ(s[0][3], G(48));
    EXPECT_EQ(s[1][0], G(49));
    EXPECT_EQ(s[3][0], G(51));
    EXPECT_EQ(s[1][1], "7500");
    EXPECT_EQ(s[1][2], "10000");
    EXPECT_EQ(s[1][3], "75.00%");
    EXPECT_EQ(s[2][1], "345.6");
    EXPECT_EQ(s[2][2], "---");  // a goal of 0 has no percentage
    EXPECT_EQ(s[2][3], "---");
    EXPECT_EQ(s[3][1], "5.12");
    EXPECT_EQ(s[3][2], "10.00");
    EXPECT_EQ(s[3][3], "51.20%");
}

TEST_F(GraphTest, DailyDistanceInImperialUnitsUsesTheImperialKeysAndTwoBlanks) {
    MakeUser("Anna", Day(2010, 6, 1), {{0, 0, 1234}});
    EditHeader("Anna", [](UserFileHeader& h) { h.unitSystem = 2; });
    StartIn("Anna", DisplayMode::Daily, GraphKind::Distance);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.graph.unitText, G(35));
    EXPECT_EQ(r.graph.bars[0].title, "2010-6-1  " + G(36));
    EXPECT_EQ(r.graph.bars[0].text, G(37) + "   =   12.340  " + G(38));
    EXPECT_EQ(r.summary[3][0], G(52));
    // A single record day: nowhere to go.
    EXPECT_FALSE(r.previousEnabled || r.nextEnabled || r.recentlyEnabled);
}

TEST_F(GraphTest, WeeklyStartsOnTheWeekStartAndAveragesOverSevenDays) {
    // 2008-3-5 is a Wednesday; with Monday as week start the week runs 3-3 .. 3-9 and
    // begins two days before the first record.
    const uint32_t first = Day(2008, 3, 5);
    MakeUser("Anna", first, {{10, 5, 1}, {20}, {40}});
    SetGoals("Anna", 10, 0, 0);
    EditHeader("Anna", [](UserFileHeader& h) { h.weekStart = 2; });
    PeriodAggregation graph(store, "Anna");  // a new user opens the weekly steps view
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.mode, DisplayMode::Weekly);
    EXPECT_EQ(r.period.kind, GraphKind::Steps);
    EXPECT_EQ(r.period.periodStart, Day(2008, 3, 3));
    EXPECT_EQ(r.period.periodEnd, Day(2008, 3, 9));
    EXPECT_EQ(r.period.firstWeekdayName, G(4));
    EXPECT_EQ(r.period.lastWeekdayName, G(10));
    EXPECT_EQ(r.rangeCaption, "2008-3-3(" + G(4) + ")  ~  2008-3-9(" + G(10) + ")");
    EXPECT_FALSE(r.previousEnabled);
    EXPECT_FALSE(r.nextEnabled);
    EXPECT_FALSE(r.recentlyEnabled);  // the week holds the last record day

    ASSERT_EQ(r.graph.barCount, 7u);
    EXPECT_EQ(r.graph.bars[0].label, "3-3(" + G(4) + ")");
    EXPECT_EQ(r.graph.bars[0].value, 0);
    EXPECT_EQ(r.graph.bars[2].value, 10);
    EXPECT_EQ(r.graph.bars[4].value, 40);
    EXPECT_EQ(r.graph.bars[4].text, G(75) + "   =   40 " + G(76));
    EXPECT_EQ(r.graph.axisMax, 50);  // peak 40 is above the goal

    EXPECT_EQ(r.summaryColumns, 5u);
    EXPECT_EQ(r.summary[0][4], G(82));
    EXPECT_EQ(r.summary[1][1], "70");
    EXPECT_EQ(r.summary[1][2], "10");
    EXPECT_EQ(r.summary[1][4], "100.00%");
    EXPECT_EQ(r.summary[2][2], "0.1");  // 0.5 kcal over seven days
    EXPECT_EQ(r.summary[3][3], "---");
}

TEST_F(GraphTest, MonthlyHasOneBarPerDayAndAveragesOverTheMonthLength) {
    const uint32_t first = Day(2009, 2, 10);
    MakeUser("Anna", first, {{2800, 1000, 100}});
    SetGoals("Anna", 200, 0, 0);
    StartIn("Anna", DisplayMode::Monthly, GraphKind::Calories);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.dayCount, 28u);
    EXPECT_EQ(r.rangeCaption, "2009-2-1  ~  2009-2-28");
    EXPECT_FALSE(r.dayBoxEnabled);
    EXPECT_TRUE(r.monthBoxEnabled);
    ASSERT_EQ(r.graph.barCount, 28u);
    EXPECT_EQ(r.graph.bars[0].label, "1");
    EXPECT_EQ(r.graph.bars[27].label, "28");
    EXPECT_EQ(r.graph.bars[9].title, "2009-2-10  " + G(90));
    EXPECT_EQ(r.graph.bars[9].text, G(91) + "   =   100.0 " + G(92));
    EXPECT_EQ(r.graph.valueTitle, G(88));
    // Peak 100.0 kcal, goal 0: step 30.
    EXPECT_EQ(r.graph.axisLabels[1], "30.0");
    EXPECT_EQ(r.graph.axisMax, 150);
    EXPECT_EQ(r.summary[1][1], "2800");
    EXPECT_EQ(r.summary[1][2], "100");
    EXPECT_EQ(r.summary[1][4], "50.00%");
    EXPECT_EQ(r.summary[2][2], "3.6");  // 100 kcal / 28
}

TEST_F(GraphTest, YearlySumsMonthsAndDividesALeapYearBy366) {
    const uint32_t first = Day(2008, 1, 31);
    MakeUser("Anna", first, {{366}, {732}});  // 1-31 and 2-1
    SetGoals("Anna", 10, 0, 0);
    StartIn("Anna", DisplayMode::Yearly, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.dayCount, 366u);
    EXPECT_FALSE(r.monthBoxEnabled || r.dayBoxEnabled);
    EXPECT_TRUE(r.yearBoxEnabled);
    ASSERT_EQ(r.graph.barCount, 12u);
    EXPECT_EQ(r.graph.bars[0].value, 366);
    EXPECT_EQ(r.graph.bars[1].value, 732);
    EXPECT_EQ(r.graph.bars[11].value, 0);
    EXPECT_EQ(r.graph.bars[1].label, "2");
    EXPECT_EQ(r.graph.bars[1].title, "2008-2  " + G(141));
    EXPECT_EQ(r.graph.bars[1].text, G(142) + "   =   732 " + G(143));
    EXPECT_EQ(r.graph.goalValue, 10);  // the daily goal against monthly sums
    EXPECT_EQ(r.summary[1][1], "1098");
    EXPECT_EQ(r.summary[1][2], "3");
    EXPECT_EQ(r.summary[1][4], "30.00%");
    EXPECT_EQ(r.summary[0][1], G(146));
}

TEST_F(GraphTest, ValuesAboveSixDigitsCountAsZeroEachOnItsOwn) {
    MakeUser("Anna", Day(2010, 1, 1), {{999999, 1000000, 250}});
    StartIn("Anna", DisplayMode::Daily, GraphKind::Calories);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.summary[1][1], "999999");
    EXPECT_EQ(r.summary[2][1], "0.0");
    EXPECT_EQ(r.summary[3][1], "2.50");
    // Peak 0 and goal 0: the smallest axis.
    EXPECT_EQ(r.graph.axisMax, 5);
    EXPECT_EQ(r.graph.axisLabels[0], "0.0");
    EXPECT_EQ(r.graph.axisLabels[5], "5.0");
}

// --- All mode ---

TEST_F(GraphTest, AllModeRanksTheFiveBestDaysLaterFirstOnTies) {
    const uint32_t first = Day(2011, 5, 1);
    std::vector<Values> days(40);
    days[0] = {500, 11, 22};
    days[3] = {900, 33, 44};
    days[35] = {500, 55, 66};  // ties with day 0 and ranks above it
    days[39] = {100};
    MakeUser("Anna", first, days);
    SetGoals("Anna", 100, 0, 0);
    StartIn("Anna", DisplayMode::All, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.showGraph);
    EXPECT_FALSE(r.kindsEnabled || r.yearBoxEnabled || r.goEnabled);
    EXPECT_FALSE(r.previousEnabled || r.nextEnabled || r.recentlyEnabled);
    EXPECT_EQ(r.period.dayCount, 40u);
    EXPECT_EQ(r.graph.barCount, 0u);
    EXPECT_EQ(r.rangeCaption, "2011-5-1  ~  2011-6-9");
    EXPECT_EQ(r.modeCaption, T(USEGRAPH_MENU_STR32));

    const BestDaysTable& t = r.bestDays;
    EXPECT_EQ(t[0][0], G(154));
    EXPECT_EQ(t[0][4], G(158));
    EXPECT_EQ(t[1][0], "NO.1");
    EXPECT_EQ(t[1][1], "2011-5-4");
    EXPECT_EQ(t[1][2], "900");
    EXPECT_EQ(t[1][3], "3.3");
    EXPECT_EQ(t[1][4], "0.44");
    EXPECT_EQ(t[2][1], "2011-6-5");
    EXPECT_EQ(t[2][3], "5.5");
    EXPECT_EQ(t[3][1], "2011-5-1");
    EXPECT_EQ(t[4][1], "2011-6-9");
    EXPECT_EQ(t[5][0], "NO.5");
    EXPECT_EQ(t[5][2], "0");  // days without steps fill what is still empty

    EXPECT_EQ(r.summary[0][1], G(160));
    EXPECT_EQ(r.summary[1][0], G(164));
    EXPECT_EQ(r.summary[1][1], "2000");
    EXPECT_EQ(r.summary[1][2], "50");
    EXPECT_EQ(r.summary[1][4], "50.00%");
    EXPECT_EQ(r.summary[2][1], "9.9");
}

TEST_F(GraphTest, AllModeWithFewerThanFiveDaysLeavesEmptySlots) {
    MakeUser("Anna", Day(2012, 2, 28), {{3}, {1}, {2}});
    EditHeader("Anna", [](UserFileHeader& h) { h.unitSystem = 1; });
    StartIn("Anna", DisplayMode::All, GraphKind::Distance);
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.bestDays[0][4], G(159));
    EXPECT_EQ(r.bestDays[1][1], "2012-2-28");
    EXPECT_EQ(r.bestDays[2][1], "2012-3-1");
    EXPECT_EQ(r.bestDays[3][1], "2012-2-29");
    for (int row : {4, 5})
        for (int c = 1; c < 5; ++c) EXPECT_EQ(r.bestDays[row][c], "---") << row << c;
    EXPECT_EQ(r.summary[3][0], G(167));
}

// --- navigation ---

TEST_F(GraphTest, NavigationStopsAtTheFirstAndLastRecordDay) {
    const uint32_t first = Day(2008, 3, 1);
    MakeUser("Anna", first, std::vector<Values>(3));
    StartIn("Anna", DisplayMode::Daily, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    ASSERT_TRUE(graph.Refresh().refreshed);
    EXPECT_FALSE(graph.Next().refreshed);  // already on the last day
    EXPECT_EQ(graph.State().anchorDay, first + 2);

    RefreshResult r = graph.Previous();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.anchorDay, first + 1);
    EXPECT_TRUE(r.previousEnabled && r.nextEnabled && r.recentlyEnabled);
    r = graph.Previous();
    EXPECT_EQ(r.period.anchorDay, first);
    EXPECT_FALSE(r.previousEnabled);
    EXPECT_FALSE(graph.Previous().refreshed);
    EXPECT_EQ(graph.State().anchorDay, first);

    r = graph.Next();
    EXPECT_EQ(r.period.anchorDay, first + 1);
    r = graph.Recently();
    EXPECT_EQ(r.period.anchorDay, first + 2);
    EXPECT_FALSE(r.recentlyEnabled);
}

TEST_F(GraphTest, MonthsStepByWholePeriodsAndAModeChangeReturnsToTheLatest) {
    MakeUser("Anna", Day(2008, 1, 20), std::vector<Values>(60));  // to 2008-3-19
    StartIn("Anna", DisplayMode::Monthly, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    ASSERT_TRUE(graph.Refresh().refreshed);
    RefreshResult r = graph.Previous();
    EXPECT_EQ(r.period.periodStart, Day(2008, 2, 1));
    EXPECT_EQ(r.period.dayCount, 29u);
    r = graph.Previous();
    EXPECT_EQ(r.period.periodStart, Day(2008, 1, 1));
    EXPECT_FALSE(r.previousEnabled);

    graph.SetKind(GraphKind::Distance);  // keeps the month
    r = graph.Refresh();
    EXPECT_EQ(r.period.periodStart, Day(2008, 1, 1));
    EXPECT_EQ(r.graph.valueTitle, G(95));

    graph.SetMode(DisplayMode::Weekly);  // starts again at the last record day
    r = graph.Refresh();
    EXPECT_EQ(r.period.anchorDay, Day(2008, 3, 19));
    EXPECT_EQ(r.period.kind, GraphKind::Distance);
}

TEST_F(GraphTest, TheLastShownViewOpensWhenTheHeaderAsksForIt) {
    MakeUser("Anna", Day(2008, 3, 1), {{1}});
    EditHeader("Anna", [](UserFileHeader& h) {
        h.defaultPeriod = 5;
        h.periodMode = 3;
        h.dataKind = 1;
    });
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    EXPECT_EQ(r.period.mode, DisplayMode::Yearly);
    EXPECT_EQ(r.period.kind, GraphKind::Calories);
    EXPECT_EQ(graph.GoYear(), 2008u);
    EXPECT_EQ(graph.GoMonth(), 3u);
    EXPECT_EQ(graph.GoDay(), 1u);
    ASSERT_EQ(r.years.size(), 100u);
    EXPECT_EQ(r.years[r.yearSelection], "2008");
    EXPECT_EQ(r.months[r.monthSelection], "3");
    EXPECT_EQ(r.days.size(), 31u);
    EXPECT_EQ(r.daySelection, 0);
}

// --- Go ---

TEST_F(GraphTest, GoMovesWithinTheRecordedRangeWidenedByMode) {
    const uint32_t first = Day(2008, 2, 10);
    MakeUser("Anna", first, std::vector<Values>(30));  // to 2008-3-10
    StartIn("Anna", DisplayMode::Daily, GraphKind::Steps);
    PeriodAggregation graph(store, "Anna");
    ASSERT_TRUE(graph.Refresh().refreshed);

    RefreshResult r = graph.GoToDate(2008, 2, 20);
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.anchorDay, Day(2008, 2, 20));
    EXPECT_EQ(r.daySelection, 19);

    const std::string range = T(CSV_STR46) + ": 2008-2-10  ~  2008-3-10";
    for (auto [y, m, d] : {std::array<uint32_t, 3>{2008, 2, 30}, {2008, 2, 9}, {2008, 3, 11}, {0, 0, 0}}) {
        r = graph.GoToDate(y, m, d);
        EXPECT_FALSE(r.refreshed);
        EXPECT_FALSE(r.closeWindow);
        EXPECT_EQ(r.messageKey, CSV_STR46);
        EXPECT_EQ(r.message, range) << y << "-" << m << "-" << d;
        EXPECT_EQ(graph.State().anchorDay, Day(2008, 2, 20));
    }
    EXPECT_EQ(graph.GoDay(), 0u);  // the chosen date is kept even when refused

    graph.SetMode(DisplayMode::Monthly);
    ASSERT_TRUE(graph.Refresh().refreshed);
    r = graph.GoToDate(2008, 2, 1);  // before the first record, inside its month
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.periodStart, Day(2008, 2, 1));
    r = graph.GoToDate(2008, 4, 1);
    EXPECT_EQ(r.message, T(CSV_STR46) + ": 2008-2  ~  2008-3");

    graph.SetMode(DisplayMode::Yearly);
    ASSERT_TRUE(graph.Refresh().refreshed);
    EXPECT_TRUE(graph.GoToDate(2008, 12, 31).refreshed);
    r = graph.GoToDate(2009, 1, 1);
    EXPECT_EQ(r.message, T(CSV_STR46) + ": 2008  ~  2008");

    graph.SetMode(DisplayMode::All);
    ASSERT_TRUE(graph.Refresh().refreshed);
    r = graph.GoToDate(1999, 1, 1);
    EXPECT_FALSE(r.refreshed);
    EXPECT_FALSE(r.messageKey);
    EXPECT_EQ(graph.GoYear(), 1999u);
}

// --- failures ---

TEST_F(GraphTest, AMissingUserClosesTheWindow) {
    PeriodAggregation graph(store, "Nobody");
    const RefreshResult r = graph.Refresh();
    EXPECT_FALSE(r.refreshed);
    EXPECT_TRUE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR2);
    EXPECT_EQ(r.message, G(2));
}

TEST_F(GraphTest, HeadersNoCalendarCanPlaceCloseTheWindow) {
    struct Case {
        const char* what;
        void (*edit)(UserFileHeader&);
        bool allModeFails;  // All mode needs no week
    } cases[] = {
        {"week start 0", [](UserFileHeader& h) { h.weekStart = 0; }, false},
        {"week start 8", [](UserFileHeader& h) { h.weekStart = 8; }, false},
        {"first day after last day", [](UserFileHeader& h) { h.firstDay = h.lastDay + 1; }, true},
        {"last day past 2199", [](UserFileHeader& h) { h.lastDay = kMaxDayNumber + 1; }, true},
        {"day 0", [](UserFileHeader& h) { h.firstDay = h.lastDay = 0; }, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "U" + std::to_string(n++);
        MakeUser(name, Day(2008, 3, 1), {{1}, {2}});
        EditHeader(name, c.edit);
        PeriodAggregation graph(store, name);
        RefreshResult r = graph.Refresh();  // the weekly view of a new user
        EXPECT_TRUE(r.closeWindow) << c.what;
        EXPECT_EQ(r.messageKey, USEGRAPH_STR3) << c.what;
        EXPECT_EQ(r.message, G(3));
        graph.SetMode(DisplayMode::All);
        r = graph.Refresh();
        EXPECT_EQ(r.closeWindow, c.allModeFails) << c.what;
        EXPECT_EQ(r.refreshed, !c.allModeFails) << c.what;
    }
}

TEST_F(GraphTest, AWeekAtTheCalendarsStartCloses) {
    MakeUser("Anna", 1, {{5}});  // 1900-1-1, a Monday; the week from Sunday starts before day 1
    PeriodAggregation graph(store, "Anna");
    const RefreshResult r = graph.Refresh();
    EXPECT_TRUE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR3);
}

TEST_F(GraphTest, UnreadableRecordsShowZerosWithTheModesMessage) {
    MakeUser("Anna", Day(2008, 3, 1), std::vector<Values>(40, Values{100, 10, 1}));
    // Cut the file after 35 days (2008-4-4): its header still claims forty. A year keeps
    // the months that read whole, All mode the 30-day stretches that do.
    fs::resize_file(work.dir / "User" / "Anna.usr", kHeaderSize + 35 * kDayRecordSize);
    struct Case {
        DisplayMode mode;
        std::optional<LangKey> message;
        const char* steps;
    } cases[] = {
        {DisplayMode::Daily, USEGRAPH_STR20, "0"},
        {DisplayMode::Weekly, USEGRAPH_STR53, "0"},
        {DisplayMode::Monthly, USEGRAPH_STR87, "0"},
        {DisplayMode::Yearly, std::nullopt, "3100"},
        {DisplayMode::All, std::nullopt, "3000"},
    };
    for (const Case& c : cases) {
        PeriodAggregation graph(store, "Anna");
        graph.SetMode(c.mode);
        graph.Refresh();
        graph.SetMode(c.mode);  // the first refresh takes the mode from the header
        const RefreshResult r = graph.Refresh();
        ASSERT_TRUE(r.refreshed) << int(c.mode);
        EXPECT_FALSE(r.closeWindow);
        EXPECT_EQ(r.messageKey, c.message) << int(c.mode);
        if (c.message) {
            EXPECT_EQ(r.message, T(*c.message));
        }
        EXPECT_EQ(r.summary[1][1], c.steps) << int(c.mode);
    }
}

}  // namespace
}  // namespace stepora
