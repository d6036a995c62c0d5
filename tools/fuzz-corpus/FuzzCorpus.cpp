// SPDX-License-Identifier: GPL-3.0-or-later
// stepora-fuzz-corpus <source tree>: writes the seed inputs of the fuzz targets into
// fuzz/<folder>/corpus/<target>/, made by the program's own writers (the store, the CSV
// export, the simulated pedometer), so the seeds stay in step with the formats.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvExport.h"
#include "device/FakeHidBackend.h"
#include "device/SimulatedPedometer.h"
#include "device/TransferProtocol.h"
#include "store/UserStore.h"

using namespace stepora;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "stepora-fuzz-corpus: %s\n", what.c_str());
    std::exit(1);
}

void Put(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) Fail("cannot write " + path.string());
}

Bytes Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct SeedUser {
    std::string name;
    uint32_t unitSystem, weight, stride;  // stride: cm, or hundredths of an inch
};

// A user with `days` recorded days up to the day before today, and the CSV export of them.
void MakeUser(UserStore& store, const SeedUser& u, uint32_t days, const fs::path& csv) {
    UserFileHeader h;
    if (!store.Create(u.name, "pw") || !store.ReadHeader(u.name, h))
        Fail("cannot create " + u.name);
    const uint32_t last = h.lastDay, first = last - days + 1;
    Bytes records(size_t(days) * kDayRecordSize);
    for (uint32_t i = 0; i < days; ++i) {
        DayRecord r;
        r.unitSystem = uint8_t(u.unitSystem);
        r.weight = uint16_t(u.weight);
        r.stride = uint16_t(u.stride);
        r.steps = i % 9 == 4 ? 0 : 4000 + (i * 2731) % 9000;          // now and then a day at home
        r.calories = r.steps * u.weight / 200;                        // tenths of a kcal
        r.distance = u.unitSystem == 0 ? r.steps * u.stride / 1000    // hundredths of a km
                                       : r.steps * u.stride / 63360;  // hundredths of a mile
        PackDayRecord(r, records.data() + size_t(i) * kDayRecordSize);
    }
    if (!store.WriteDays(u.name, first, days, records.data()) || !store.ReadHeader(u.name, h))
        Fail("cannot write the days of " + u.name);
    h.unitSystem = u.unitSystem;
    h.weight = u.weight;
    h.stride = u.stride;
    h.goalSteps = 10000;
    if (!store.WriteHeader(u.name, h)) Fail("cannot write the profile of " + u.name);
    if (!ExportCsv(store, CsvUser{u.name, u.unitSystem, u.weight, u.stride}, csv, first, last))
        Fail("cannot export " + u.name);
}

// Passes every report through and writes down what a scripted device must answer to
// repeat the exchange: an outcome byte per report, and the bytes of each report read.
class RecordingBackend final : public HidBackend {
public:
    RecordingBackend(HidBackend& inner, Bytes& script) : inner_(inner), script_(script) {}
    std::vector<HidCollectionInfo> Enumerate() override { return inner_.Enumerate(); }
    HidHandle Open(const std::string& path, HidOpenStatus* status) override {
        return inner_.Open(path, status);
    }
    bool GetAttributes(HidHandle h, HidAttributes& a) override {
        return inner_.GetAttributes(h, a);
    }
    bool GetCaps(HidHandle h, HidCaps& caps) override { return inner_.GetCaps(h, caps); }
    HidIo WriteReport(HidHandle h, const uint8_t* report, size_t length, int timeoutMs) override {
        const HidIo io = inner_.WriteReport(h, report, length, timeoutMs);
        script_.push_back(OutcomeByte(io));
        return io;
    }
    HidIo ReadReport(HidHandle h, uint8_t* report, size_t length, int timeoutMs) override {
        const HidIo io = inner_.ReadReport(h, report, length, timeoutMs);
        script_.push_back(OutcomeByte(io));
        if (io == HidIo::Done) script_.insert(script_.end(), report, report + length);
        return io;
    }
    void Close(HidHandle h) override { inner_.Close(h); }

private:
    // The fuzz target reads below 8 as failed, below 16 as timed out, the rest as done.
    static uint8_t OutcomeByte(HidIo io) {
        return io == HidIo::Failed ? 0 : io == HidIo::TimedOut ? 8 : 0xFF;
    }
    HidBackend& inner_;
    Bytes& script_;
};

// One transfer of `block` from the simulated pedometer as the fuzz target replays it: two
// bytes choosing the input and output report lengths, then the recorded exchange.
Bytes RecordTransfer(const Bytes& block, bool losePiece) {
    SimulatedPedometer pedometer(block);
    if (losePiece) pedometer.LosePiece(2);
    const FakePedometerLayout layout;
    FakeHidBackend fake(pedometer, layout);
    Bytes script = {uint8_t(layout.dataInputLength - 2), uint8_t(layout.dataOutputLength - 2)};
    RecordingBackend recorder(fake, script);
    PedometerDevice device(recorder);
    if (!FindPedometer(device)) Fail("the simulated pedometer was not found");
    BlockReceiver receiver;
    for (int round = 0; round < 1000; ++round)
        if (receiver.PollOnce(device) == BlockReceiver::Outcome::BlockComplete) return script;
    Fail("no block from the simulated pedometer");
}

