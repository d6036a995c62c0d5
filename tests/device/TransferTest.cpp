// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include "csv/CsvExport.h"
#include "device/DeviceTestSupport.h"
#include "device/SimulatedPedometerFile.h"
#include "store/DayCalendar.h"
#include "support/ScratchWorkDir.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Decode, Rules) {
    using Change = std::function<void(BlockContents&)>;
    auto encoded = [](Change change, std::function<void(Bytes&)> patch = nullptr) {
        BlockContents c = Contents(2);
        change(c);
        Bytes b = EncodeBlock(c);
        if (patch) patch(b);
        return b;
    };
    auto none = [](BlockContents&) {};
    auto imperial = [](uint32_t weight, uint32_t stride) -> Change {
        return [=](BlockContents& c) { c.deviceType = 0xA9, c.weight = weight, c.stride = stride; };
    };
    auto date = [](uint32_t y, uint32_t m, uint32_t d) -> Change {
        return [=](BlockContents& c) { c.year = y, c.month = m, c.day = d; };
    };
    const struct {
        const char* name;
        Bytes block;
        bool accepted;
    } cases[] = {
        {"short header, no records", encoded([](BlockContents& c) { c.days.clear(); }), true},
        {"64 records", encoded([](BlockContents& c) { c.days.resize(64); }), true},
        {"65 records", encoded([](BlockContents& c) { c.days.resize(65); }), false},
        {"one byte short", encoded(none, [](Bytes& b) { b.pop_back(); }), false},
        {"0xB9 is long and imperial",
         encoded([](BlockContents& c) { c.longHeader = true, c.deviceType = 0xA9, c.weight = 200, c.stride = 300; }), true},
        {"format 0xA0", encoded(none, [](Bytes& b) { b[0] = 0xA0; }), false},
        {"metric weight 151", encoded([](BlockContents& c) { c.weight = 151; }), false},
        {"metric stride 9", encoded([](BlockContents& c) { c.stride = 9; }), false},
        {"imperial weight 40, stride 400", encoded(imperial(40, 400)), true},
        {"imperial stride 401", encoded(imperial(100, 401)), false},
        {"2000-02-29", encoded(date(0, 2, 29)), true},
        {"2001-02-29", encoded(date(1, 2, 29)), false},
        {"month 13", encoded(date(8, 13, 1)), false},
        {"April 31", encoded(date(8, 4, 31)), false},
        {"year digits 0xA0", encoded(none, [](Bytes& b) { b[5] = 0xA0; }), false},
        {"steps 999999", encoded([](BlockContents& c) { c.days[1].steps = 999999; }), true},
        {"steps with a top group of 0xA", encoded(none, [](Bytes& b) { b[8 + 9] = 0xA0; }), false},
        {"distance with a low group above 9", encoded(none, [](Bytes& b) { b[8 + 8] = 0x0F; }), true},
    };
    for (const auto& c : cases) {
        DeviceData d;
        d.recordCount = 77;
        EXPECT_EQ(DecodeBlock(c.block.data(), c.block.size(), d) != 0, c.accepted) << c.name;
        EXPECT_TRUE(c.accepted || d.recordCount == 77) << c.name << ": a refused block leaves the output alone";
    }
}

TEST(Decode, AssignDaysPutsTheLastRecordOnTheHeaderDateOrTheDayBefore) {
    const struct {
        bool longHeader;
        uint8_t dayMode;
        uint32_t year, month, day, lastYear, lastMonth, lastDay;
    } cases[] = {
        {false, 0, 8, 5, 10, 2008, 5, 9},  // short header: the day before
        {true, 1, 8, 5, 10, 2008, 5, 10}, {true, 0, 8, 5, 10, 2008, 5, 10}, {true, 255, 8, 5, 10, 2008, 5, 9},
        {false, 0, 0, 1, 2, 2000, 1, 1},  {true, 1, 0, 3, 1, 2000, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << " mode " << int(c.dayMode));
        BlockContents contents = Contents(3, c.longHeader);
        contents.dayMode = c.dayMode, contents.year = c.year, contents.month = c.month, contents.day = c.day;
        contents.deviceType = 0xA9, contents.weight = 300, contents.stride = 250;
        Bytes b = EncodeBlock(contents);
        DeviceData d;
        ASSERT_TRUE(DecodeBlock(b.data(), b.size(), d));
        DownloadBuffer out = AssignDays(d);
        uint32_t last = 0, weekday = 0;
        ASSERT_TRUE(DayCalendar().DateToDay(c.lastYear, c.lastMonth, c.lastDay, last, weekday));
        EXPECT_EQ(std::tie(out.firstDay, out.lastDay, out.count, out.unitSystem), std::make_tuple(last - 2, last, 3u, 1u));
        ASSERT_EQ(out.records.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const DayRecord& r = out.records[i];
            const auto& want = contents.days[i];
            EXPECT_EQ(
                std::tie(r.unitSystem, r.weight, r.stride, r.reserved, r.steps, r.calories, r.distance),
                std::make_tuple(uint8_t(1), uint16_t(300), uint16_t(250), uint8_t(0), want.steps, want.calories, want.distance));
        }
    }
    const DownloadBuffer none = AssignDays(DeviceData{0xA8, 0, 70, 70, 8, 5, 10, 0, {}, {}, {}});  // no records: no days
    EXPECT_TRUE(none.firstDay == 0 && none.lastDay == 0 && none.count == 0 && none.records.empty());
}

