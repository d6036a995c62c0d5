// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which user receives incoming days (a pedometer block or a CSV file): the current user
// when the days plainly go there, else whom the person names in the user match dialog.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "store/UserFile.h"

namespace stepora {

// What the user match dialog shows when incoming data does not go straight to the current
// user: the incoming profile and days beside the current user's. Days are day numbers, 0
// when there are none. A pedometer block names no user; its fileUser is "---".
struct UserMatchRequest {
    std::string fileUser;
    uint32_t fileUnit = 0, fileWeight = 0, fileStride = 0, fileFirstDay = 0, fileLastDay = 0;
    std::string currentUser;
    uint32_t currentUnit = 0, currentWeight = 0, currentStride = 0, currentFirstDay = 0,
             currentLastDay = 0;
    bool unitsDiffer = false;
};

// The profile and days of incoming data.
struct IncomingProfile {
    std::string user;  // "---" for a pedometer block
    uint32_t unit = 0, weight = 0, stride = 0, firstDay = 0, lastDay = 0;
};

// The request for incoming data and the current user. The units differ only for a current
// profile that was ever filled in: one never filled takes any data.
UserMatchRequest MakeMatchRequest(const IncomingProfile& incoming, const std::string& currentName,
                                  const UserFileHeader& current);

// The user who receives the days, as the match dialog names it.
struct ReceivingUser {
    std::string name;
    bool adoptProfile = false;  // the user takes over the incoming unit, weight and stride
};

// What became of handing the days to one user.
enum class ReceiveAttempt { Done, AskAgain, GiveUp };

// The one loop that settles the receiving user: the automatic choice first, if there is
// one, then (and after every attempt that asks again) whom `ask` names; `ask` answering
// nothing, or missing, gives up. Returns the user the attempt succeeded with.
std::optional<ReceivingUser> ChooseReceivingUser(
    std::optional<ReceivingUser> automatic,
    const std::function<std::optional<ReceivingUser>()>& ask,
    const std::function<ReceiveAttempt(const ReceivingUser&)>& attempt);

}  // namespace stepora
