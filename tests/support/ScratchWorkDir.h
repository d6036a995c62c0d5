// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Header only: it needs the test's STEPORA_DATA_DIR.
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <tuple>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "store/UserStore.h"
#include "support/TempDir.h"

namespace stepora::test {

// A work directory of its own: the shipped language files installed as the program's
// table and an empty user folder opened by a store. The clock is real again afterwards.
class ScratchWorkDir {
public:
    ScratchWorkDir() {
        std::filesystem::copy(std::filesystem::path(STEPORA_DATA_DIR) / "Language", dir / "Language",
                              std::filesystem::copy_options::recursive);
        table = std::make_unique<LangTable>(dir.path());
        InstallLangTable(table.get());
        std::filesystem::create_directories(dir / "User");
        store.SetDirectory(dir / "User");
    }
    ~ScratchWorkDir() {
        InstallLangTable(nullptr);
        SetLocalTodayOverride(nullptr);
    }
    // A user holding `days` from day `first` on, with this profile; false when the store refuses.
    bool MakeUser(const std::string& name, uint32_t unit, uint32_t weight, uint32_t stride, uint32_t first = 0,
                  std::span<const DayRecord> days = {}) {
        UserFileHeader h;
        if (!store.Create(name, "") || (!days.empty() && !store.WriteDays(name, first, days)) || !store.ReadHeader(name, h))
            return false;
        std::tie(h.unitSystem, h.weight, h.stride) = std::tie(unit, weight, stride);
        return store.WriteHeader(name, h) != 0;
    }
    ScratchWorkDir(const ScratchWorkDir&) = delete;
    ScratchWorkDir& operator=(const ScratchWorkDir&) = delete;

    TempDir dir;
    std::unique_ptr<LangTable> table;
    UserStore store;
};

}  // namespace stepora::test
