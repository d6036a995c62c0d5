// SPDX-License-Identifier: GPL-3.0-or-later
// The store against the raw cost of the same bytes. Each pair is read as a ratio:
// BM_ReadDaysChunks / BM_PlainReadWhole, BM_EnumUsers / BM_PlainReadHeaders,
// BM_AppendDayProtected / BM_PlainAppend.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "store/StoreChange.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

struct BenchStore {
    fs::path dir;
    UserStore store;
    BenchStore(const std::string& tag) {
        dir = fs::temp_directory_path() / ("stepora-bench-" + tag + "-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        store.SetDirectory(dir);
    }
    ~BenchStore() { fs::remove_all(dir); }
};

std::vector<uint8_t> Days(uint32_t first, uint32_t count) {
    std::vector<uint8_t> bytes(size_t(count) * kDayRecordSize);
    for (uint32_t i = 0; i < count; ++i) {
        DayRecord r;
        r.steps = (first + i) % 20000;
        r.calories = r.steps / 3;
        r.distance = r.steps / 13;
        PackDayRecord(r, bytes.data() + size_t(i) * kDayRecordSize);
    }
    return bytes;
}

// A user holding every day of the calendar.
BenchStore& FullUser() {
    static BenchStore s("full");
    static bool made = [] {
        SetLocalTodayOverride([] { return LocalDate{1900, 1, 2}; });
        s.store.Create("Full", "");
        SetLocalTodayOverride(nullptr);
        const auto days = Days(1, kMaxDayNumber);
        return s.store.WriteDays("Full", 1, kMaxDayNumber, days.data()) != 0;
    }();
    (void)made;
    return s;
}

void BM_ReadDaysChunks(benchmark::State& state) {
    BenchStore& s = FullUser();
    std::vector<uint8_t> chunk(30 * kDayRecordSize);
    for (auto _ : state) {
        for (uint32_t d = 1; d <= kMaxDayNumber; d += 30) {
            const uint32_t n = std::min<uint32_t>(30, kMaxDayNumber - d + 1);
            if (!s.store.ReadDays("Full", d, n, chunk.data())) state.SkipWithError("read failed");
            benchmark::DoNotOptimize(chunk.data());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * (kHeaderSize + kMaxDayNumber * kDayRecordSize));
}
BENCHMARK(BM_ReadDaysChunks)->Unit(benchmark::kMillisecond);

void BM_PlainReadWhole(benchmark::State& state) {
    BenchStore& s = FullUser();
    const fs::path path = s.dir / "Full.usr";
    std::vector<uint8_t> all(fs::file_size(path));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        size_t got = 0;
        while (got < all.size()) {
            const ssize_t n = ::read(fd, all.data() + got, all.size() - got);
            if (n <= 0) break;
            got += size_t(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(all.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(all.size()));
}
BENCHMARK(BM_PlainReadWhole)->Unit(benchmark::kMillisecond);

// The same 30-day pieces read plainly: open, read the header, read the piece, close.
void BM_PlainReadChunks(benchmark::State& state) {
    BenchStore& s = FullUser();
    const fs::path path = s.dir / "Full.usr";
    uint8_t header[kHeaderSize];
    std::vector<uint8_t> chunk(30 * kDayRecordSize);
    for (auto _ : state) {
        for (uint32_t d = 1; d <= kMaxDayNumber; d += 30) {
            const uint32_t n = std::min<uint32_t>(30, kMaxDayNumber - d + 1);
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (::pread(fd, header, kHeaderSize, 0) != kHeaderSize ||
                ::pread(fd, chunk.data(), n * kDayRecordSize, off_t(kHeaderSize + (d - 1) * kDayRecordSize)) !=
                    ssize_t(n * kDayRecordSize))
                state.SkipWithError("read failed");
            ::close(fd);
            benchmark::DoNotOptimize(chunk.data());
        }
    }
}
BENCHMARK(BM_PlainReadChunks)->Unit(benchmark::kMillisecond);

BenchStore& ThousandUsers() {
    static BenchStore s("users");
    static bool made = [] {
        for (int i = 0; i < 1000; ++i) s.store.Create("User " + std::to_string(i), "");
        return true;
    }();
    (void)made;
    return s;
}

void BM_EnumUsers(benchmark::State& state) {
    BenchStore& s = ThousandUsers();
    for (auto _ : state) {
        uint32_t seen = 0;
        s.store.EnumUsers([&](const std::string&, const UserFileHeader&) { ++seen; });
        if (seen != 1000) state.SkipWithError("users missing");
    }
}
BENCHMARK(BM_EnumUsers)->Unit(benchmark::kMillisecond);

void BM_PlainReadHeaders(benchmark::State& state) {
    BenchStore& s = ThousandUsers();
    std::vector<fs::path> paths;
    for (int i = 0; i < 1000; ++i) paths.push_back(s.dir / ("User " + std::to_string(i) + ".usr"));
    uint8_t header[kHeaderSize];
    for (auto _ : state) {
        for (const fs::path& p : paths) {
            const int fd = ::open(p.c_str(), O_RDONLY);
            if (::read(fd, header, kHeaderSize) != kHeaderSize) state.SkipWithError("read failed");
            ::close(fd);
            benchmark::DoNotOptimize(header);
        }
    }
}
BENCHMARK(BM_PlainReadHeaders)->Unit(benchmark::kMillisecond);

void BM_AppendDayProtected(benchmark::State& state) {
    BenchStore s("append");
    s.store.Create("Walker", "");
    UserFileHeader h;
    s.store.ReadHeader("Walker", h);
    uint32_t day = h.lastDay + 1;
    for (auto _ : state) {
        const auto record = Days(day, 1);
        StoreChange change(s.store, "Walker");
        if (!change) state.SkipWithError("backup failed");
        if (s.store.WriteDays("Walker", day++, 1, record.data())) change.Commit();
    }
}
BENCHMARK(BM_AppendDayProtected)->Unit(benchmark::kMicrosecond);

void BM_PlainAppend(benchmark::State& state) {
    BenchStore s("plain");
    const fs::path path = s.dir / "plain.bin";
    const auto record = Days(1, 1);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (::write(fd, record.data(), kDayRecordSize) != kDayRecordSize) state.SkipWithError("write failed");
        ::close(fd);
    }
}
BENCHMARK(BM_PlainAppend)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
