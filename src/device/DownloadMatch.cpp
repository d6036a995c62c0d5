// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DownloadMatch.h"

#include <vector>

#include "store/DayCalendar.h"
#include "store/StoreChange.h"

namespace stepora {
namespace {

bool Convertible(uint32_t dayNumber) {
    uint32_t year, month, day, weekday;
    return DayCalendar().DayToDate(dayNumber, year, month, day, weekday) != 0;
}

// Whether the stored days of the block's range hold the block's values. With day mode 1
// the last record is the device's running day, still counting, and is left out.
bool SameAsStored(const UserStore& store, const std::string& name, const DownloadBuffer& block) {
    std::vector<uint8_t> stored(size_t(block.count) * kDayRecordSize);
    if (!store.ReadDays(name, block.firstDay, block.count, stored.data())) return false;
    size_t compared = block.records.size();
    if (block.dayMode == 1 && compared > 0) --compared;
    for (size_t i = 0; i < compared; ++i) {
        const DayRecord s = UnpackDayRecord(&stored[i * kDayRecordSize]);
        const DayRecord& b = block.records[i];
        if (s.steps != b.steps || s.calories != b.calories || s.distance != b.distance)
            return false;
    }
    return true;
}

}  // namespace

bool AutoMatch(const UserStore& store, const std::string& currentName,
               const UserFileHeader& current, const DownloadBuffer& block, bool& unitMismatch) {
    unitMismatch = false;
    if (ProfileNeverFilled(current)) return true;
    if (current.unitSystem != block.unitSystem) {
        unitMismatch = true;
        return false;
    }
    if (current.weight != block.weight || current.stride != block.stride) return false;
    if (block.count == 0) return true;
    if (block.firstDay < current.firstDay) return false;
    if (block.firstDay < current.lastDay && block.lastDay > current.lastDay) return false;
    if (block.lastDay == current.lastDay) return SameAsStored(store, currentName, block);
    return block.firstDay == current.lastDay + 1;  // continues without gap or overlap
}

StoreStep WriteDownload(UserStore& store, const std::string& target, const DownloadBuffer& block) {
    UserFileHeader header;
    if (!store.ReadHeader(target, header)) return StoreStep::HeaderUnreadable;
    StoreChange change(store, target);
    if (!change) return StoreStep::Failed;
    header.unitSystem = block.unitSystem;
    header.weight = block.weight;
    header.stride = block.stride;
    if (!store.WriteHeader(target, header)) return StoreStep::Failed;
    if (block.count > 0) {
        if (block.records.size() < block.count) return StoreStep::Failed;
        std::vector<uint8_t> bytes(size_t(block.count) * kDayRecordSize);
        for (size_t i = 0; i < block.count; ++i)
            PackDayRecord(block.records[i], &bytes[i * kDayRecordSize]);
        if (!store.WriteDays(target, block.firstDay, block.count, bytes.data()))
            return StoreStep::Failed;
    }
    if (!change.Commit()) return StoreStep::Failed;
    return StoreStep::Ok;
}

std::optional<std::string> StoreDownload(UserStore& store, const std::string& currentName,
                                         const DownloadBuffer& block,
                                         const DownloadCallbacks& callbacks) {
    auto show = [&](LangKey key) {
        if (callbacks.showMessage) callbacks.showMessage(key);
    };
    if (block.count > 0 && (!Convertible(block.firstDay) || !Convertible(block.lastDay))) {
        show(USEGRAPH_STR14);
        return std::nullopt;
    }
    UserFileHeader current;
    if (!store.ReadHeader(currentName, current) || !Convertible(current.firstDay) ||
        !Convertible(current.lastDay)) {
        show(USEGRAPH_STR15);
        return std::nullopt;
    }

    bool unitMismatch = false;
    const bool automatic = AutoMatch(store, currentName, current, block, unitMismatch);
    if (!automatic) show(unitMismatch ? APPEDN_STR4 : USEGRAPH_STR16);
    const UserMatchRequest request =
        MakeMatchRequest({.user = "---",
                          .unit = block.unitSystem,
                          .weight = block.weight,
                          .stride = block.stride,
                          .firstDay = block.count > 0 ? block.firstDay : 0,
                          .lastDay = block.count > 0 ? block.lastDay : 0},
                         currentName, current);

    // Only the first attempt may skip the dialog: after a failure the person chooses,
    // so the same failing write is never repeated on its own.
    std::function<std::optional<ReceivingUser>()> ask;
    if (callbacks.chooseUser)
        ask = [&]() -> std::optional<ReceivingUser> {
            std::optional<std::string> chosen = callbacks.chooseUser(request);
            if (!chosen) return std::nullopt;
            return ReceivingUser{.name = *chosen};
        };
    const auto receiver = ChooseReceivingUser(
        automatic ? std::optional(ReceivingUser{.name = currentName}) : std::nullopt, ask,
        [&](const ReceivingUser& target) {
            switch (WriteDownload(store, target.name, block)) {
                case StoreStep::Ok:
                    return ReceiveAttempt::Done;
                case StoreStep::HeaderUnreadable:
                    show(USEGRAPH_STR17);
                    break;
                case StoreStep::Failed:
                    show(USEGRAPH_STR18);
                    break;
            }
            return ReceiveAttempt::AskAgain;
        });
    if (!receiver) return std::nullopt;
    return store.StoredName(receiver->name).value_or(receiver->name);
}

}  // namespace stepora
