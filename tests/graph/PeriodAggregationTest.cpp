#include "graph/PeriodAggregation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Clock.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;

TEST(AxisStep, EveryBoundOfTheTable) {
    const struct { double bound, step, next; } rows[] = {
        {5, 1, 2},          {10, 2, 3},           {15, 3, 5},           {25, 5, 10},
        {50, 10, 20},       {100, 20, 30},        {150, 30, 50},        {250, 50, 100},
        {500, 100, 500},    {2500, 500, 1000},    {5000, 1000, 1500},   {7500, 1500, 2000},
        {10000, 2000, 3000}, {15000, 3000, 4000}, {20000, 4000, 5000},  {25000, 5000, 10000},
        {50000, 10000, 20000}, {100000, 20000, 40000}, {200000, 40000, 80000},
        {400000, 80000, 120000}, {600000, 120000, 160000}, {800000, 160000, 200000},
        {1000000, 200000, 2000000}, {10000000, 2000000, 20000000},
        {100000000, 20000000, 200000000}, {1000000000, 200000000, 2000000000},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(AxisStep(r.bound - 0.001), r.step) << r.bound;
        EXPECT_EQ(AxisStep(r.bound), r.next) << r.bound;  // the bound itself belongs to the next row
    }
    EXPECT_EQ(AxisStep(0), 1);
    EXPECT_EQ(AxisStep(520), 500);  // from 500 to 2500 the step is 500
    EXPECT_EQ(AxisStep(1e12), 2000000000);
}

// A user made through the store, with days and goals as a test needs them.
class Aggregation : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language", fs::copy_options::recursive);
        table = std::make_unique<LangTable>(dir.path());
        InstallLangTable(table.get());
        fs::create_directories(dir / "User");
        store.SetDirectory(dir / "User");
    }
    void TearDown() override {
        InstallLangTable(nullptr);
        SetLocalTodayForTesting(nullptr);
    }
    static uint32_t Day(uint32_t y, uint32_t m, uint32_t d) {
        uint32_t n = 0, w;
        DayCalendar().DateToDay(y, m, d, n, w);
        return n;
    }
    // Creates the user so that its file starts on `first`, then writes the given steps
    // (calories = steps / 2 tenths, distance = steps / 10 hundredths) from `first` on.
    void MakeUser(const std::string& name, uint32_t first, const std::vector<uint32_t>& steps) {
        SetLocalTodayForTesting([first] {
            uint32_t y, m, d, w;
            DayCalendar().DayToDate(first + 1, y, m, d, w);
            return LocalDate{y, m, d};
        });
        ASSERT_TRUE(store.Create(name, ""));
        std::vector<uint8_t> bytes(steps.size() * kDayRecordSize);
        for (size_t i = 0; i < steps.size(); ++i) {
            DayRecord r;
            r.steps = steps[i];
            r.calories = steps[i] / 2;
            r.distance = steps[i] / 10;
            PackDayRecord(r, bytes.data() + i * kDayRecordSize);
        }
        ASSERT_TRUE(store.WriteDays(name, first, uint32_t(steps.size()), bytes.data()));
    }
    void EditHeader(const std::string& name, const std::function<void(UserFileHeader&)>& edit) {
        UserFileHeader h;
        ASSERT_TRUE(store.ReadHeader(name, h));
        edit(h);
        ASSERT_TRUE(store.WriteHeader(name, h));
    }
    static std::string T(LangKey key) { return GetLangString(key); }
    static std::string U(uint32_t n) { return GetLangString(static_cast<LangKey>(USEGRAPH_STR1 + n - 1)); }

    test::TempDir dir;
    std::unique_ptr<LangTable> table;
    UserStore store;
};

