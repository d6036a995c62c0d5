// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer dialog receiving a full block of 64 days offscreen from a simulated
// pedometer that takes 1 ms over every report, against the floor its timers and the
// reports set: 20 ms before the first poll round, 5 ms before each round, 1 ms a report.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <memory>
#include <thread>

#include "app/LangTable.h"
#include "device/FakeHidBackend.h"
#include "device/UsbTransDlg.h"

using namespace stepora;

namespace {

constexpr auto kReportTime = std::chrono::milliseconds(1);

// The simulated pedometer's bus, slowed to a report a millisecond.
class SlowBackend final : public HidBackend {
public:
    explicit SlowBackend(HidBackend& to) : to_(to) {}
    std::vector<HidCollectionInfo> Enumerate() override { return to_.Enumerate(); }
    HidHandle Open(const std::string& path, HidOpenStatus* status) override {
        return to_.Open(path, status);
    }
    bool GetAttributes(HidHandle h, HidAttributes& a) override { return to_.GetAttributes(h, a); }
    bool GetCaps(HidHandle h, HidCaps& caps) override { return to_.GetCaps(h, caps); }
    HidIo WriteReport(HidHandle h, const uint8_t* report, size_t length, int timeoutMs) override {
        Answer();
        return to_.WriteReport(h, report, length, timeoutMs);
    }
    HidIo ReadReport(HidHandle h, uint8_t* report, size_t length, int timeoutMs) override {
        Answer();
        return to_.ReadReport(h, report, length, timeoutMs);
    }
    void Close(HidHandle h) override { to_.Close(h); }
    std::string NodeOfPath(const std::string& path) const override { return to_.NodeOfPath(path); }

    // How long the reports really took: a sleep of 1 ms takes a little longer.
    double SleptMs() const { return slept_.count(); }

private:
    void Answer() {
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kReportTime);
        slept_ += std::chrono::steady_clock::now() - start;
    }

    HidBackend& to_;
    std::chrono::duration<double, std::milli> slept_{0};
};

std::vector<uint8_t> FullBlock() {
    BlockContents c;
    c.longHeader = true;
    c.dayMode = 1;
    c.weight = 72;
    c.stride = 74;
    c.year = 26;
    c.month = 3;
    c.day = 10;
    for (uint32_t i = 0; i < kMaxRecords; ++i) c.days.push_back({6000 + i, 2400 + i, 440 + i});
    return EncodeBlock(c);
}

struct Bus {
    Bus() : pedometer(FullBlock()), fake(pedometer, {}, &monitor), slow(fake) {}
    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend fake;
    SlowBackend slow;
};

void BM_TransferFullBlock(benchmark::State& state) {
    LangTable table{std::filesystem::path(STEPORA_DATA_DIR)};
    InstallLangTable(&table);
    std::shared_ptr<Bus> bus;
    SetPedometerLink({[&] { return std::shared_ptr<HidBackend>(bus, &bus->slow); },
                      [&] { return std::shared_ptr<DeviceMonitor>(bus, &bus->monitor); }});
    CUsbTransDlg dialog;
    // The success message is answered as soon as it is up.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (QMessageBox* box = dialog.ActiveBox()) box->button(QMessageBox::Ok)->click();
    });
    answer.start(1);
    double rounds = 0, reports = 0, seconds = 0, slept = 0;
    for (auto _ : state) {
        bus = std::make_shared<Bus>();
        auto start = std::chrono::steady_clock::now();
        const int result = dialog.Run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        if (result != QDialog::Accepted || dialog.Data().recordCount != kMaxRecords)
            state.SkipWithError("the block did not arrive");
        rounds += bus->pedometer.StatusPolls();
        reports += bus->fake.ReportCount();
        slept += bus->slow.SleptMs();
        seconds += took.count();
    }
    const double n = double(state.iterations());
    const double floorMs =
        CUsbTransDlg::kStartDelayMs + rounds / n * CUsbTransDlg::kPollDelayMs +
        reports / n * std::chrono::duration<double, std::milli>(kReportTime).count();
    state.counters["rounds"] = rounds / n;
    state.counters["reports"] = reports / n;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = seconds / n * 1000 / floorMs;
    state.counters["reports_ms"] = slept / n;
    SetPedometerLink({});
    InstallLangTable(nullptr);
}
BENCHMARK(BM_TransferFullBlock)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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
