// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/platform/HidapiBackend.h"
#include "device/platform/PlatformLink.h"
#include "device/platform/UdevDeviceMonitor.h"

namespace stepora {

PedometerLink PlatformPedometerLink() {
    return {[] { return std::make_shared<HidapiBackend>(); },
            [] { return std::make_shared<UdevDeviceMonitor>(); }};
}

}  // namespace stepora
