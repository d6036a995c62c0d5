// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbers behind the graph window, without any text: the values of a day, the bars,
// peaks and totals of a day, week, month or year, and the totals and five best days of
// the whole record.
#include <array>
#include <cstdint>
#include <string>

#include "graph/GraphTypes.h"
#include "store/UserFile.h"

namespace stepora {

class UserStore;

// Steps, calories and distance, indexed by GraphKind, in the units shown.
using KindValues = std::array<double, 3>;

// A stored value above six digits counts as 0: the pedometer never sends one.
KindValues ValuesOf(const DayRecord& record);
KindValues DailyGoals(const UserFileHeader& header);

struct PeriodSums {
    uint32_t barCount = 0;
    std::array<KindValues, kMaxBars> bars{};  // a day's values, or a month's sums (Yearly)
    std::array<uint32_t, kMaxBars> barDay{};  // the first day of each bar
    KindValues peak{}, total{};
    uint32_t daysInPeriod = 0;  // what the average divides by
    bool readFailed = false;    // a day, week or month that could not be read counts as zero
};

// The bars of the period of a Daily, Weekly, Monthly or Yearly state.
PeriodSums SumPeriod(const UserStore& store, const std::string& user, const PeriodState& period);

struct BestDay {
    uint32_t day = 0;  // 0: the slot is still empty
    KindValues values{};
};

// Running totals and the five best days by steps, fed one day at a time in date order.
class AllSums {
public:
    void Add(uint32_t day, const DayRecord& record);
    const KindValues& Total() const { return total_; }
    const std::array<BestDay, 5>& Best() const { return best_; }

private:
    KindValues total_{};
    std::array<BestDay, 5> best_{};
};

// Every day from first to last, read in bounded pieces.
AllSums SumAll(const UserStore& store, const std::string& user, uint32_t first, uint32_t last);

}  // namespace stepora
