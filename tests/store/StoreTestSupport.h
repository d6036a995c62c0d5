// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A store directory made on 2026-12-07, and a model of a user file: what the records of a
// user should be after the merges the store performs, to compare with the bytes on disk.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "store/StoreChange.h"
#include "store/StoreFile.h"
#include "store/UserStore.h"
#include "support/TempDir.h"

namespace stepora::test {

// A user made on kToday starts the day before, at S.
constexpr uint32_t kToday = 46362, S = kToday - 1, E = S + 20;

// `count` records from day `first`, each telling its day and the run's tag.
inline std::vector<uint8_t> TaggedRun(uint32_t first, uint32_t count, uint32_t tag) {
    std::vector<uint8_t> bytes(size_t(count) * kDayRecordSize);
    for (uint32_t i = 0; i < count; ++i)
        PackDayRecord({0, 0, 0, 0, (first + i) * 10 + tag % 10, tag, first + i}, bytes.data() + i * kDayRecordSize);
    return bytes;
}

struct UserModel {
    UserFileHeader header;
    std::map<uint32_t, std::string> days;  // day → its 18 bytes; missing days are zero

    void Write(uint32_t first, uint32_t count, const uint8_t* records) {
        for (uint32_t i = 0; i < count; ++i)
            days[first + i].assign(reinterpret_cast<const char*>(records) + i * kDayRecordSize, kDayRecordSize);
        header.firstDay = std::min(header.firstDay, first);
        header.lastDay = std::max(header.lastDay, first + count - 1);
    }
    std::string Record(uint32_t day) const {
        auto it = days.find(day);
        const bool stored = day >= header.firstDay && day <= header.lastDay && it != days.end();
        return stored ? it->second : std::string(kDayRecordSize, '\0');
    }
    std::string Bytes() const {
        std::string out(kHeaderSize, '\0');
        PackHeader(header, reinterpret_cast<uint8_t*>(out.data()));
        for (uint32_t d = header.firstDay; d <= header.lastDay; ++d) out += Record(d);
        return out;
    }
};

struct StoreDir {
    TempDir dir;
    std::filesystem::path users = dir / "User";
    UserStore store;

    StoreDir() {
        SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
        std::filesystem::create_directories(users);
        store.SetDirectory(users);
    }
    ~StoreDir() {
        ClearFileFaults();
        SetLocalTodayOverride(nullptr);
    }
    std::filesystem::path File(const std::string& name) const { return users / (name + ".usr"); }
    std::string Bytes(const std::string& name = "Anna") const { return ReadFile(File(name)); }
    // Anna with the days S..E; returns the model of her file.
    UserModel MakeAnna() {
        UserModel model;
        const auto days = TaggedRun(S, E - S + 1, 1);
        EXPECT_TRUE(store.Create("Anna", "pw") && store.WriteDays("Anna", S, E - S + 1, days.data()));
        EXPECT_TRUE(store.ReadHeader("Anna", model.header));
        model.Write(S, E - S + 1, days.data());
        return model;
    }
    // Opens the directory again, as the next start of the program would.
    void Reopen() {
        ClearFileFaults();
        store.SetDirectory(users);
    }
    // Every file of the directory by name, but the scratch file the store reuses.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(users))
            if (e.path().filename() != "temp.bin") files[e.path().filename().string()] = ReadFile(e.path());
        return files;
    }
};

}  // namespace stepora::test
