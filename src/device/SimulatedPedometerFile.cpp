// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SimulatedPedometerFile.h"

#include <algorithm>

#include "csv/CsvFile.h"
#include "csv/CsvImport.h"
#include "device/FakeHidBackend.h"
#include "device/TransferProtocol.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

struct SimulatedBus {
    explicit SimulatedBus(const std::vector<uint8_t>& block) : pedometer(block), bus(pedometer) {}
    SimulatedPedometer pedometer;
    FakeHidBackend bus;
};

}  // namespace

int ReadSimulatedPedometerFile(const std::filesystem::path& path, BlockContents& contents,
                               std::string& error) {
    CsvFileHeader header;
    std::vector<DayRecord> days;
    CsvReadFailure failure;
    if (!ReadCsvDays(path, header, days, &failure)) {
        if (failure.kind == CsvReadFailure::CannotOpen)
            error = "the file cannot be opened";
        else if (failure.line <= kCsvHeaderLines)
            error = "it does not begin with the header of a Stepora CSV export";
        else
            error =
                "line " + std::to_string(failure.line) + " is not a day of a Stepora CSV export";
        return 0;
    }
    // A pedometer always carries a profile; a block without one would be refused forever.
    if (header.weight == 0 || header.stride == 0) {
        error = "it holds no weight or no stride, which a pedometer always has";
        return 0;
    }
    uint32_t year = 0, month = 0, day = 0, weekday = 0;
    DayCalendar().DayToDate(header.lastDay, year, month, day, weekday);
    BlockContents c;
    c.longHeader = true;
    c.dayMode = 1;  // the last record is the day of the block's date
    c.deviceType = !IsImperial(header.unit) ? kMetricDevice : kImperialDevice;
    c.weight = header.weight;
    c.stride = header.stride;
    c.year = year % 100;
    c.month = month;
    c.day = day;
    size_t kept = std::min(days.size(), kMaxRecords);
    for (auto r = days.end() - kept; r != days.end(); ++r)
        c.days.push_back({r->steps, r->calories, r->distance});
    contents = std::move(c);
    return 1;
}

PedometerLink SimulatedPedometerLink(std::vector<uint8_t> block) {
    return {[block] {
                auto owner = std::make_shared<SimulatedBus>(block);
                return std::shared_ptr<HidBackend>(owner, &owner->bus);
            },
            [] { return std::make_shared<FakeDeviceMonitor>(); }};
}

}  // namespace stepora
