// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>

namespace stepora {

// What the user match dialog shows when incoming data (a pedometer block or a CSV file)
// does not go straight to the current user: the incoming profile and days beside the
// current user's. Days are day numbers, 0 when there are none. A pedometer block names
// no user; its fileUser is "---".
struct UserMatchRequest {
    std::string fileUser;
    uint32_t fileUnit = 0, fileWeight = 0, fileStride = 0, fileFirstDay = 0, fileLastDay = 0;
    std::string currentUser;
    uint32_t currentUnit = 0, currentWeight = 0, currentStride = 0, currentFirstDay = 0,
             currentLastDay = 0;
    bool unitsDiffer = false;
};

}  // namespace stepora
