#pragma once
#include <string>
#include <utility>
#include <vector>

#include "device/HidInterface.h"

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

}  // namespace stepora
