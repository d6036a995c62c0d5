// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/FakeHidBackend.h"
#include "device/HidInterface.h"
#include "device/PedometerLink.h"
#include "device/TransferProtocol.h"

namespace stepora {

struct RecordingSink : NotificationSink {
    using Message = std::pair<std::string, uint64_t>;  // {"closed", registration} or {"gone", 0}
    std::vector<Message> messages;
    void OnInterfaceClosed(uint64_t registration) override { messages.emplace_back("closed", registration); }
    void OnPedometerGone() override { messages.emplace_back("gone", 0); }
};

// What the transfer dialog does with the monitor's events: removals close interfaces,
// their registrations are dropped when the sink is told, arrivals reopen.
inline void FollowDeviceEvents(PedometerDevice& device, DeviceMonitor& monitor, RecordingSink& sink) {
    for (const DeviceEvent& event : monitor.TakeEvents()) {
        if (event.kind == DeviceEvent::Removed) {
            size_t seen = sink.messages.size();
            for (HidHandle handle : monitor.HandlesOnNode(event.node)) HandleRemoval(device, handle, &sink);
            for (size_t i = seen; i < sink.messages.size(); ++i)
                if (sink.messages[i].first == "closed") monitor.Unregister(sink.messages[i].second);
        } else if (!device.IsConnected()) {
            OpenFromNode(device, event.node);
        }
    }
}

// A block of `days` days up to 2026-12-06, in day mode 1.
inline BlockContents Contents(size_t days, bool longHeader = false) {
    BlockContents c;
    c.longHeader = longHeader, c.dayMode = 1, c.year = 26, c.month = 12, c.day = 6;
    for (size_t i = 0; i < days; ++i) c.days.push_back({uint32_t(5000 + 37 * i), uint32_t(1200 + i), uint32_t(310 + 2 * i)});
    return c;
}

// A simulated pedometer holding seven days on a fake bus, handed out as a link the way the
// transfer window is handed one; `owner` counts who still holds the bus.
struct SimulatedBus {
    SimulatedPedometer pedometer{EncodeBlock(Contents(7, true))};
    FakeDeviceMonitor monitor;
    FakeHidBackend backend{pedometer, {}, &monitor};
    std::shared_ptr<int> owner = std::make_shared<int>();
    PedometerLink link{[this] { return std::shared_ptr<HidBackend>(owner, &backend); },
                       [this] { return std::shared_ptr<DeviceMonitor>(owner, &monitor); }};
};

// The pedometer on a fake bus and the host side, polled the way the transfer dialog polls.
struct Rig {
    explicit Rig(std::vector<uint8_t> block = {}, FakePedometerLayout layout = {})
        : pedometer(std::move(block)), backend(pedometer, layout, &monitor), device(backend, &monitor) {
        EXPECT_TRUE(FindPedometer(device));
    }

    // Polls until a block is complete or the rounds run out; follows the pedometer being
    // unplugged (the receiver starts over) and plugs it in again.
    std::optional<DeviceData> Run(size_t rounds) {
        for (size_t i = 0; i < rounds; ++i) {
            FollowDeviceEvents(device, monitor, sink);
            if (!backend.IsPlugged()) {
                receiver.Reset();
                backend.Replug();
                continue;
            }
            if (device.IsConnected() && receiver.PollOnce(device) == BlockReceiver::Outcome::BlockComplete)
                return receiver.Data();
            EXPECT_LE(receiver.BufferedBytes(), kReceiveBufferSize);
        }
        return std::nullopt;
    }
    long Sent(uint8_t command) const { return std::count(pedometer.Commands().begin(), pedometer.Commands().end(), command); }

    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend;
    PedometerDevice device;
    RecordingSink sink;
    BlockReceiver receiver;
};

// A block came over whole: the profile, the date and every day of what the pedometer held.
inline void ExpectBlock(const std::optional<DeviceData>& got, const BlockContents& want) {
    ASSERT_TRUE(got.has_value());
    std::vector<uint32_t> steps, calories, distance;
    for (const auto& d : want.days) steps.push_back(d.steps), calories.push_back(d.calories), distance.push_back(d.distance);
    EXPECT_EQ(std::tie(got->weight, got->stride, got->year, got->month, got->day, got->steps, got->calories, got->distance),
              std::tie(want.weight, want.stride, *want.year, *want.month, *want.day, steps, calories, distance));
}

}  // namespace stepora
