// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>

namespace stepora {

struct LocalDate {
    uint32_t year = 0, month = 0, day = 0;  // year in four digits
};

// Today's date on the local clock. Every "today" of the program comes from here, so
// tests can set the date.
LocalDate LocalToday();

// Replaces the clock; an empty function restores the real one.
void SetLocalTodayOverride(std::function<LocalDate()> clock);

}  // namespace stepora
