// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/DeviceMonitor.h"

struct udev;
struct udev_monitor;

namespace stepora {

// The hidraw subsystem as the system's device manager reports it.
class UdevDeviceMonitor final : public DeviceMonitor {
public:
    UdevDeviceMonitor();
    ~UdevDeviceMonitor() override;
    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    bool IsWorking() const { return monitor_ != nullptr; }
    std::vector<DeviceEvent> TakeEvents() override;
    int EventFd() const override;

private:
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
};

}  // namespace stepora
