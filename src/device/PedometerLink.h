// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>

#include "device/DeviceMonitor.h"
#include "device/HidBackend.h"

namespace stepora {

// Where the transfer dialog looks for the pedometer: a HID bus and the events of devices
// coming and going on it, made afresh each time the dialog opens and let go when it ends.
// Shared, so that whoever hands them out (a test) may keep looking at them.
struct PedometerLink {
    std::function<std::shared_ptr<HidBackend>()> makeBackend;
    std::function<std::shared_ptr<DeviceMonitor>()> makeMonitor;
};

}  // namespace stepora
