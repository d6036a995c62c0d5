// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/PedometerLink.h"
#include "device/SimulatedPedometer.h"

namespace stepora {

// A simulated pedometer filled from a CSV file in the program's own export format: the
// file's profile and its last days, as many as a pedometer keeps, dated by the last one.
// Nonzero on success; otherwise error says what is wrong with the file.
int ReadSimulatedPedometerFile(const std::filesystem::path& path, BlockContents& contents,
                               std::string& error);

// A simulated pedometer holding this block, plugged in afresh each time the dialog opens.
PedometerLink SimulatedPedometerLink(std::vector<uint8_t> block);

}  // namespace stepora
