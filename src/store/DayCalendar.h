// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Day numbers: 1900-01-01 is day 1, 2199-12-31 is day 109573; weekday 1 = Sunday .. 7 =
// Saturday. Every operation returns 1 on success and 0 on failure, and on failure leaves
// its outputs untouched.
#include <cstdint>

namespace stepora {

class CDayCalendar {
public:
    virtual ~CDayCalendar() = default;
    int DateToDay(uint32_t year, uint32_t month, uint32_t day, uint32_t& dayNumber,
                  uint32_t& weekday) const;
    int DayToDate(uint32_t dayNumber, uint32_t& year, uint32_t& month, uint32_t& day,
                  uint32_t& weekday) const;
    // The seven days from the last weekday weekStart on or before dayNumber. The bounds
    // are not clipped to 1 .. 109573.
    int WeekRange(uint32_t dayNumber, uint32_t weekStart, uint32_t& first, uint32_t& last,
                  uint32_t& count) const;
    int MonthRange(uint32_t dayNumber, uint32_t& first, uint32_t& last, uint32_t& count) const;
    int YearRange(uint32_t dayNumber, uint32_t& first, uint32_t& last, uint32_t& count) const;
};

// The program's one calendar.
const CDayCalendar& DayCalendar();

bool IsLeapYear(uint32_t year);
uint32_t MonthLength(uint32_t year, uint32_t month);  // 0 for a month outside 1 .. 12
uint32_t WeekdayOfDay(uint32_t dayNumber);

}  // namespace stepora
