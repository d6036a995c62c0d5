#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "app/Clock.h"
#include "csv/CsvExport.h"
#include "device/DeviceTestSupport.h"
#include "device/FakeHidBackend.h"
#include "device/SimulatedPedometerFile.h"
#include "device/TransferProtocol.h"
#include "store/DayCalendar.h"
#include "support/ScratchWorkDir.h"

namespace stepora {
namespace {

BlockContents Contents(size_t days, bool longHeader = false) {
    BlockContents c;
    c.longHeader = longHeader;
    c.dayMode = 1;
    c.year = 26;
    c.month = 12;
    c.day = 6;
    for (size_t i = 0; i < days; ++i) c.days.push_back({uint32_t(5000 + 37 * i), uint32_t(1200 + i), uint32_t(310 + 2 * i)});
    return c;
}

// The pedometer on a fake bus and the host side, polled the way the transfer dialog polls.
struct Rig {
    explicit Rig(const BlockContents& contents, FakePedometerLayout layout = {})
        : pedometer(EncodeBlock(contents)), backend(pedometer, layout, &monitor), device(backend, &monitor) {
        EXPECT_TRUE(FindPedometer(device));
    }

    // Polls until a block is complete or the rounds run out; follows the pedometer being
    // unplugged (the receiver starts over) and plugs it in again.
    std::optional<DeviceData> Run(size_t rounds) {
        for (size_t i = 0; i < rounds; ++i) {
            FollowDeviceEvents(device, monitor, sink);
            if (!backend.IsPlugged()) {
                receiver.Reset();
                backend.Replug();
                continue;
            }
            if (!device.IsConnected()) continue;
            if (receiver.PollOnce(device) == BlockReceiver::Outcome::BlockComplete) return receiver.Data();
            EXPECT_LE(receiver.BufferedBytes(), kReceiveBufferSize);
        }
        return std::nullopt;
    }

    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend;
    PedometerDevice device;
    RecordingSink sink;
    BlockReceiver receiver;
};

void ExpectBlock(const std::optional<DeviceData>& got, const BlockContents& want) {
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->recordCount, want.days.size());
    EXPECT_EQ(std::tie(got->weight, got->stride, got->year, got->month, got->day),
              std::tie(want.weight, want.stride, *want.year, *want.month, *want.day));
    for (size_t i = 0; i < want.days.size() && i < got->steps.size(); ++i) {
        EXPECT_EQ(got->steps[i], want.days[i].steps) << i;
        EXPECT_EQ(got->calories[i], want.days[i].calories) << i;
        EXPECT_EQ(got->distance[i], want.days[i].distance) << i;
    }
}

TEST(Transfer, CleanTransfersForManyReportLengthsAndBlockSizes) {
    struct Lengths {
        uint16_t dataIn, dataOut, commandOut;
    };
    for (Lengths l : {Lengths{9, 9, 9}, Lengths{6, 6, 6}, Lengths{2, 2, 2}, Lengths{65, 33, 9}, Lengths{4, 9, 3}}) {
        for (size_t days : {0, 1, 13, 64}) {
            for (bool longHeader : {false, true}) {
                SCOPED_TRACE(testing::Message() << l.dataIn << "/" << l.dataOut << "/" << l.commandOut << " days "
                                                << days << " long " << longHeader);
                FakePedometerLayout layout;
                layout.dataInputLength = l.dataIn;
                layout.dataOutputLength = l.dataOut;
                layout.commandOutputLength = l.commandOut;
                BlockContents want = Contents(days, longHeader);
                Rig rig(want, layout);
                ExpectBlock(rig.Run(200), want);
                EXPECT_EQ(rig.pedometer.Commands(), (std::vector<uint8_t>{kCommandStart, kCommandDone}));
                EXPECT_EQ(rig.pedometer.ProtocolErrors(), 0u);
                EXPECT_TRUE(rig.pedometer.Finished());
            }
        }
    }
}

struct Misbehaviour {
    const char* name;
    std::function<void(Rig&)> arrange;
    bool rejectExpected;
};

class Misbehaving : public testing::TestWithParam<Misbehaviour> {};

TEST_P(Misbehaving, EndsWithTheRightBlockAfterStartingOver) {
    for (uint16_t length : {9, 6}) {
        SCOPED_TRACE(length);
        FakePedometerLayout layout;
        layout.dataInputLength = layout.dataOutputLength = layout.commandOutputLength = length;
        BlockContents want = Contents(20, true);
        Rig rig(want, layout);
        GetParam().arrange(rig);
        ExpectBlock(rig.Run(2000), want);
        const auto& commands = rig.pedometer.Commands();
        ASSERT_GE(commands.size(), 2u);
        EXPECT_EQ(commands.back(), kCommandDone);
        EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandDone), 1);
        EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandReject) > 0, GetParam().rejectExpected);
        EXPECT_EQ(rig.pedometer.ProtocolErrors(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Device, Misbehaving,
    testing::Values(
        Misbehaviour{"PieceBeforeAnnouncement", [](Rig& r) { r.pedometer.SendPieceBeforeAnnouncing(); }, true},
        Misbehaviour{"FirstPieceLost", [](Rig& r) { r.pedometer.LosePiece(0); }, true},
        Misbehaviour{"MiddlePieceLost", [](Rig& r) { r.pedometer.LosePiece(12); }, true},
        Misbehaviour{"TerminatorPieceLost", [](Rig& r) { r.pedometer.LosePiece(27); }, false},
        Misbehaviour{"GarbageStatusBytes", [](Rig& r) { r.pedometer.AnswerGarbageEvery(3); }, false},
        Misbehaviour{"LateAnnouncement", [](Rig& r) { r.pedometer.AnnounceAfterPolls(40); }, false},
        Misbehaviour{"WriteTimesOut", [](Rig& r) { r.backend.TimeOutWrites(1); }, true},
        Misbehaviour{"SeveralWritesTimeOut", [](Rig& r) { r.backend.TimeOutWrites(5); }, true},
        Misbehaviour{"ReadTimesOut", [](Rig& r) { r.backend.TimeOutReads(1); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transfer, UnpluggedBetweenAnyTwoReportsStartsOverAndEndsRight) {
    BlockContents want = Contents(10);
    size_t cleanReports = 0;
    {
        Rig clean(want);
        ASSERT_TRUE(clean.Run(200));
        cleanReports = clean.backend.ReportCount();
    }
    ASSERT_GT(cleanReports, 20u);
    for (size_t after = 0; after <= cleanReports; ++after) {
        SCOPED_TRACE(after);
        Rig rig(want);
        rig.backend.UnplugAfterReports(after);
        ExpectBlock(rig.Run(400), want);
        // Unplugged before the block was done: both interfaces reported closed, then gone.
        if (after < cleanReports) {
            EXPECT_EQ(rig.sink.messages.size(), 3u);
            if (rig.sink.messages.size() == 3) {
                EXPECT_EQ(rig.sink.messages[2].first, "gone");
            }
        }
        EXPECT_EQ(rig.monitor.RegistrationCount(), 2u);
        EXPECT_EQ(rig.pedometer.ProtocolErrors(), 0u);
    }
}

TEST(Transfer, ABlockThatNeverEndsIsRejectedWhenTheBufferIsFull) {
    Rig rig(Contents(5));
    rig.pedometer.NeverEndBlock();
    EXPECT_FALSE(rig.Run(3000));
    const auto& commands = rig.pedometer.Commands();
    EXPECT_GE(std::count(commands.begin(), commands.end(), kCommandReject), 2);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandDone), 0);
}

TEST(Transfer, PiecesAfterARejectAreNotCollectedUntilTheDeviceAnnouncesAgain) {
    Rig rig(Contents(5));
    rig.pedometer.NeverEndBlock();
    rig.pedometer.IgnoreRejects();
    EXPECT_FALSE(rig.Run(1000));
    // One start; the buffer filled once (about 300 pieces); every piece after that is refused.
    const auto& commands = rig.pedometer.Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandStart), 1);
    EXPECT_GT(std::count(commands.begin(), commands.end(), kCommandReject), 600);
    EXPECT_EQ(rig.receiver.BufferedBytes(), 0u);
}