// A report descriptor of one application collection with unnumbered reports of the
// given lengths (report-id byte included, as the caps count them).
Bytes CollectionDescriptor(uint16_t usagePage, uint16_t usage, uint16_t inLength,
                           uint16_t outLength) {
    return {0x05, uint8_t(usagePage),
            0x09, uint8_t(usage),
            0xA1, 0x01,  // application collection
            0x15, 0x00,
            0x26, 0xFF,
            0x00, 0x75,
            0x08,  // bytes 0 .. 255
            0x95, uint8_t(inLength - 1),
            0x09, 0x00,
            0x81, 0x02,  // input
            0x95, uint8_t(outLength - 1),
            0x09, 0x00,
            0x91, 0x02,  // output
            0xC0};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stepora-fuzz-corpus <source tree>\n");
        return 2;
    }
    const fs::path fuzz = fs::path(argv[1]) / "fuzz";
    if (!fs::is_directory(fuzz)) Fail("no fuzz folder in " + std::string(argv[1]));
    auto corpus = [&](const char* folder, const char* target) {
        return fuzz / folder / "corpus" / target;
    };

    // The store and the CSV files: the day the CSV import target runs on is 2009-05-02.
    const fs::path scratch =
        fs::temp_directory_path() / ("stepora-fuzz-corpus-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "User");
    fs::copy(fs::path(argv[1]) / "data" / "Language", scratch / "Language",
             fs::copy_options::recursive);
    LangTable table(scratch);
    InstallLangTable(&table);
    SetLocalTodayOverride([] { return LocalDate{2009, 5, 2}; });
    UserStore store;
    store.SetDirectory(scratch / "User");
    MakeUser(store, {"Anna", 0, 70, 75}, 40, scratch / "anna-metric.csv");
    MakeUser(store, {"Ben \"B\", Jr.", 1, 176, 250}, 12, scratch / "ben-imperial.csv");
    if (!store.ExportFile("Anna", scratch / "Anna-export.usr")) Fail("cannot export the user Anna");
    for (const char* target : {"fuzz_csv_import", "fuzz_csv_lines"})
        for (const char* file : {"anna-metric.csv", "ben-imperial.csv"})
            Put(corpus("csv", target) / file, Slurp(scratch / file));
    Put(corpus("store", "fuzz_user_file") / "user.usr", Slurp(scratch / "User" / "Anna.usr"));
    Put(corpus("store", "fuzz_user_file") / "exported.usr", Slurp(scratch / "Anna-export.usr"));
    InstallLangTable(nullptr);
    fs::remove_all(scratch);

    // Pedometer blocks: a dated metric one, and an undated imperial one with a long header.
    SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
    BlockContents metric;
    metric.weight = 72;
    metric.stride = 74;
    metric.year = 26, metric.month = 12, metric.day = 6;
    for (uint32_t i = 0; i < 7; ++i)
        metric.days.push_back({5000 + i * 811, 2100 + i * 97, 380 + i * 61});
    BlockContents imperial;
    imperial.longHeader = true;
    imperial.deviceType = kImperialDevice;
    imperial.dayMode = 1;
    imperial.weight = 176;
    imperial.stride = 250;
    imperial.days = {{12345, 4321, 512}, {0, 0, 0}, {999999, 999999, 999999}};
    const Bytes metricBlock = EncodeBlock(metric), imperialBlock = EncodeBlock(imperial);
    DeviceData check;
    if (!DecodeBlock(metricBlock.data(), metricBlock.size(), check) ||
        !DecodeBlock(imperialBlock.data(), imperialBlock.size(), check))
        Fail("a seed block does not decode");
    Put(corpus("device", "fuzz_decode_block") / "metric-dated.bin", metricBlock);
    Put(corpus("device", "fuzz_decode_block") / "imperial-long-header.bin", imperialBlock);
    Put(corpus("device", "fuzz_block_receiver") / "transfer.bin",
        RecordTransfer(metricBlock, false));
    Put(corpus("device", "fuzz_block_receiver") / "transfer-lost-piece.bin",
        RecordTransfer(imperialBlock, true));

    const FakePedometerLayout layout;
    const Bytes data = CollectionDescriptor(kDataUsagePage, kDataUsage, layout.dataInputLength,
                                            layout.dataOutputLength);
    Bytes both = CollectionDescriptor(kCommandUsagePage, kCommandUsage, layout.commandInputLength,
                                      layout.commandOutputLength);
    Put(corpus("device", "fuzz_report_descriptor") / "command-collection.bin", both);
    Put(corpus("device", "fuzz_report_descriptor") / "data-collection.bin", data);
    both.insert(both.end(), data.begin(), data.end());
    Put(corpus("device", "fuzz_report_descriptor") / "both-collections.bin", both);
    return 0;
}
