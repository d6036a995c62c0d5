#include "store/DayCalendar.h"

#include <gtest/gtest.h>

#include "store/UserFile.h"

namespace stepora {
namespace {

const CDayCalendar& cal = DayCalendar();

TEST(DayCalendar, EveryDayOfTheSpanRoundTrips) {
    uint32_t expected = 0, lastWeekday = 1;  // 1899-12-31 would be a Sunday
    for (uint32_t y = 1900; y <= 2199; ++y) {
        for (uint32_t m = 1; m <= 12; ++m) {
            for (uint32_t d = 1; d <= MonthLength(y, m); ++d) {
                uint32_t n = 0, w = 0, yy = 0, mm = 0, dd = 0, ww = 0;
                ASSERT_TRUE(cal.DateToDay(y, m, d, n, w)) << y << "-" << m << "-" << d;
                ASSERT_EQ(n, ++expected);
                ASSERT_EQ(w, lastWeekday % 7 + 1);
                lastWeekday = w;
                ASSERT_TRUE(cal.DayToDate(n, yy, mm, dd, ww));
                ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d);
                ASSERT_EQ(ww, w);
            }
        }
    }
    EXPECT_EQ(expected, kMaxDayNumber);
}

TEST(DayCalendar, KnownDates) {
    struct Case { uint32_t y, m, d, day, weekday; } cases[] = {
        {1900, 1, 1, 1, 2},          // a Monday
        {1901, 1, 1, 366, 3},
        {2000, 2, 29, 36584, 3},     // 2000 is a leap year
        {2008, 12, 31, 39812, 4},
        {2026, 12, 7, 46362, 2},
        {2199, 12, 31, 109573, 3},
    };
    for (const Case& c : cases) {
        uint32_t n = 0, w = 0;
        ASSERT_TRUE(cal.DateToDay(c.y, c.m, c.d, n, w)) << c.y;
        EXPECT_EQ(n, c.day) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(w, c.weekday) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DayCalendar, RejectsWhatIsNoDateAndLeavesOutputs) {
    struct Case { uint32_t y, m, d; } bad[] = {
        {1899, 12, 31}, {2200, 1, 1}, {1900, 2, 29}, {2100, 2, 29}, {2001, 0, 1},
        {2001, 13, 1},  {2001, 4, 31}, {2001, 1, 0},
    };
    for (const Case& c : bad) {
        uint32_t n = 77, w = 77;
        EXPECT_FALSE(cal.DateToDay(c.y, c.m, c.d, n, w)) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(n + w, 154u);
    }
    uint32_t y = 5, m = 5, d = 5, w = 5, f = 5, l = 5, c = 5;
    for (uint32_t n : {0u, kMaxDayNumber + 1}) {
        EXPECT_FALSE(cal.DayToDate(n, y, m, d, w));
        EXPECT_FALSE(cal.WeekRange(n, 1, f, l, c));
        EXPECT_FALSE(cal.MonthRange(n, f, l, c));
        EXPECT_FALSE(cal.YearRange(n, f, l, c));
    }
    EXPECT_FALSE(cal.WeekRange(100, 0, f, l, c));
    EXPECT_FALSE(cal.WeekRange(100, 8, f, l, c));
    EXPECT_EQ(y + m + d + w + f + l + c, 35u);
}

TEST(DayCalendar, WeekRangeStartsOnTheLastWeekStartOnOrBefore) {
    uint32_t sunday = 0, w = 0, f = 0, l = 0, c = 0;
    ASSERT_TRUE(cal.DateToDay(2026, 12, 6, sunday, w));
    ASSERT_EQ(w, 1u);
    for (uint32_t s = 1; s <= 7; ++s) {
        for (uint32_t n = sunday; n < sunday + 7; ++n) {
            ASSERT_TRUE(cal.WeekRange(n, s, f, l, c));
            EXPECT_EQ(WeekdayOfDay(f), s);
            EXPECT_LE(f, n);
            EXPECT_GT(f + 7, n);
            EXPECT_EQ(l, f + 6);
            EXPECT_EQ(c, 7u);
        }
    }
    ASSERT_TRUE(cal.WeekRange(sunday, 2, f, l, c));
    EXPECT_EQ(f, sunday - 6);
    ASSERT_TRUE(cal.WeekRange(1, 1, f, l, c));  // Monday 1900-01-01: the week starts at day 0
    EXPECT_EQ(f, 0u);
    EXPECT_EQ(l, 6u);
}

TEST(DayCalendar, MonthAndYearRanges) {
    uint32_t n = 0, w = 0, f = 0, l = 0, c = 0;
    ASSERT_TRUE(cal.DateToDay(2008, 2, 17, n, w));
    ASSERT_TRUE(cal.MonthRange(n, f, l, c));
    EXPECT_EQ(c, 29u);
    EXPECT_EQ(l - f + 1, c);
    uint32_t y, m, d;
    ASSERT_TRUE(cal.DayToDate(f, y, m, d, w));
    EXPECT_EQ(m * 100 + d, 201u);
    for (uint32_t probe : {n, n + 300}) {  // any day of 2008
        ASSERT_TRUE(cal.YearRange(probe, f, l, c));
        EXPECT_EQ(c, 366u);
        ASSERT_TRUE(cal.DayToDate(f, y, m, d, w));
        EXPECT_EQ(y * 10000 + m * 100 + d, 20080101u);
        ASSERT_TRUE(cal.DayToDate(l, y, m, d, w));
        EXPECT_EQ(y * 10000 + m * 100 + d, 20081231u);
    }
    ASSERT_TRUE(cal.YearRange(kMaxDayNumber, f, l, c));
    EXPECT_EQ(l, kMaxDayNumber);
    EXPECT_EQ(c, 365u);
}

}  // namespace
}  // namespace stepora
