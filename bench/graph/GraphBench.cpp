// SPDX-License-Identifier: GPL-3.0-or-later
// Refreshes against a plain read of the bytes they cover: BM_RefreshAll against
// BM_PlainReadAll and BM_PlainReadAndSumAll (every day of the calendar, read and summed
// the way All mode sums), BM_RefreshYearly / BM_PlainReadYear (the 366 days of 2008).
// BM_CenturyRefresh/<mode> and BM_CenturyOpen: each mode, and opening the window, for a
// user with 100 years of days; each must stay well within 50 ms.
// BM_CenturySumAll/goals:0 and /goals:1: the All-mode summing of that user without and
// with the goal days and runs of its step goal; BM_CenturyRefreshAllGoal/goal:0 and
// /goal:1 the whole All-mode refresh with the step goal at 0 (nothing counted) and set.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "graph/PeriodAggregation.h"
#include "graph/PeriodSums.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

constexpr uint32_t kCenturyFirst = 36525, kCenturyDays = 36525;  // 2000-01-01 .. 2099-12-31

struct Setup {
    fs::path dir = fs::temp_directory_path() / ("stepora-graph-bench-" + std::to_string(getpid()));
    std::unique_ptr<LangTable> table;
    UserStore store;
    Setup() {
        fs::remove_all(dir);
        fs::create_directories(dir / "User");
        fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language",
                 fs::copy_options::recursive);
        table = std::make_unique<LangTable>(dir);
        InstallLangTable(table.get());
        store.SetDirectory(dir / "User");
        MakeUser("Full", 1, kMaxDayNumber);
        MakeUser("Century", kCenturyFirst, kCenturyDays);
        // Language files are kept parsed only once they are two seconds old, as the
        // installed ones always are; fresh copies would be parsed again for every text.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    // Days first .. first + count - 1, opening in All mode.
    void MakeUser(const std::string& name, uint32_t first, uint32_t count) {
        uint32_t y, m, d, w;
        DayCalendar().DayToDate(first + 1, y, m, d, w);
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        store.Create(name, "");
        SetLocalTodayOverride(nullptr);
        std::vector<DayRecord> days(count);
        for (uint32_t i = 0; i < count; ++i) {
            days[i].steps = (i * 7919) % 30000;
            days[i].calories = days[i].steps / 3;
            days[i].distance = days[i].steps / 13;
        }
        store.WriteDays(name, first, days);
        UserFileHeader h;
        store.ReadHeader(name, h);
        h.goalSteps = 10000;
        h.defaultPeriod = uint32_t(DisplayMode::All);
        store.WriteHeader(name, h);
    }
    ~Setup() {
        InstallLangTable(nullptr);
        fs::remove_all(dir);
    }
};

Setup& S() {
    static Setup s;
    return s;
}

void PlainRead(benchmark::State& state, uint64_t offset, size_t bytes) {
    const fs::path path = S().dir / "User" / "Full.usr";
    std::vector<uint8_t> buffer(bytes);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (::pread(fd, buffer.data(), bytes, off_t(offset)) != ssize_t(bytes))
            state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
}

void BM_RefreshAll(benchmark::State& state) {
    PeriodAggregation agg(S().store, "Full");
    agg.SetMode(DisplayMode::All);
    agg.Refresh();  // first refresh takes the mode from the header
    agg.SetMode(DisplayMode::All);
    for (auto _ : state) {
        const RefreshResult r = agg.Refresh();
        if (!r.refreshed) state.SkipWithError("refresh failed");
        benchmark::DoNotOptimize(r.summary);
    }
}
BENCHMARK(BM_RefreshAll)->Unit(benchmark::kMillisecond);

void BM_PlainReadAll(benchmark::State& state) {
    PlainRead(state, kHeaderSize, size_t(kMaxDayNumber) * kDayRecordSize);
}
BENCHMARK(BM_PlainReadAll)->Unit(benchmark::kMillisecond);

// One read of the whole file, then the same loop All mode runs over the days.
void BM_PlainReadAndSumAll(benchmark::State& state) {
    const fs::path path = S().dir / "User" / "Full.usr";
    const size_t bytes = size_t(kMaxDayNumber) * kDayRecordSize;
    std::vector<uint8_t> buffer(bytes);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (::pread(fd, buffer.data(), bytes, off_t(kHeaderSize)) != ssize_t(bytes))
            state.SkipWithError("read failed");
        ::close(fd);
        AllSums sums;
        for (uint32_t i = 0; i < kMaxDayNumber; ++i)
            sums.Add(1 + i, UnpackDayRecord(buffer.data() + size_t(i) * kDayRecordSize));
        benchmark::DoNotOptimize(sums.Best());
    }
}
BENCHMARK(BM_PlainReadAndSumAll)->Unit(benchmark::kMillisecond);

