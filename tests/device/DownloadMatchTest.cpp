// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/Clock.h"
#include "device/DownloadMatch.h"
#include "support/ScopedOverride.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using Keys = std::vector<LangKey>;
constexpr uint32_t may9 = 39576;  // 2008-05-09

DayRecord Values(uint32_t day, uint32_t unit, uint32_t weight, uint32_t stride) {
    return {uint8_t(unit), uint16_t(weight), uint16_t(stride), 0, 4000 + day % 1000, day % 700, day % 300};
}

class DownloadMatch : public testing::Test {
protected:
    DownloadMatch() { store_.SetDirectory(dir_.path()); }
    // A user with the profile and the days first .. last, nothing else.
    UserFileHeader MakeUser(const std::string& name, uint32_t unit, uint32_t weight, uint32_t stride, uint32_t first,
                            uint32_t last) {
        UserFileHeader h = NewUserHeader(first + 1, "");
        h.unitSystem = unit, h.weight = weight, h.stride = stride, h.lastDay = last;
        std::string bytes(kHeaderSize + (last - first + 1) * kDayRecordSize, '\0');
        auto at = [&](size_t offset) { return reinterpret_cast<uint8_t*>(&bytes[offset]); };
        PackHeader(h, at(0));
        for (uint32_t d = first; d <= last; ++d)
            PackDayRecord(Values(d, unit, weight, stride), at(kHeaderSize + (d - first) * kDayRecordSize));
        EXPECT_TRUE(test::WriteFile(store_.Directory() / (name + ".usr"), bytes));
        return h;
    }
    std::string Bytes(const std::string& name) { return test::ReadFile(store_.Directory() / (name + ".usr")); }

    test::ScopedOverride<std::function<LocalDate()>> clock_{SetLocalTodayOverride, [] { return LocalDate{2008, 5, 12}; }};
    test::TempDir dir_;
    UserStore store_;
    Keys messages_;
    DownloadCallbacks callbacks_{[this](LangKey key) { messages_.push_back(key); }, nullptr};
    // The sample block: imperial, 104, 210, day mode 1, three days up to today (2008-05-12).
    DownloadBuffer sample_ = [] {
        DeviceData data;
        EXPECT_TRUE(DecodeBlock(kSampleBlock.data(), kSampleBlock.size(), data));
        return AssignDays(data);
    }();
};

