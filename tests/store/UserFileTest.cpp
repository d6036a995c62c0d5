// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of a user file and the day numbers its records are stored by.
#include "store/UserFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "store/DayCalendar.h"

namespace stepora {
namespace {

using namespace std::string_literals;

std::string Text(const uint8_t* bytes, size_t length) {
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

TEST(UserFile, HeaderIsBigEndianWordsUnderTheirByteSum) {
    UserFileHeader h{0, 1, 154, 2875, {'s', 'e', 'c', 'r', 'e', 't'}, 40000, 40100, 999999};
    h.weekStart = 7;
    uint8_t bytes[kHeaderSize];
    PackHeader(h, bytes);
    EXPECT_EQ(Text(bytes, 40), "user\0\0\0\1\0\0\0\x9A\0\0\x0B\x3Bsecret\0\0\0\0\0\0\0\0\0\0\0\0\x9C\x40\0\0\x9C\xA4"s);
    EXPECT_EQ(GetBigEndian32(bytes + 72), ByteSum(bytes, 72));
    std::memcpy(bytes, "resu", 4);  // the magic is not checked on reading, but always written
    UserFileHeader back;
    ASSERT_TRUE(UnpackHeader(bytes, back));
    EXPECT_EQ(std::tie(back.goalSteps, back.weekStart), std::make_tuple(999999u, 7u));
    PackHeader(back, bytes);
    EXPECT_EQ(Text(bytes, 4), "user");
}

TEST(UserFile, DayRecordLayout) {
    const DayRecord r{1, 0x1234, 0xABCD, 0x55 /* never written */, 999999, 0x01020304, 7};
    uint8_t bytes[kDayRecordSize];
    PackDayRecord(r, bytes);
    EXPECT_EQ(Text(bytes, kDayRecordSize), "\1\x12\x34\xAB\xCD\0\0\x0F\x42\x3F\1\2\3\4\0\0\0\7"s);
    const DayRecord back = UnpackDayRecord(bytes);
    EXPECT_EQ(std::tie(back.weight, back.stride, back.calories), std::make_tuple(0x1234, 0xABCD, 0x01020304u));
}

TEST(UserFile, WeightAndStrideLimitsOfBothUnitSystems) {
    for (const auto& [inRange, unit, low, high] : {std::tuple{&WeightInRange, 0u, 10u, 150u},
                                                   {WeightInRange, 1u, 40u, 350u},
                                                   {StrideInRange, 0u, 10u, 150u},
                                                   {StrideInRange, 1u, 100u, 400u}})
        EXPECT_TRUE(inRange(unit, low) && inRange(unit, high) && !inRange(unit, low - 1) && !inRange(unit, high + 1))
            << low << ".." << high;
}

const CDayCalendar& cal = DayCalendar();

uint32_t Date(uint32_t day) {  // as yyyymmdd
    uint32_t y = 0, m = 0, d = 0, w = 0;
    EXPECT_TRUE(cal.DayToDate(day, y, m, d, w)) << day;
    return y * 10000 + m * 100 + d;
}

TEST(DayCalendar, EveryDayOfTheSpanRoundTrips) {
    uint32_t expected = 0, lastWeekday = 1;  // 1899-12-31 would be a Sunday
    for (uint32_t y = 1900; y <= 2199; ++y) {
        for (uint32_t m = 1; m <= 12; ++m) {
            for (uint32_t d = 1; d <= MonthLength(y, m); ++d) {
                uint32_t n = 0, w = 0;
                ASSERT_TRUE(cal.DateToDay(y, m, d, n, w)) << y << "-" << m << "-" << d;
                ASSERT_EQ(n, ++expected);
                ASSERT_EQ(w, lastWeekday % 7 + 1);
                ASSERT_EQ(WeekdayOfDay(n), w);
                ASSERT_EQ(Date(n), y * 10000 + m * 100 + d);
                lastWeekday = w;
            }
        }
    }
    EXPECT_EQ(expected, kMaxDayNumber);
    EXPECT_EQ(Date(36584), 20000229u);  // 2000 is a leap year
    EXPECT_EQ(Date(46362), 20261207u);
}

TEST(DayCalendar, RejectsWhatIsNoDateAndLeavesOutputs) {
    uint32_t n = 5, w = 5, y = 5, m = 5, d = 5, f = 5, l = 5, c = 5;
    for (const auto& [yy, mm, dd] : {std::tuple{1899u, 12u, 31u},
                                     {2200u, 1u, 1u},
                                     {1900u, 2u, 29u},
                                     {2100u, 2u, 29u},
                                     {2001u, 0u, 1u},
                                     {2001u, 13u, 1u},
                                     {2001u, 4u, 31u},
                                     {2001u, 1u, 0u}})
        EXPECT_FALSE(cal.DateToDay(yy, mm, dd, n, w)) << yy << "-" << mm << "-" << dd;
    for (uint32_t day : {0u, kMaxDayNumber + 1})
        EXPECT_FALSE(cal.DayToDate(day, y, m, d, w) || cal.WeekRange(day, 1, f, l, c) || cal.MonthRange(day, f, l, c) ||
                     cal.YearRange(day, f, l, c))
            << day;
    EXPECT_FALSE(cal.WeekRange(100, 0, f, l, c) || cal.WeekRange(100, 8, f, l, c));
    EXPECT_EQ(n + w + y + m + d + f + l + c, 40u);
}

TEST(DayCalendar, WeekMonthAndYearRanges) {
    uint32_t f = 0, l = 0, c = 0;
    for (uint32_t start = 1; start <= 7; ++start) {
        for (uint32_t n = 46361; n < 46361 + 7; ++n) {  // from Sunday 2026-12-06
            ASSERT_TRUE(cal.WeekRange(n, start, f, l, c));
            EXPECT_TRUE(WeekdayOfDay(f) == start && f <= n && n < f + 7 && l == f + 6 && c == 7) << n << " " << f;
        }
    }
    ASSERT_TRUE(cal.WeekRange(1, 1, f, l, c) && f == 0);  // Monday 1900-01-01: the week starts at day 0
    ASSERT_TRUE(cal.MonthRange(39494, f, l, c));          // 2008-02-17
    EXPECT_EQ(std::tuple(Date(f), Date(l), c), std::tuple(20080201u, 20080229u, 29u));
    ASSERT_TRUE(cal.YearRange(39494 + 300, f, l, c));
    EXPECT_EQ(std::tuple(Date(f), Date(l), c), std::tuple(20080101u, 20081231u, 366u));
}

}  // namespace
}  // namespace stepora
