// Refreshes against a plain read of the bytes they cover: BM_RefreshAll / BM_PlainReadAll
// (every day of the calendar), BM_RefreshYearly / BM_PlainReadYear (the 366 days of 2008).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "graph/PeriodAggregation.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

struct Setup {
    fs::path dir = fs::temp_directory_path() / ("stepora-graph-bench-" + std::to_string(getpid()));
    std::unique_ptr<LangTable> table;
    UserStore store;
    Setup() {
        fs::remove_all(dir);
        fs::create_directories(dir / "User");
        fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language", fs::copy_options::recursive);
        table = std::make_unique<LangTable>(dir);
        InstallLangTable(table.get());
        store.SetDirectory(dir / "User");
        SetLocalTodayOverride([] { return LocalDate{1900, 1, 2}; });
        store.Create("Full", "");
        SetLocalTodayOverride(nullptr);
        std::vector<uint8_t> bytes(size_t(kMaxDayNumber) * kDayRecordSize);
        for (uint32_t i = 0; i < kMaxDayNumber; ++i) {
            DayRecord r;
            r.steps = (i * 7919) % 30000;
            r.calories = r.steps / 3;
            r.distance = r.steps / 13;
            PackDayRecord(r, bytes.data() + size_t(i) * kDayRecordSize);
        }
        store.WriteDays("Full", 1, kMaxDayNumber, bytes.data());
        UserFileHeader h;
        store.ReadHeader("Full", h);
        h.goalSteps = 10000;
        store.WriteHeader("Full", h);
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
        if (::pread(fd, buffer.data(), bytes, off_t(offset)) != ssize_t(bytes)) state.SkipWithError("read failed");
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

void BM_PlainReadAll(benchmark::State& state) { PlainRead(state, kHeaderSize, size_t(kMaxDayNumber) * kDayRecordSize); }
BENCHMARK(BM_PlainReadAll)->Unit(benchmark::kMillisecond);

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
    PlainRead(state, kHeaderSize + uint64_t(DayOf(2008, 1, 1) - 1) * kDayRecordSize, 366 * kDayRecordSize);
}
BENCHMARK(BM_PlainReadYear)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