TEST(Transfer, ABlockThatBreaksARuleIsNeverTaken) {
    for (auto spoil : std::vector<std::function<void(BlockContents&)>>{
             [](BlockContents& c) { c.weight = 151; },
             [](BlockContents& c) { c.month = 13; },
             [](BlockContents& c) { c.days.resize(65); }}) {
        BlockContents bad = Contents(3);
        spoil(bad);
        Rig rig(bad);
        EXPECT_FALSE(rig.Run(500));
        const auto& commands = rig.pedometer.Commands();
        EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandDone), 0);
        EXPECT_GE(std::count(commands.begin(), commands.end(), kCommandReject), 3);
        EXPECT_EQ(rig.receiver.LastEvent() == BlockReceiver::Event::Completed, false);
    }
}

TEST(Transfer, CommandBytesAreExactlyWhatTheDeviceExpects) {
    EXPECT_EQ(MakeCommandBlock(true, 0x1234), (std::array<uint8_t, 8>{0x55, 0x53, 0x42, 0x43, 0x12, 0x34, 1, 0}));
    EXPECT_EQ(MakeCommandBlock(false, 0x1234), (std::array<uint8_t, 8>{0x55, 0x53, 0x42, 0x43, 0, 0x34, 2, 0}));
    EXPECT_EQ(MakeCommandPayload(3), (std::array<uint8_t, 8>{0x63, 0x6D, 0x64, 0, 0, 0, 0, 3}));
    Rig rig(Contents(1));
    uint8_t big[8] = {};
    long count = 0;
    EXPECT_FALSE(ReadData(rig.device, big, 65535, count));
    EXPECT_FALSE(WriteData(rig.device, big, 65535, count));
    EXPECT_TRUE(rig.backend.Log().empty());
}

