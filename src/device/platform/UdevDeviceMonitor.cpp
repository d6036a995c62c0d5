// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/platform/UdevDeviceMonitor.h"

#include <libudev.h>

#include <cstring>

namespace stepora {

UdevDeviceMonitor::UdevDeviceMonitor() {
    udev_ = udev_new();
    if (!udev_) return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor_) >= 0)
        return;
    if (monitor_) udev_monitor_unref(monitor_);
    monitor_ = nullptr;
}

UdevDeviceMonitor::~UdevDeviceMonitor() {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

int UdevDeviceMonitor::EventFd() const {
    return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
}

std::vector<DeviceEvent> UdevDeviceMonitor::TakeEvents() {
    std::vector<DeviceEvent> events;
    if (!monitor_) return events;
    // The monitor's socket is non-blocking: receive until it is empty.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action && node) {
            if (std::strcmp(action, "add") == 0)
                events.push_back({DeviceEvent::Arrived, node});
            else if (std::strcmp(action, "remove") == 0)
                events.push_back({DeviceEvent::Removed, node});
        }
        udev_device_unref(device);
    }
    return events;
}

}  // namespace stepora
