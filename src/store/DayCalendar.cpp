// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DayCalendar.h"

#include <algorithm>
#include <array>

#include "store/UserFile.h"

namespace stepora {
namespace {

constexpr uint32_t kFirstYear = 1900, kLastYear = 2199;
constexpr uint32_t kMonthDays[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

uint32_t YearLength(uint32_t year) {
    return IsLeapYear(year) ? 366 : 365;
}

bool ValidDay(uint32_t n) {
    return n >= 1 && n <= kMaxDayNumber;
}

// The days before each year of the calendar, and one more entry for its end: finding a
// day's year is a search in 301 numbers instead of a walk over the years.
const std::array<uint32_t, kLastYear - kFirstYear + 2>& DaysBeforeYear() {
    static const auto table = [] {
        std::array<uint32_t, kLastYear - kFirstYear + 2> days{};
        for (uint32_t i = 1; i < days.size(); ++i)
            days[i] = days[i - 1] + YearLength(kFirstYear + i - 1);
        return days;
    }();
    return table;
}

// Days of the months before `month` in `year`.
uint32_t DaysBeforeMonth(uint32_t year, uint32_t month) {
    uint32_t days = 0;
    for (uint32_t m = 1; m < month; ++m) days += kMonthDays[IsLeapYear(year)][m];
    return days;
}

}  // namespace

bool IsLeapYear(uint32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

uint32_t MonthLength(uint32_t year, uint32_t month) {
    return month >= 1 && month <= 12 ? kMonthDays[IsLeapYear(year)][month] : 0;
}

uint32_t WeekdayOfDay(uint32_t n) {
    const uint32_t w = (n + 1) % 7;
    return w == 0 ? 7 : w;
}

int CDayCalendar::DateToDay(uint32_t year, uint32_t month, uint32_t day, uint32_t& dayNumber,
                            uint32_t& weekday) const {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return 0;
    if (day == 0 || day > MonthLength(year, month)) return 0;
    const uint32_t n = DaysBeforeYear()[year - kFirstYear] + DaysBeforeMonth(year, month) + day;
    dayNumber = n;
    weekday = WeekdayOfDay(n);
    return 1;
}

int CDayCalendar::DayToDate(uint32_t dayNumber, uint32_t& year, uint32_t& month, uint32_t& day,
                            uint32_t& weekday) const {
    if (!ValidDay(dayNumber)) return 0;
    const auto& before = DaysBeforeYear();
    // The first year whose days before it reach the day number ends just after the day's year.
    const size_t after =
        size_t(std::lower_bound(before.begin(), before.end(), dayNumber) - before.begin());
    const uint32_t y = kFirstYear + uint32_t(after) - 1;
    uint32_t r = dayNumber - before[after - 1];
    uint32_t m = 1;
    while (r > MonthLength(y, m)) r -= MonthLength(y, m++);
    year = y;
    month = m;
    day = r;
    weekday = WeekdayOfDay(dayNumber);
    return 1;
}

int CDayCalendar::WeekRange(uint32_t dayNumber, uint32_t weekStart, uint32_t& first, uint32_t& last,
                            uint32_t& count) const {
    if (!ValidDay(dayNumber) || weekStart < 1 || weekStart > 7) return 0;
    const uint32_t w = WeekdayOfDay(dayNumber);
    // Near day 1 the week may begin before it; callers check the bounds they use
    // (unsigned arithmetic wraps there instead of going negative).
    uint32_t f = dayNumber + weekStart - w;
    if (w < weekStart) f -= 7;
    first = f;
    last = f + 6;
    count = 7;
    return 1;
}

int CDayCalendar::MonthRange(uint32_t dayNumber, uint32_t& first, uint32_t& last,
                             uint32_t& count) const {
    uint32_t y, m, d, w;
    if (!DayToDate(dayNumber, y, m, d, w)) return 0;
    first = dayNumber - d + 1;
    count = MonthLength(y, m);
    last = first + count - 1;
    return 1;
}

int CDayCalendar::YearRange(uint32_t dayNumber, uint32_t& first, uint32_t& last,
                            uint32_t& count) const {
    uint32_t y, m, d, w;
    if (!DayToDate(dayNumber, y, m, d, w)) return 0;
    first = dayNumber - DaysBeforeMonth(y, m) - d + 1;
    count = YearLength(y);
    last = first + count - 1;
    return 1;
}

const CDayCalendar& DayCalendar() {
    static const CDayCalendar calendar;
    return calendar;
}

}  // namespace stepora