TEST_F(Aggregation, ASingleDayInDailyMode) {
    const uint32_t day = Day(2008, 3, 5);
    MakeUser("Anna", day, {7500});
    EditHeader("Anna", [](UserFileHeader& h) {
        h.defaultPeriod = 0;
        h.goalSteps = 10000;
    });
    PeriodAggregation agg(store, "Anna");
    const RefreshResult r = agg.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.closeWindow);
    EXPECT_EQ(r.period.mode, DisplayMode::Daily);
    EXPECT_EQ(r.period.periodStart, day);
    EXPECT_FALSE(r.previousEnabled || r.nextEnabled || r.recentlyEnabled);
    EXPECT_TRUE(r.dayBoxEnabled && r.monthBoxEnabled && r.kindsEnabled);
    EXPECT_EQ(r.rangeCaption, "2008-3-5(" + U(6) + ")");  // a Wednesday
    EXPECT_EQ(r.modeCaption, T(USEGRAPH_MENU_STR28));

    const GraphData& g = r.graph;
    ASSERT_EQ(g.barCount, 1u);
    EXPECT_EQ(g.bars[0].label, "2008-3-5");
    EXPECT_EQ(g.bars[0].title, "2008-3-5  " + U(41));
    EXPECT_EQ(g.bars[0].text, U(42) + "   =   7500 " + U(43));
    EXPECT_EQ(g.valueTitle, U(39));
    // The goal is above the peak, so it sets the axis; 10000 is not below 10000.
    EXPECT_EQ(g.axisMax, 15000);
    EXPECT_EQ(g.axisLabels[1], "3000");
    EXPECT_EQ(g.goalValue, 10000);

    EXPECT_EQ(r.summaryColumns, 4u);
    EXPECT_EQ(r.summary[0][0], " ");
    EXPECT_EQ(r.summary[0][1], U(46));
    EXPECT_EQ(r.summary[1][1], "7500");
    EXPECT_EQ(r.summary[1][2], "10000");
    EXPECT_EQ(r.summary[1][3], "75.00%");
    EXPECT_EQ(r.summary[2][1], "375.0");  // 3750 tenths
    EXPECT_EQ(r.summary[2][2], "---");    // no calorie goal
    EXPECT_EQ(r.summary[2][3], "---");
    EXPECT_EQ(r.summary[3][0], U(51));
    EXPECT_EQ(r.summary[3][1], "7.50");
}

TEST_F(Aggregation, AWeekAveragesOverSevenDaysWithOrWithoutData) {
    // Wednesday 2008-3-5 onwards; the week starts on Monday 2008-3-3, before the first record.
    MakeUser("Anna", Day(2008, 3, 5), {10, 20, 40});
    EditHeader("Anna", [](UserFileHeader& h) {
        h.defaultPeriod = 1;
        h.weekStart = 2;
        h.goalSteps = 10;
        h.unitSystem = 1;
    });
    PeriodAggregation agg(store, "Anna");
    const RefreshResult r = agg.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.periodStart, Day(2008, 3, 3));
    EXPECT_EQ(r.period.periodEnd, Day(2008, 3, 9));
    EXPECT_EQ(r.rangeCaption, "2008-3-3(" + U(4) + ")  ~  2008-3-9(" + U(10) + ")");
    ASSERT_EQ(r.graph.barCount, 7u);
    EXPECT_EQ(r.graph.bars[0].label, "3-3(" + U(4) + ")");
    EXPECT_EQ(r.graph.bars[0].value, 0);
    EXPECT_EQ(r.graph.bars[4].value, 40);
    EXPECT_EQ(r.summary[1][1], "70");
    EXPECT_EQ(r.summary[1][2], "10");
    EXPECT_EQ(r.summary[1][4], "100.00%");
    EXPECT_EQ(r.summary[3][0], U(86));  // imperial distance row
    EXPECT_FALSE(r.previousEnabled);    // the week starts before the first record day
    EXPECT_FALSE(r.nextEnabled);

    agg.SetKind(GraphKind::Distance);
    const RefreshResult d = agg.Refresh();
    EXPECT_EQ(d.graph.unitText, U(68));
    EXPECT_EQ(d.graph.bars[2].text, U(70) + "   =   0.010 " + U(71));  // 10 steps, 1 hundredth
}