TEST_F(DownloadMatch, AutomaticMatchRules) {
    const UserFileHeader ann = MakeUser("Ann", 0, 70, 75, may9 - 8, may9);
    // from .. to: the block's days, counted from 05-09, none when from > to; changed: the day whose
    // steps differ from the file's; blank: the user's profile was never filled.
    const struct {
        const char* name;
        bool match;
        int from, to;
        uint32_t unit = 0, weight = 70, stride = 75, dayMode = 0;
        int changed = 99;
        bool blank = false, mismatch = false;
    } cases[] = {
        {"profile never filled", true, 3, 4, 1, 200, 300, 0, 99, true},
        {"other unit system", false, 1, 2, 1, 70, 75, 0, 99, false, true},
        {"other weight", false, 1, 2, 0, 71},
        {"other stride", false, 1, 2, 0, 70, 74},
        {"no records", true, 1, 0},
        {"05-10 .. 05-12 continues", true, 1, 3},
        {"05-11 .. 05-12 leaves a gap", false, 2, 3},
        {"05-09 .. 05-12 overlaps a day", false, 0, 3},
        {"starts before the first day", false, -9, 0},
        {"ends on the last day, identical", true, -2, 0},
        {"ends on the last day, one day differs", false, -2, 0, 0, 70, 75, 0, -1},
        {"day mode 1: the running day may differ", true, -2, 0, 0, 70, 75, 1, 0},
        {"day mode 1: an earlier day may not", false, -2, 0, 0, 70, 75, 1, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadBuffer block{c.unit, c.dayMode, c.weight, c.stride, 0, 0, 0, {}};
        for (int i = c.from; i <= c.to; ++i) {
            block.records.push_back(Values(may9 + i, c.unit, c.weight, c.stride));
            if (i == c.changed) block.records.back().steps += 1;
        }
        if (c.from <= c.to) block.firstDay = may9 + c.from, block.lastDay = may9 + c.to;
        block.count = uint32_t(block.records.size());
        UserFileHeader current = ann;
        if (c.blank) current.weight = current.stride = 0;
        bool mismatch = !c.mismatch;
        EXPECT_EQ(AutoMatch(store_, "Ann", current, block, mismatch), c.match);
        EXPECT_EQ(mismatch, c.mismatch);
    }
}

// When the automatic write fails the person chooses, so it is never repeated on its own.
TEST_F(DownloadMatch, AFailedAutomaticWriteOffersTheChoice) {
    ASSERT_TRUE(store_.Create("Ann", ""));  // a profile never filled takes any block
    int asked = 0;
    callbacks_.chooseUser = [&](const UserMatchRequest&) { return ++asked, std::optional<std::string>(); };
    test::ScopedFileFaults faults;
    faults.FailNth(FileOp::Rename, 1);  // the backup never gets into place
    EXPECT_EQ(StoreDownload(store_, "Ann", sample_, callbacks_), std::nullopt);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(messages_, Keys({USEGRAPH_STR18}));
}

// Every store fault while writing the chosen user leaves that file as it was, names the
// failure, and lets the person choose again (here: give up). Without a fault the block's
// days and the device's profile land.
TEST_F(DownloadMatch, StoreFaultsRestoreTheFileAndReturnToTheChoice) {
    for (FileOp op : {FileOp::Open, FileOp::Read, FileOp::Write, FileOp::Seek, FileOp::Rename, FileOp::Remove, FileOp::Sync}) {
        for (uint32_t n = 1;; ++n) {
            SCOPED_TRACE(testing::Message() << "op " << int(op) << ", n " << n);
            ASSERT_LT(n, 60u);  // without a fault the download lands
            test::TempDir dir;  // a fresh store each time
            store_.SetDirectory(dir.path());
            MakeUser("Ann", 0, 70, 75, may9 - 8, may9 + 2);  // overlaps the block
            MakeUser("Cy", 0, 80, 75, may9 - 8, may9);
            const std::string before = Bytes("Ann");
            messages_.clear();
            test::ScopedFileFaults faults;
            int asked = 0;
            callbacks_.chooseUser = [&](const UserMatchRequest& r) -> std::optional<std::string> {
                EXPECT_TRUE(r.fileUser == "---" && r.unitsDiffer);
                if (++asked == 1) return faults.FailNth(op, n), "Ann";
                EXPECT_EQ(Bytes("Ann"), before);
                return std::nullopt;
            };
            if (auto result = StoreDownload(store_, "Cy", sample_, callbacks_)) {
                EXPECT_TRUE(*result == "Ann" && n > 1);  // the fault came too late to matter
                EXPECT_EQ(messages_, Keys({APPEDN_STR4}));
                ClearFileFaults();
                UserFileHeader h;
                ASSERT_TRUE(store_.ReadHeader("Ann", h));
                EXPECT_EQ(std::tie(h.unitSystem, h.weight, h.stride, h.lastDay), std::make_tuple(1u, 104u, 210u, may9 + 3));
                std::vector<uint8_t> stored(3 * kDayRecordSize), expected(3 * kDayRecordSize);
                ASSERT_TRUE(sample_.count == 3 && store_.ReadDays("Ann", may9 + 1, 3, stored.data()));
                for (uint32_t i = 0; i < 3; ++i) PackDayRecord(sample_.records[i], &expected[i * kDayRecordSize]);
                EXPECT_EQ(stored, expected);
                break;
            }
            // The header is read first: only its open, seek or read failing is STR17.
            const bool header = n == 1 && (op == FileOp::Open || op == FileOp::Read || op == FileOp::Seek);
            EXPECT_EQ(messages_, Keys({APPEDN_STR4, header ? USEGRAPH_STR17 : USEGRAPH_STR18}));
            EXPECT_EQ(asked, 2);
        }
    }
}

}  // namespace
}  // namespace stepora
