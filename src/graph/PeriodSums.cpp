// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PeriodSums.h"

#include <algorithm>
#include <span>
#include <vector>

#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

constexpr uint32_t kMaxDeviceValue = 999999;  // six decimal digits
// A piece of the All range that cannot be read counts as zero, 30 days at a time. The
// range is read in pieces of many such stretches: a full calendar costs 27 opens instead
// of 3,653, and memory stays bounded (4,080 records, 155 KB with their bytes).
constexpr uint32_t kZeroedDays = 30;
constexpr uint32_t kPieceDays = 136 * kZeroedDays;

uint32_t Checked(uint32_t raw) {
    return raw > kMaxDeviceValue ? 0 : raw;
}

// A piece that failed, again in 30-day stretches: only those that fail count as zero.
void ReadInStretches(UserReader& user, uint32_t first, std::span<DayRecord> days) {
    for (size_t at = 0; at < days.size(); at += kZeroedDays) {
        const std::span<DayRecord> stretch =
            days.subspan(at, std::min<size_t>(kZeroedDays, days.size() - at));
        if (!user.ReadDays(first + uint32_t(at), stretch))
            std::fill(stretch.begin(), stretch.end(), DayRecord{});
    }
}

}  // namespace

KindValues ValuesOf(const DayRecord& r) {
    return {double(Checked(r.steps)), Checked(r.calories) * 0.1, Checked(r.distance) * 0.01};
}

KindValues DailyGoals(const UserFileHeader& h) {
    return {double(h.goalSteps), h.goalCalories / 10.0, h.goalDistance / 100.0};
}

namespace {
// Raw numbers of the file, so that a day exactly on its goal is never a rounding short.
uint32_t RawGoal(const UserFileHeader& h, GraphKind kind) {
    const uint32_t goals[3] = {h.goalSteps, h.goalCalories, h.goalDistance};
    return goals[static_cast<int>(kind)];
}
// A value above six digits counts as 0, which reaches no goal; no branch: misses come at
// random.
uint32_t OnGoal(uint32_t value, uint32_t goal) {
    return uint32_t(value >= goal) & uint32_t(value <= kMaxDeviceValue);
}
}  // namespace

GoalCounter::GoalCounter(const UserFileHeader& header, GraphKind kind)
    : value_(Field(kind)),
      goal_(RawGoal(header, kind)),
      firstDay_(header.firstDay),
      lastDay_(header.lastDay) {
    figures_.shown = goal_ > 0;
}

uint32_t DayRecord::*GoalCounter::Field(GraphKind kind) {
    return kind == GraphKind::Steps      ? &DayRecord::steps
           : kind == GraphKind::Calories ? &DayRecord::calories
                                         : &DayRecord::distance;
}

// Called once for each piece of the All range, so that the loop over the record days
// stays free of branches the data decides, but for a new longest run.
void GoalCounter::Add(uint32_t first, std::span<const DayRecord> days) {
    if (!figures_.shown || days.empty()) return;
    if (previous_ == 0) firstFed_ = first;
    if (first != previous_ + 1) run_ = 0;
    const uint32_t last = first + uint32_t(days.size() - 1);
    previous_ = last;
    const uint32_t from = std::max(first, firstDay_), to = std::min(last, lastDay_);
    if (from > to) {  // no record day
        run_ = 0;
        return;
    }
    if (from > first) run_ = 0;  // a day before the first record day
    figures_.recordedDays += to - from + 1;
    uint32_t run = run_, goalDays = 0;
    GoalRun longest = figures_.longest;
    // The last record day is counted on its own below.
    const uint32_t end = to == lastDay_ ? to : to + 1;
    uint32_t best = std::max(longest.days, 1u);  // what a run must reach to be the longest
    const DayRecord* record = days.data() + (from - first);
    for (uint32_t day = from; day < end; ++day, ++record) {
        const uint32_t hit = OnGoal(record->*value_, goal_);
        goalDays += hit;
        run = (run + 1) & (0u - hit);
        if (run >= best) [[unlikely]] {
            best = run;
            longest = {run, day + 1 - run, day};
        }
    }
    if (to == lastDay_) {
        const bool hit = OnGoal(days[to - first].*value_, goal_);
        if (hit) {
            ++goalDays;
            ++run;
            if (run >= longest.days) longest = {run, to + 1 - run, to};
        }
        figures_.currentRun = run;  // when the day missed, the run of the day before
        const uint32_t start = (hit ? to : to - 1) + 1 - run;
        currentWhole_ = start <= firstDay_ || start > firstFed_;
        if (!hit) run = 0;
    }
    if (to < last) run = 0;  // a day after the last record day
    run_ = run;
    figures_.goalDays += goalDays;
    figures_.longest = longest;
}

