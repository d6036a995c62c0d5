// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which user receives a downloaded block, and writing it into that user's file.
#include <functional>
#include <optional>
#include <string>

#include "accounts/UserMatchRequest.h"
#include "app/LangTable.h"
#include "device/TransferProtocol.h"
#include "store/UserStore.h"

namespace stepora {

// True when the block plainly continues the current user's data and goes there without
// asking. unitMismatch is set when the unit systems differ.
bool AutoMatch(const UserStore& store, const std::string& currentName,
               const UserFileHeader& current, const DownloadBuffer& block, bool& unitMismatch);

enum class StoreStep { Ok, HeaderUnreadable, Failed };

// Gives the target the device's unit system, weight and stride and merges the block's
// days, under a backup: on any failure the target's file is left as it was.
StoreStep WriteDownload(UserStore& store, const std::string& target, const DownloadBuffer& block);

struct DownloadCallbacks {
    std::function<void(LangKey)> showMessage;
    // Runs the user match dialog; nothing when it is cancelled.
    std::function<std::optional<std::string>(const UserMatchRequest&)> chooseUser;
};

// Stores a downloaded block: into the current user when the automatic match holds, else
// into whom chooseUser names. After a failed write the person chooses again (the match
// dialog opens even when the first target was chosen automatically). Returns the
// receiving user's stored name, or nothing when the download was given up.
std::optional<std::string> StoreDownload(UserStore& store, const std::string& currentName,
                                         const DownloadBuffer& block,
                                         const DownloadCallbacks& callbacks);

}  // namespace stepora
