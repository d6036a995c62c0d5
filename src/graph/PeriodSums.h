// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbers behind the graph window, without any text: the values of a day, the bars,
// peaks and totals of a day, week, month or year, and the totals and five best days of
// the whole record.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "graph/GraphTypes.h"
#include "store/UserFile.h"

namespace stepora {

class UserReader;

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

// Days in a row on which the day's value reached the daily goal.
struct GoalRun {
    uint32_t days = 0, first = 0, last = 0;  // first and last are 0 for no run
};

// How often the daily goal of one kind was reached.
struct GoalFigures {
    bool shown = false;         // there is a goal: a goal of 0 is none, and nothing is counted
    uint32_t recordedDays = 0;  // the days of the period from the first to the last record day
    uint32_t goalDays = 0;      // of those, the days that reached the goal
    GoalRun longest;            // inside the period, the latest of equal ones
    uint32_t currentRun = 0;    // once the last record day was counted: the run up to it
};

// Counts the days of a period, fed one at a time in date order, for the goal of `kind` in
// `header`. A day outside the record, or a day not fed, breaks a run. The current run
// ends on the last record day when that day reached the goal, else on the day before (the
// last day may not be over yet).
class GoalCounter {
public:
    GoalCounter(const UserFileHeader& header, GraphKind kind);
    void Add(uint32_t day, const DayRecord& record) { Add(day, std::span(&record, 1)); }
    // The days first, first + 1, … at once.
    void Add(uint32_t first, std::span<const DayRecord> days);
    const GoalFigures& Figures() const { return figures_; }
    // Whether the current run was counted whole: the last record day was fed, and so was
    // the day that broke the run before it (or the run starts on the first record day).
    bool CurrentRunWhole() const { return currentWhole_; }
    // The field of a day's record that holds `kind`.
    static uint32_t DayRecord::*Field(GraphKind kind);

private:
    uint32_t DayRecord::*value_;  // the field of the kind counted
    uint32_t goal_ = 0, firstDay_ = 0, lastDay_ = 0, firstFed_ = 0, previous_ = 0;
    uint32_t run_ = 0;  // the days of the run ending on the day last fed
    bool currentWhole_ = false;
    GoalFigures figures_;
};

// The current run of `kind` without counting a period: read back from the last record day
// in pieces of a month, only as far as the run goes.
uint32_t CurrentGoalRun(UserReader& user, GraphKind kind);

// The bars of the period of a Daily, Weekly, Monthly or Yearly state; every day read is
// also fed to `goals` when given.
PeriodSums SumPeriod(UserReader& user, const PeriodState& period, GoalCounter* goals = nullptr);

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

// Every day from first to last, read in bounded pieces (and fed to `goals` when given).
AllSums SumAll(UserReader& user, uint32_t first, uint32_t last, GoalCounter* goals = nullptr);

}  // namespace stepora