uint32_t CurrentGoalRun(UserReader& user, GraphKind kind) {
    const UserFileHeader& header = user.Header();
    const uint32_t goal = RawGoal(header, kind);
    // Day 0 (a file begun on the calendar's first day) has no date and reads as nothing.
    const uint32_t firstDay = std::max<uint32_t>(header.firstDay, 1);
    if (goal == 0 || header.lastDay < firstDay) return 0;
    const auto field = GoalCounter::Field(kind);
    std::array<DayRecord, kMaxBars> days;
    uint32_t run = 0;
    for (uint32_t end = header.lastDay;;) {
        const uint32_t start = end - std::min(end - firstDay, kMaxBars - 1);
        const std::span<DayRecord> piece(days.data(), end - start + 1);
        if (!user.ReadDays(start, piece)) return run;
        for (size_t i = piece.size(); i-- > 0;) {
            if (OnGoal(piece[i].*field, goal))
                ++run;
            else if (start + i != header.lastDay)
                return run;
        }
        if (start == firstDay) return run;
        end = start - 1;
    }
}

PeriodSums SumPeriod(UserReader& user, const PeriodState& period, GoalCounter* goals) {
    PeriodSums sums;
    std::array<DayRecord, kMaxBars> days;
    if (period.mode == DisplayMode::Yearly) {
        // The year in one read; when that fails, month by month, and a month that cannot
        // be read counts as zero.
        std::array<DayRecord, 366> year;
        const uint32_t yearDays = std::min<uint32_t>(period.dayCount, year.size());
        const bool whole = user.ReadDays(period.periodStart, std::span(year.data(), yearDays));
        uint32_t monthStart = period.periodStart;
        for (; sums.barCount < 12; ++sums.barCount) {
            uint32_t first, last, count;
            if (!DayCalendar().MonthRange(monthStart, first, last, count)) break;
            sums.barDay[sums.barCount] = first;
            KindValues& bar = sums.bars[sums.barCount];
            const DayRecord* month = days.data();
            if (whole && last < period.periodStart + yearDays)
                month = year.data() + (first - period.periodStart);
            else if (!user.ReadDays(first, std::span(days.data(), count)))
                std::fill_n(days.data(), count, DayRecord{});
            if (goals) goals->Add(first, std::span(month, count));
            for (uint32_t i = 0; i < count; ++i) {
                const KindValues v = ValuesOf(month[i]);
                for (int k = 0; k < 3; ++k) bar[k] += v[k];
            }
            sums.daysInPeriod += count;
            monthStart = last + 1;
        }
    } else {
        sums.barCount = std::min(period.dayCount, kMaxBars);
        const std::span<DayRecord> read(days.data(), sums.barCount);
        if (!user.ReadDays(period.periodStart, read)) {
            sums.readFailed = true;
            std::fill(read.begin(), read.end(), DayRecord{});
        }
        for (uint32_t i = 0; i < sums.barCount; ++i) {
            sums.bars[i] = ValuesOf(days[i]);
            sums.barDay[i] = period.periodStart + i;
            if (goals) goals->Add(period.periodStart + i, days[i]);
        }
        sums.daysInPeriod = period.mode == DisplayMode::Weekly ? 7 : period.dayCount;
    }
    for (uint32_t i = 0; i < sums.barCount; ++i)
        for (int k = 0; k < 3; ++k) {
            sums.peak[k] = std::max(sums.peak[k], sums.bars[i][k]);
            sums.total[k] += sums.bars[i][k];
        }
    return sums;
}

void AllSums::Add(uint32_t day, const DayRecord& record) {
    const KindValues v = ValuesOf(record);
    for (int k = 0; k < 3; ++k) total_[k] += v[k];
    // The first slot the day is not worse than takes it; ties put the later day first.
    for (size_t slot = 0; slot < best_.size(); ++slot) {
        if (best_[slot].values[0] <= v[0]) {
            std::move_backward(best_.begin() + slot, best_.end() - 1, best_.end());
            best_[slot] = BestDay{day, v};
            return;
        }
    }
}

AllSums SumAll(UserReader& user, uint32_t first, uint32_t last, GoalCounter* goals) {
    AllSums sums;
    std::vector<DayRecord> piece(kPieceDays);
    for (uint64_t from = first; from <= last; from += kPieceDays) {
        const std::span<DayRecord> days(piece.data(),
                                        size_t(std::min<uint64_t>(kPieceDays, last - from + 1)));
        if (!user.ReadDays(uint32_t(from), days)) ReadInStretches(user, uint32_t(from), days);
        // A block at a time through both, while its days are still in the nearest cache.
        constexpr size_t kBlock = 256;
        for (size_t at = 0; at < days.size(); at += kBlock) {
            const auto block = std::span(days).subspan(at, std::min(kBlock, days.size() - at));
            for (size_t i = 0; i < block.size(); ++i) sums.Add(uint32_t(from + at + i), block[i]);
            if (goals) goals->Add(uint32_t(from + at), block);
        }
    }
    return sums;
}

}  // namespace stepora
