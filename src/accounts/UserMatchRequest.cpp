// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/UserMatchRequest.h"

namespace stepora {

UserMatchRequest MakeMatchRequest(const IncomingProfile& incoming, const std::string& currentName,
                                  const UserFileHeader& current) {
    return {.fileUser = incoming.user,
            .fileUnit = incoming.unit,
            .fileWeight = incoming.weight,
            .fileStride = incoming.stride,
            .fileFirstDay = incoming.firstDay,
            .fileLastDay = incoming.lastDay,
            .currentUser = currentName,
            .currentUnit = current.unitSystem,
            .currentWeight = current.weight,
            .currentStride = current.stride,
            .currentFirstDay = current.firstDay,
            .currentLastDay = current.lastDay,
            .unitsDiffer = !ProfileNeverFilled(current) && incoming.unit != current.unitSystem};
}

std::optional<ReceivingUser> ChooseReceivingUser(
    std::optional<ReceivingUser> automatic,
    const std::function<std::optional<ReceivingUser>()>& ask,
    const std::function<ReceiveAttempt(const ReceivingUser&)>& attempt) {
    std::optional<ReceivingUser> choice = std::move(automatic);
    for (;;) {
        if (!choice) {
            if (!ask) return std::nullopt;
            choice = ask();
            if (!choice) return std::nullopt;
        }
        switch (attempt(*choice)) {
            case ReceiveAttempt::Done:
                return choice;
            case ReceiveAttempt::GiveUp:
                return std::nullopt;
            case ReceiveAttempt::AskAgain:
                choice.reset();
                break;
        }
    }
}

}  // namespace stepora
