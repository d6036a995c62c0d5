// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as an assembled block: a block that passes must keep every rule, and
// its days must line up.
#include <cstdlib>

#include "app/Clock.h"
#include "device/TransferProtocol.h"
#include "store/DayCalendar.h"

using namespace stepora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
        return true;
    }();
    (void)once;
    DeviceData d;
    if (!DecodeBlock(data, size, d)) return 0;
    bool imperial = d.deviceType == kImperialDevice;
    if (d.deviceType != kMetricDevice && !imperial) abort();
    if (d.recordCount > kMaxRecords || d.steps.size() != d.recordCount || d.calories.size() != d.recordCount ||
        d.distance.size() != d.recordCount)
        abort();
    if (d.weight < (imperial ? 40u : 10u) || d.weight > (imperial ? 350u : 150u)) abort();
    if (d.stride < (imperial ? 100u : 10u) || d.stride > (imperial ? 400u : 150u)) abort();
    for (const auto* values : {&d.steps, &d.calories, &d.distance})
        for (uint32_t v : *values)
            if (v > 999999) abort();
    uint32_t day = 0, weekday = 0;
    if (d.year > 99 || !DayCalendar().DateToDay(2000 + d.year, d.month, d.day, day, weekday)) abort();
    DownloadBuffer out = AssignDays(d);
    if (out.count != d.recordCount || out.records.size() != out.count) abort();
    if (out.count && (out.lastDay - out.firstDay + 1 != out.count || out.lastDay > day)) abort();
    return 0;
}
