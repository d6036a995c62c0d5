// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceMonitor.h"

namespace stepora {

uint64_t DeviceMonitor::Register(HidHandle queryHandle, const std::string& node) {
    uint64_t id = next_++;
    registrations_[id] = {queryHandle, node};
    return id;
}

void DeviceMonitor::Unregister(uint64_t registration) {
    registrations_.erase(registration);
}

std::vector<HidHandle> DeviceMonitor::HandlesOnNode(const std::string& node) const {
    std::vector<HidHandle> handles;
    for (const auto& [id, r] : registrations_)
        if (r.node == node) handles.push_back(r.handle);
    return handles;
}

std::vector<DeviceEvent> FakeDeviceMonitor::TakeEvents() {
    std::vector<DeviceEvent> taken(events_.begin(), events_.end());
    events_.clear();
    return taken;
}

}  // namespace stepora
