// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/PedometerLink.h"

namespace stepora {

// The system's own HID devices and the events of devices coming and going.
PedometerLink PlatformPedometerLink();

}  // namespace stepora