FakePedometerLayout Lengths(uint16_t dataIn, uint16_t dataOut, uint16_t commandOut, bool oneNode = false) {
    FakePedometerLayout layout;
    layout.dataInputLength = dataIn, layout.dataOutputLength = dataOut, layout.commandOutputLength = commandOut;
    layout.oneNode = oneNode;
    return layout;
}

TEST(Transfer, CleanTransfersForManyReportLengthsAndBlockSizes) {
    for (auto l : {Lengths(9, 9, 9), Lengths(6, 6, 6), Lengths(2, 2, 2), Lengths(65, 33, 9), Lengths(4, 9, 3)}) {
        for (size_t days : {0, 1, 13, 64}) {
            for (bool longHeader : {false, true}) {
                SCOPED_TRACE(testing::Message() << l.dataInputLength << "/" << l.dataOutputLength << "/" << l.commandOutputLength
                                                << " days " << days << " long " << longHeader);
                BlockContents want = Contents(days, longHeader);
                Rig rig(EncodeBlock(want), l);
                ExpectBlock(rig.Run(200), want);
                EXPECT_EQ(rig.pedometer.Commands(), (std::vector<uint8_t>{kCommandStart, kCommandDone}));
                EXPECT_TRUE(rig.pedometer.ProtocolErrors() == 0 && rig.pedometer.Finished());
            }
        }
    }
}

TEST(Transfer, AMisbehavingDeviceEndsWithTheRightBlockAfterStartingOver) {
    const struct {
        const char* name;
        std::function<void(Rig&)> arrange;
        bool rejectExpected;
    } cases[] = {{"piece before the announcement", [](Rig& r) { r.pedometer.SendPieceBeforeAnnouncing(); }, true},
                 {"middle piece lost", [](Rig& r) { r.pedometer.LosePiece(12); }, true},
                 {"terminator piece lost", [](Rig& r) { r.pedometer.LosePiece(27); }, false},
                 {"garbage status bytes", [](Rig& r) { r.pedometer.AnswerGarbageEvery(3); }, false},
                 {"late announcement", [](Rig& r) { r.pedometer.AnnounceAfterPolls(40); }, false},
                 {"a write times out", [](Rig& r) { r.backend.TimeOutWrites(1); }, true},
                 {"a read times out", [](Rig& r) { r.backend.TimeOutReads(1); }, true}};
    for (const auto& c : cases) {
        for (uint16_t length : {9, 6}) {
            SCOPED_TRACE(testing::Message() << c.name << ", length " << length);
            BlockContents want = Contents(20, true);
            Rig rig(EncodeBlock(want), Lengths(length, length, length));
            c.arrange(rig);
            ExpectBlock(rig.Run(2000), want);
            EXPECT_TRUE(rig.Sent(kCommandDone) == 1 && rig.pedometer.Commands().back() == kCommandDone);
            EXPECT_EQ(rig.Sent(kCommandReject) > 0, c.rejectExpected);
        }
    }
}

TEST(Transfer, UnpluggedBetweenAnyTwoReportsStartsOverAndEndsRight) {
    const BlockContents want = Contents(10);
    size_t cleanReports = 0;
    {
        Rig clean(EncodeBlock(want));
        ASSERT_TRUE(clean.Run(200));
        cleanReports = clean.backend.ReportCount();
    }
    ASSERT_GT(cleanReports, 20u);
    for (bool oneNode : {false, true}) {
        for (size_t after = 0; after <= cleanReports; ++after) {
            SCOPED_TRACE(testing::Message() << "after " << after << ", one node " << oneNode);
            Rig rig(EncodeBlock(want), Lengths(9, 9, 9, oneNode));
            const uint64_t data = rig.device.dataInterface.notifyHandle, command = rig.device.commandInterface.notifyHandle;
            rig.backend.UnplugAfterReports(after);
            ExpectBlock(rig.Run(400), want);
            // Unplugged before the block was done: each interface reported closed once, then gone.
            using M = RecordingSink::Message;
            const std::vector<M> lost = {M{"closed", data}, M{"closed", command}, M{"gone", 0}};
            EXPECT_EQ(rig.sink.messages, after < cleanReports ? lost : std::vector<M>{});
            // The old handles and registrations dropped, the new ones made.
            EXPECT_EQ(std::make_pair(rig.backend.OpenHandles(), rig.monitor.RegistrationCount()), std::make_pair(6ul, 2ul));
            EXPECT_EQ(rig.pedometer.ProtocolErrors(), 0u);
        }
    }
}

