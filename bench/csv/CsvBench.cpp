// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import of 100 years of days (36,525 lines) against one plain write of the
// same number of bytes: BM_Export, BM_Import, BM_PlainWrite, and BM_PlainWriteSynced, the
// same write made to survive a power cut the way the export is (a file synced, renamed
// into place, its folder synced).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

constexpr uint32_t kFirst = 36525, kDays = 36525;  // 2000-01-01 … 2099-12-31

struct Setup {
    fs::path dir = fs::temp_directory_path() / ("stepora-csv-bench-" + std::to_string(getpid()));
    std::unique_ptr<LangTable> table;
    UserStore store;
    UserFileHeader header;
    Setup() {
        fs::remove_all(dir);
        fs::create_directories(dir / "User");
        fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language",
                 fs::copy_options::recursive);
        table = std::make_unique<LangTable>(dir);
        InstallLangTable(table.get());
        store.SetDirectory(dir / "User");
        SetLocalTodayOverride([] { return LocalDate{2000, 1, 2}; });
        store.Create("Anna", "");
        SetLocalTodayOverride(nullptr);
        std::vector<DayRecord> days;
        for (uint32_t i = 0; i < kDays; ++i) {
            uint32_t steps = 3000 + (i * 7919) % 15000;
            days.push_back({0, 70, 75, 0, steps, steps / 3, steps * 75 / 1000});
        }
        store.WriteDays("Anna", kFirst, days);
        store.ReadHeader("Anna", header);
        header.weight = 70;
        header.stride = 75;
        store.WriteHeader("Anna", header);
        ExportCsv(store, {"Anna", 0, 70, 75}, dir / "all.csv", kFirst, kFirst + kDays - 1);
        // Language files are kept parsed only once they are two seconds old, as the
        // installed ones always are; fresh copies would be parsed again for every text.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    ~Setup() { fs::remove_all(dir); }
};

Setup& S() {
    static Setup setup;
    return setup;
}

void BM_Export(benchmark::State& state) {
    for (auto _ : state)
        if (!ExportCsv(S().store, {"Anna", 0, 70, 75}, S().dir / "out.csv", kFirst,
                       kFirst + kDays - 1))
            state.SkipWithError("export failed");
}

void BM_Import(benchmark::State& state) {
    CsvImportCallbacks callbacks;
    for (auto _ : state)
        if (!ImportCsv(S().store, S().dir / "all.csv", "Anna", S().header, callbacks).ok)
            state.SkipWithError("import failed");
}

void BM_PlainWrite(benchmark::State& state) {
    const std::string bytes(fs::file_size(S().dir / "all.csv"), 'x');
    for (auto _ : state) {
        std::FILE* f = std::fopen((S().dir / "plain.csv").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    state.counters["bytes"] = double(bytes.size());
}

// The same bytes made to last as every file the program replaces is: written beside the
// file, synced, renamed over it and the folder synced.
void BM_PlainWriteSynced(benchmark::State& state) {
    const std::string bytes(fs::file_size(S().dir / "all.csv"), 'x');
    const fs::path temp = S().dir / "plain.csv.tmp", target = S().dir / "plain.csv";
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool written = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()) &&
                             ::fsync(fd) == 0 && ::close(fd) == 0 &&
                             ::rename(temp.c_str(), target.c_str()) == 0;
        const int folder = ::open(S().dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (!written || ::fsync(folder) != 0) state.SkipWithError("write failed");
        ::close(folder);
    }
}

}  // namespace

BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
