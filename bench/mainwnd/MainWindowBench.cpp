// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with 1000 users: constructed, initialised (which loads and sorts the
// list) and shown offscreen (BM_ShowMainWindow), against EnumUsers alone over the same
// directory (BM_EnumUsers), the least any listing of the users must cost.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <clocale>
#include <filesystem>
#include <memory>

#include "app/AppGlobals.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

struct Setup {
    fs::path dir = fs::temp_directory_path() / ("stepora-mainwnd-bench-" + std::to_string(getpid()));
    std::unique_ptr<AppGlobals> globals;
    Setup() {
        fs::remove_all(dir);
        fs::create_directories(dir / "User");
        fs::copy(fs::path(STEPORA_DATA_DIR), dir, fs::copy_options::recursive);
        UserStore store;
        store.SetDirectory(dir / "User");
        for (int i = 0; i < 1000; ++i) {
            const std::string name = "User " + std::to_string(i);
            store.Create(name, "");
            UserFileHeader header;
            store.ReadHeader(name, header);
            header.unitSystem = i % 2;
            header.weight = 40 + i % 90;
            header.stride = i % 2 ? 2000 + i : 50 + i % 40;
            store.WriteHeader(name, header);
        }
        const fs::path previous = fs::current_path();
        fs::current_path(dir);
        globals = std::make_unique<AppGlobals>();
        fs::current_path(previous);
    }
    ~Setup() {
        globals.reset();
        fs::remove_all(dir);
    }
};

Setup& S() {
    static Setup s;
    return s;
}

void BM_ShowMainWindow(benchmark::State& state) {
    S();
    for (auto _ : state) {
        CMainMenuDlg dialog;
        if (!dialog.OnInitDialog()) state.SkipWithError("the window did not start");
        dialog.show();
        QCoreApplication::processEvents();
        if (dialog.UserList()->rowCount() != 1000) state.SkipWithError("not every user listed");
    }
}
BENCHMARK(BM_ShowMainWindow)->Unit(benchmark::kMillisecond);

void BM_EnumUsers(benchmark::State& state) {
    UserStore store;
    store.SetDirectory(S().dir / "User");
    for (auto _ : state) {
        int count = 0;
        store.EnumUsers([&](const std::string&, const UserFileHeader&) { ++count; });
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_EnumUsers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