uint32_t DayOf(uint32_t y, uint32_t m, uint32_t d) {
    uint32_t n = 0, w;
    DayCalendar().DateToDay(y, m, d, n, w);
    return n;
}

void BM_RefreshYearly(benchmark::State& state) {
    PeriodAggregation agg(S().store, "Full");
    agg.Refresh();
    agg.SetMode(DisplayMode::Yearly);
    agg.Refresh();
    agg.GoToDate(2008, 6, 1);
    for (auto _ : state) {
        const RefreshResult r = agg.Refresh();
        if (!r.refreshed || r.graph.barCount != 12) state.SkipWithError("refresh failed");
        benchmark::DoNotOptimize(r.graph);
    }
}
BENCHMARK(BM_RefreshYearly)->Unit(benchmark::kMicrosecond);

void BM_PlainReadYear(benchmark::State& state) {
    PlainRead(state, kHeaderSize + uint64_t(DayOf(2008, 1, 1) - 1) * kDayRecordSize,
              366 * kDayRecordSize);
}
BENCHMARK(BM_PlainReadYear)->Unit(benchmark::kMicrosecond);

void BM_CenturyRefresh(benchmark::State& state) {
    PeriodAggregation agg(S().store, "Century");
    agg.Refresh();
    agg.SetMode(DisplayMode(state.range(0)));
    for (auto _ : state) {
        const RefreshResult r = agg.Refresh();
        if (!r.refreshed || r.period.mode != DisplayMode(state.range(0)))
            state.SkipWithError("refresh failed");
        benchmark::DoNotOptimize(r.summary);
    }
}
BENCHMARK(BM_CenturyRefresh)->DenseRange(0, 4)->ArgName("mode")->Unit(benchmark::kMicrosecond);

// The days SumAll reads for the All mode of the century user, summed with or without a
// GoalCounter for steps: what the goal figures add to an All-mode refresh.
void BM_CenturySumAll(benchmark::State& state) {
    UserFileHeader h;
    if (!S().store.ReadHeader("Century", h)) state.SkipWithError("header not read");
    const bool counted = state.range(0) != 0;
    for (auto _ : state) {
        GoalCounter goals(h, GraphKind::Steps);
        UserReader user(S().store, "Century");
        const AllSums sums = SumAll(user, h.firstDay, h.lastDay, counted ? &goals : nullptr);
        benchmark::DoNotOptimize(sums.Best());
        benchmark::DoNotOptimize(goals.Figures());
    }
    if (counted) {
        GoalCounter goals(h, GraphKind::Steps);
        UserReader user(S().store, "Century");
        SumAll(user, h.firstDay, h.lastDay, &goals);
        if (goals.Figures().goalDays == 0) state.SkipWithError("no goal day counted");
        state.counters["goalDays"] = goals.Figures().goalDays;
    }
}
BENCHMARK(BM_CenturySumAll)->DenseRange(0, 1)->ArgName("goals")->Unit(benchmark::kMicrosecond);

// The whole All-mode refresh of the century user with its step goal, and with that goal
// at 0, which counts nothing: the cost of the goal figures as a user meets it.
void BM_CenturyRefreshAllGoal(benchmark::State& state) {
    UserFileHeader h;
    if (!S().store.ReadHeader("Century", h)) state.SkipWithError("header not read");
    const uint32_t goal = h.goalSteps;
    h.goalSteps = state.range(0) ? goal : 0;
    S().store.WriteHeader("Century", h);
    PeriodAggregation agg(S().store, "Century");
    agg.Refresh();
    agg.SetMode(DisplayMode::All);
    for (auto _ : state) {
        const RefreshResult r = agg.Refresh();
        if (!r.refreshed || r.goals.shown != (state.range(0) != 0))
            state.SkipWithError("refresh failed");
        benchmark::DoNotOptimize(r.goalLine);
    }
    h.goalSteps = goal;
    S().store.WriteHeader("Century", h);
}
BENCHMARK(BM_CenturyRefreshAllGoal)
    ->DenseRange(0, 1)
    ->ArgName("goal")
    ->Unit(benchmark::kMicrosecond);

void BM_CenturyOpen(benchmark::State& state) {
    for (auto _ : state) {
        PeriodAggregation agg(S().store, "Century");
        const RefreshResult r = agg.Refresh();
        if (!r.refreshed || r.period.mode != DisplayMode::All)
            state.SkipWithError("refresh failed");
        benchmark::DoNotOptimize(r.summary);
    }
}
BENCHMARK(BM_CenturyOpen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
