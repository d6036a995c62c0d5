// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace stepora {

struct DeviceEvent {
    enum Kind { Arrived, Removed } kind = Arrived;
    std::string node;  // device node, e.g. "/dev/hidraw3"
};

// Tells about HID device nodes coming and going. Open interfaces register their query
// handle here to be told of their removal (the handle a removal event names).
class DeviceMonitor {
public:
    virtual ~DeviceMonitor() = default;

    // Events that arrived since the last call, oldest first; never blocks.
    virtual std::vector<DeviceEvent> TakeEvents() = 0;
    // A descriptor that becomes readable when events wait (-1 when there is none).
    virtual int EventFd() const { return -1; }

    uint64_t Register(HidHandle queryHandle, const std::string& node);  // never 0
    void Unregister(uint64_t registration);
    size_t RegistrationCount() const { return registrations_.size(); }
    // The query handles registered for a node, in registration order.
    std::vector<HidHandle> HandlesOnNode(const std::string& node) const;

private:
    struct Registration {
        HidHandle handle;
        std::string node;
    };
    std::map<uint64_t, Registration> registrations_;
    uint64_t next_ = 1;
};

// Events pushed by hand: for tests and the simulated pedometer.
class FakeDeviceMonitor final : public DeviceMonitor {
public:
    void Push(DeviceEvent event) { events_.push_back(std::move(event)); }
    std::vector<DeviceEvent> TakeEvents() override;

private:
    std::deque<DeviceEvent> events_;
};

}  // namespace stepora
