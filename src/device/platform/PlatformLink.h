#pragma once
#include "device/PedometerLink.h"

namespace stepora {

// The system's own HID devices and the events of devices coming and going.
PedometerLink PlatformPedometerLink();

}  // namespace stepora