// The simulated pedometer of --simulate-pedometer: an exported file's profile and last 64
// days, dated by the last of them, come out of a transfer as they went in; a file that
// cannot serve is refused with a reason.
TEST(SimulatedPedometerFile, ExportedDaysComeOutOfATransferOrTheFileIsRefused) {
    const struct {
        const char* name;
        uint32_t unit, weight, stride, days;  // days 0: the file holds `text`, if anything
        const char* text;
        uint32_t kept;  // 0: refused
    } cases[] = {
        {"SeventyMetricDays", 0, 72, 74, 70, nullptr, 64},
        {"ThreeImperialDays", 1, 180, 295, 3, nullptr, 3},
        {"NoProfile", 0, 0, 0, 5, nullptr, 0},
        {"Garbage", 0, 0, 0, 0, "\"not\",\"an\",\"export\"\r\n", 0},
        {"Missing", 0, 0, 0, 0, nullptr, 0},
    };
    test::ScratchWorkDir work;
    SetLocalTodayOverride([] { return LocalDate{2026, 1, 30}; });
    uint32_t first = 0, weekday = 0;
    ASSERT_TRUE(DayCalendar().DateToDay(2026, 1, 30, first, weekday));
    auto steps = [](uint32_t i) { return 5000 + 7 * i; };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = work.dir / (std::string(c.name) + ".csv");
        if (c.text) test::WriteFile(path, c.text);
        if (c.days) {
            ASSERT_TRUE(work.store.Create(c.name, ""));
            std::vector<uint8_t> bytes(c.days * kDayRecordSize);
            for (uint32_t i = 0; i < c.days; ++i)
                PackDayRecord({uint8_t(c.unit), uint16_t(c.weight), uint16_t(c.stride), 0, steps(i), 1500 + i, 300 + i},
                              bytes.data() + i * kDayRecordSize);
            ASSERT_TRUE(work.store.WriteDays(c.name, first, c.days, bytes.data()));
            UserFileHeader h;
            ASSERT_TRUE(work.store.ReadHeader(c.name, h));
            std::tie(h.unitSystem, h.weight, h.stride) = std::tie(c.unit, c.weight, c.stride);
            ASSERT_TRUE(work.store.WriteHeader(c.name, h));
            ASSERT_TRUE(ExportCsv(work.store, {c.name, c.unit, c.weight, c.stride}, path, first, first + c.days - 1));
        }
        BlockContents contents;
        std::string error;
        const bool read = ReadSimulatedPedometerFile(path, contents, error);
        ASSERT_EQ(read, c.kept > 0) << error;
        if (!read) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        Rig rig(contents);
        std::optional<DeviceData> got = rig.Run(400);
        ASSERT_TRUE(got.has_value());
        DownloadBuffer days = AssignDays(*got);
        EXPECT_EQ(std::tie(days.unitSystem, days.weight, days.stride, days.dayMode),
                  std::make_tuple(c.unit, c.weight, c.stride, 1u));
        EXPECT_EQ(days.lastDay, first + c.days - 1);
        ASSERT_EQ(days.count, c.kept);
        for (uint32_t i = 0; i < days.count; ++i) EXPECT_EQ(days.records[i].steps, steps(c.days - c.kept + i)) << i;
    }
}

}  // namespace
}  // namespace stepora
