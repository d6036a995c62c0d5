#pragma once
#include <tuple>
#include <vector>

#include "device/HidInterface.h"

namespace stepora {

struct RecordingSink : NotificationSink {
    using Message = std::tuple<uint32_t, uint64_t, uint64_t>;
    std::vector<Message> messages;
    void PostMessage(uint32_t message, uint64_t wParam, uint64_t lParam) override {
        messages.emplace_back(message, wParam, lParam);
    }
};

// What the transfer dialog does with the monitor's events: removals close interfaces,
// their registrations are dropped when the sink is told, arrivals reopen.
inline void FollowDeviceEvents(PedometerDevice& device, DeviceMonitor& monitor, RecordingSink& sink) {
    for (const DeviceEvent& event : monitor.TakeEvents()) {
        if (event.kind == DeviceEvent::Removed) {
            size_t seen = sink.messages.size();
            for (HidHandle handle : monitor.HandlesOnNode(event.node)) HandleRemoval(device, handle, &sink);
            for (size_t i = seen; i < sink.messages.size(); ++i)
                if (std::get<0>(sink.messages[i]) == kMsgInterfaceClosed) monitor.Unregister(std::get<2>(sink.messages[i]));
        } else if (!device.IsConnected()) {
            OpenFromNode(device, event.node, &sink);
        }
    }
}

}  // namespace stepora