TEST_F(Aggregation, YearlySumsMonthsAndDividesByTheYearsDays) {
    std::vector<uint32_t> steps(366, 100);  // all of 2008
    MakeUser("Anna", Day(2008, 1, 1), steps);
    EditHeader("Anna", [](UserFileHeader& h) {
        h.defaultPeriod = 3;
        h.goalSteps = 200;
    });
    PeriodAggregation agg(store, "Anna");
    const RefreshResult r = agg.Refresh();
    ASSERT_EQ(r.graph.barCount, 12u);
    EXPECT_EQ(r.graph.bars[1].value, 2900);  // February of a leap year
    EXPECT_EQ(r.graph.bars[1].label, "2");
    EXPECT_EQ(r.graph.bars[1].title, "2008-2  " + U(141));
    EXPECT_EQ(r.graph.bars[1].text, U(142) + "   =   2900 " + U(143));
    EXPECT_EQ(r.graph.goalValue, 200);  // the daily goal against monthly sums
    EXPECT_EQ(r.summary[1][1], "36600");
    EXPECT_EQ(r.summary[1][2], "100");  // ÷ 366
    EXPECT_EQ(r.summary[1][4], "50.00%");
    EXPECT_EQ(r.rangeCaption, "2008-1-1  ~  2008-12-31");
    EXPECT_FALSE(r.monthBoxEnabled || r.dayBoxEnabled);
    EXPECT_TRUE(r.yearBoxEnabled);
}

TEST_F(Aggregation, AllModeRanksTheFiveBestDaysAndCountsOversizedValuesAsZero) {
    const uint32_t first = Day(2010, 6, 1);
    MakeUser("Anna", first, {500, 900, 500});
    {  // a calorie value the device cannot send
        std::vector<uint8_t> rec(kDayRecordSize);
        ASSERT_TRUE(store.ReadDays("Anna", first + 1, 1, rec.data()));
        DayRecord r = UnpackDayRecord(rec.data());
        r.calories = 1000000;
        PackDayRecord(r, rec.data());
        ASSERT_TRUE(store.WriteDays("Anna", first + 1, 1, rec.data()));
    }
    EditHeader("Anna", [](UserFileHeader& h) { h.defaultPeriod = 4; });
    PeriodAggregation agg(store, "Anna");
    const RefreshResult r = agg.Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.showGraph);
    EXPECT_EQ(r.graph.barCount, 0u);
    EXPECT_FALSE(r.kindsEnabled || r.goEnabled);
    const BestDaysTable& t = r.bestDays;
    EXPECT_EQ(t[0][0], U(154));
    EXPECT_EQ(t[1][0], "NO.1");
    EXPECT_EQ(t[1][1], "2010-6-2");
    EXPECT_EQ(t[1][3], "0.0");      // 1000000 tenths counts as 0
    EXPECT_EQ(t[2][1], "2010-6-3");  // a tie: the later day ranks first
    EXPECT_EQ(t[3][1], "2010-6-1");
    for (int row : {4, 5})
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(t[row][c], "---");
    EXPECT_EQ(r.summary[1][1], "1900");
    EXPECT_EQ(r.summary[2][1], "50.0");  // 25.0 + 0 + 25.0
    EXPECT_EQ(r.summary[1][4], "---");
}

TEST_F(Aggregation, NavigationStopsAtTheRecordedDays) {
    const uint32_t first = Day(2009, 1, 30);
    MakeUser("Anna", first, std::vector<uint32_t>(35, 1000));  // to 2009-3-5
    EditHeader("Anna", [](UserFileHeader& h) { h.defaultPeriod = 2; });
    PeriodAggregation agg(store, "Anna");
    RefreshResult r = agg.Refresh();
    EXPECT_EQ(r.period.periodStart, Day(2009, 3, 1));
    EXPECT_TRUE(r.previousEnabled);
    EXPECT_FALSE(r.nextEnabled);
    EXPECT_FALSE(agg.Next().refreshed);
    r = agg.Previous();
    EXPECT_EQ(r.period.periodStart, Day(2009, 2, 1));
    EXPECT_TRUE(r.recentlyEnabled);
    r = agg.Previous();
    EXPECT_EQ(r.period.periodStart, Day(2009, 1, 1));
    EXPECT_EQ(r.graph.barCount, 31u);
    EXPECT_EQ(r.graph.bars[0].value, 0);  // before the first record day
    EXPECT_EQ(r.summary[1][2], "65");  // 2000 steps ÷ 31 days
    EXPECT_EQ(r.summary[3][2], "0.06");  // 2.00 km ÷ 31
    EXPECT_FALSE(r.previousEnabled);
    EXPECT_FALSE(agg.Previous().refreshed);
    r = agg.Recently();
    EXPECT_EQ(r.period.periodStart, Day(2009, 3, 1));
    // A mode change starts again at the period of the last record day.
    agg.SetMode(DisplayMode::Daily);
    EXPECT_EQ(agg.Refresh().period.anchorDay, Day(2009, 3, 5));
}