TEST(Transfer, PiecesOfABlockThatNeverEndsAreRejectedUntilItIsAnnouncedAgain) {
    // It goes on regardless of rejects: one start, the buffer filled once (about 300 pieces),
    // every piece after that refused.
    Rig deaf(EncodeBlock(Contents(5)));
    deaf.pedometer.NeverEndBlock();
    deaf.pedometer.IgnoreRejects();
    EXPECT_FALSE(deaf.Run(1000));
    EXPECT_EQ(deaf.Sent(kCommandStart), 1);
    EXPECT_GT(deaf.Sent(kCommandReject), 600);
    EXPECT_EQ(deaf.receiver.BufferedBytes(), 0u);
}

// A block breaking a rule (weight 151) is rejected, never taken.
TEST(Transfer, ABlockThatBreaksARuleIsRejectedAndNeverTaken) {
    BlockContents bad = Contents(3);
    bad.weight = 151;
    Rig rig(EncodeBlock(bad));
    EXPECT_FALSE(rig.Run(500));
    EXPECT_TRUE(rig.Sent(kCommandDone) == 0 && rig.Sent(kCommandReject) >= 3);
    uint8_t small[8] = {};  // lengths beyond the buffer are refused before anything moves
    long count = 0;
    EXPECT_FALSE(ReadData(rig.device, small, 65535, count) || WriteData(rig.device, small, 65535, count));
}

// A file the program exported comes out of a transfer as the pedometer would hold it: the
// profile and the last 64 days. Anything else is refused with a reason.
TEST(SimulatedPedometerFile, ExportedDaysComeOutOfATransferOrTheFileIsRefused) {
    const struct {
        const char* name;
        uint32_t unit, weight, stride, days, kept;  // kept 0: refused; days 0: the file holds `text`, if any
        const char* text;
    } cases[] = {{"Seventy", 0, 72, 74, 70, 64, nullptr},
                 {"Imperial", 1, 180, 295, 3, 3, nullptr},
                 {"NoProfile", 0, 0, 0, 5, 0, nullptr},
                 {"Garbage", 0, 0, 0, 0, 0, "\"not\",\"an\",\"export\"\r\n"},
                 {"Missing", 0, 0, 0, 0, 0, nullptr}};
    test::ScratchWorkDir work;
    SetLocalTodayOverride([] { return LocalDate{2026, 1, 30}; });
    uint32_t first = 0, weekday = 0;
    ASSERT_TRUE(DayCalendar().DateToDay(2026, 1, 30, first, weekday));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = work.dir / (std::string(c.name) + ".csv");
        if (c.text) test::WriteFile(path, c.text);
        if (c.days) {
            std::vector<DayRecord> days;
            for (uint32_t i = 0; i < c.days; ++i)
                days.push_back({uint8_t(c.unit), uint16_t(c.weight), uint16_t(c.stride), 0, 5000 + 7 * i, 1500 + i, 300 + i});
            ASSERT_TRUE(work.MakeUser(c.name, c.unit, c.weight, c.stride, first, days));
            ASSERT_TRUE(ExportCsv(work.store, {c.name, c.unit, c.weight, c.stride}, path, first, first + c.days - 1));
        }
        BlockContents contents;
        std::string error;
        ASSERT_EQ(ReadSimulatedPedometerFile(path, contents, error) != 0, c.kept > 0) << error;
        EXPECT_EQ(error.empty(), c.kept > 0);
        if (!c.kept) continue;
        std::optional<DeviceData> got = Rig(EncodeBlock(contents)).Run(400);
        ASSERT_TRUE(got.has_value());
        DownloadBuffer days = AssignDays(*got);
        EXPECT_EQ(std::tie(days.unitSystem, days.weight, days.stride, days.lastDay, days.count),
                  std::make_tuple(c.unit, c.weight, c.stride, first + c.days - 1, c.kept));
        for (uint32_t i = 0; i < days.count; ++i) EXPECT_EQ(days.records[i].steps, 5000 + 7 * (c.days - c.kept + i)) << i;
    }
}

}  // namespace
}  // namespace stepora