TEST_F(Aggregation, GoAcceptsDatesInTheWidenedRangeOnly) {
    MakeUser("Anna", Day(2008, 1, 20), std::vector<uint32_t>(60, 100));  // to 2008-3-19
    EditHeader("Anna", [](UserFileHeader& h) { h.defaultPeriod = 0; });
    PeriodAggregation agg(store, "Anna");
    RefreshResult r = agg.Refresh();
    EXPECT_EQ(r.yearSelection, 8);
    EXPECT_EQ(r.monthSelection, 2);
    EXPECT_EQ(r.daySelection, 18);
    ASSERT_EQ(r.years.size(), 100u);

    r = agg.GoToDate(2008, 2, 30);  // no such day
    EXPECT_FALSE(r.refreshed);
    EXPECT_EQ(r.message, T(CSV_STR46) + ": 2008-1-20  ~  2008-3-19");
    EXPECT_EQ(agg.State().anchorDay, Day(2008, 3, 19));  // nothing else changed
    EXPECT_FALSE(agg.GoToDate(2008, 1, 19).refreshed);
    r = agg.GoToDate(2008, 2, 10);
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.anchorDay, Day(2008, 2, 10));
    EXPECT_FALSE(agg.GoToDate(0, 2, 10).refreshed);  // a box without selection reads 0

    agg.SetMode(DisplayMode::Monthly);
    agg.Refresh();
    r = agg.GoToDate(2008, 1, 2);  // before the first record day, inside its month
    ASSERT_TRUE(r.refreshed);
    EXPECT_EQ(r.period.periodStart, Day(2008, 1, 1));
    EXPECT_EQ(agg.GoToDate(2008, 4, 1).message, T(CSV_STR46) + ": 2008-1  ~  2008-3");

    agg.SetMode(DisplayMode::Yearly);
    agg.Refresh();
    EXPECT_EQ(agg.GoToDate(2009, 1, 1).message, T(CSV_STR46) + ": 2008  ~  2008");
    agg.SetMode(DisplayMode::All);
    agg.Refresh();
    const RefreshResult all = agg.GoToDate(2008, 2, 1);
    EXPECT_FALSE(all.refreshed);
    EXPECT_TRUE(all.message.empty());
}

TEST_F(Aggregation, BrokenUserFilesCloseTheWindowOrShowZeros) {
    PeriodAggregation missing(store, "Nobody");
    RefreshResult r = missing.Refresh();
    EXPECT_TRUE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR2);

    MakeUser("Weeks", Day(2008, 3, 5), {1, 2, 3});
    EditHeader("Weeks", [](UserFileHeader& h) {
        h.defaultPeriod = 1;
        h.weekStart = 9;
    });
    r = PeriodAggregation(store, "Weeks").Refresh();
    EXPECT_TRUE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR3);

    MakeUser("Backwards", Day(2008, 3, 5), {1, 2, 3});
    EditHeader("Backwards", [](UserFileHeader& h) {
        h.defaultPeriod = 4;
        std::swap(h.firstDay, h.lastDay);
    });
    r = PeriodAggregation(store, "Backwards").Refresh();
    EXPECT_TRUE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR3);

    // A file shorter than its header says: the week reads as zeros, with the message.
    MakeUser("Short", Day(2008, 3, 5), {5, 6, 7});
    EditHeader("Short", [](UserFileHeader& h) { h.defaultPeriod = 1; });
    fs::resize_file(dir / "User" / "Short.usr", kHeaderSize + kDayRecordSize);
    r = PeriodAggregation(store, "Short").Refresh();
    ASSERT_TRUE(r.refreshed);
    EXPECT_FALSE(r.closeWindow);
    EXPECT_EQ(r.messageKey, USEGRAPH_STR53);
    EXPECT_EQ(r.summary[1][1], "0");
    EditHeader("Short", [](UserFileHeader& h) { h.defaultPeriod = 4; });
    r = PeriodAggregation(store, "Short").Refresh();
    EXPECT_TRUE(r.refreshed);
    EXPECT_FALSE(r.messageKey.has_value());  // All mode goes on silently
}

}  // namespace
}  // namespace stepora
