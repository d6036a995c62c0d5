#include <gtest/gtest.h>

#include "device/DeviceTestSupport.h"
#include "device/FakeHidBackend.h"
#include "device/TransferProtocol.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

struct ChunkCase {
    uint16_t reportLength;
    std::vector<Bytes> reports;  // what 8 data bytes 1 .. 8 become
};

class WriteChunking : public testing::TestWithParam<ChunkCase> {};

TEST_P(WriteChunking, DataGoesOutInWholeReportsPaddedWithZeros) {
    SimulatedPedometer pedometer;
    FakePedometerLayout layout;
    layout.dataOutputLength = GetParam().reportLength;
    FakeHidBackend backend(pedometer, layout);
    PedometerDevice device(backend);
    ASSERT_TRUE(FindPedometer(device));

    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
    long sent = -1;
    EXPECT_TRUE(WriteReports(device.dataInterface, data.data(), 8, sent));
    std::vector<Bytes> written;
    for (const auto& r : backend.Log()) written.push_back(r.bytes);
    EXPECT_EQ(written, GetParam().reports);
    EXPECT_GE(sent, 8);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, WriteChunking,
    testing::Values(ChunkCase{9, {{0, 1, 2, 3, 4, 5, 6, 7, 8}}},
                    ChunkCase{6, {{0, 1, 2, 3, 4, 5}, {0, 6, 7, 8, 0, 0}}},
                    ChunkCase{5, {{0, 1, 2, 3, 4}, {0, 5, 6, 7, 8}}},
                    ChunkCase{12, {{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0}}},
                    ChunkCase{2, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 7}, {0, 8}}}));

TEST(Reports, ZeroLengthSucceedsAtOnceAndReportsWithoutRoomFail) {
    SimulatedPedometer pedometer;
    FakePedometerLayout layout;
    layout.dataOutputLength = 1;  // the report-id byte alone would never carry anything
    layout.dataInputLength = 1;
    FakeHidBackend backend(pedometer, layout);
    PedometerDevice device(backend);
    ASSERT_TRUE(FindPedometer(device));
    uint8_t bytes[8] = {};
    long count = -1;
    EXPECT_TRUE(WriteReports(device.dataInterface, bytes, 0, count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(WriteReports(device.dataInterface, bytes, 8, count));
    EXPECT_FALSE(ReadReports(device.dataInterface, bytes, 8, count));
    EXPECT_TRUE(backend.Log().empty());
}

TEST(Reports, ReadingDropsTheReportIdByteForEveryInputLength) {
    for (uint16_t length : {2, 3, 6, 9, 16, 65}) {
        SCOPED_TRACE(length);
        SimulatedPedometer pedometer;  // announces its block at the first poll
        FakePedometerLayout layout;
        layout.dataInputLength = length;
        FakeHidBackend backend(pedometer, layout);
        PedometerDevice device(backend);
        ASSERT_TRUE(FindPedometer(device));
        std::array<uint8_t, 8> answer;
        ASSERT_TRUE(PollStatus(device, answer));
        EXPECT_EQ(answer, (std::array<uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, kStatusBlockReady}));
        size_t reads = 0;
        for (const auto& r : backend.Log()) reads += !r.write;
        EXPECT_EQ(reads, (8 + length - 2) / (length - 1));
        EXPECT_EQ(pedometer.ProtocolErrors(), 0u);
    }
}

TEST(Reports, ATimedOutReportFailsTheCall) {
    SimulatedPedometer pedometer;
    FakeHidBackend backend(pedometer);
    PedometerDevice device(backend);
    ASSERT_TRUE(FindPedometer(device));
    std::array<uint8_t, 8> answer;
    backend.TimeOutWrites(1);
    EXPECT_FALSE(PollStatus(device, answer));
    backend.TimeOutReads(1);
    EXPECT_FALSE(PollStatus(device, answer));
    EXPECT_TRUE(PollStatus(device, answer));
}

struct DiscoveryCase {
    const char* name;
    bool commandFirst, oneNode;
    std::vector<HidCollectionInfo> foreign;  // listed before the pedometer
    std::string expectedData;                // empty: the pedometer's own
};

class Discovery : public testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, PairsTheFirstDataAndCommandCollections) {
    const DiscoveryCase& c = GetParam();
    SimulatedPedometer pedometer;
    FakePedometerLayout layout;
    layout.commandListedFirst = c.commandFirst;
    layout.oneNode = c.oneNode;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend(pedometer, layout, &monitor);
    for (const HidCollectionInfo& info : c.foreign)
        backend.AddForeignCollection(info, {info.usagePage, info.usage, 9, 9, 0});
    {
        PedometerDevice device(backend, &monitor);
        ASSERT_TRUE(FindPedometer(device));
        EXPECT_EQ(device.dataInterface.devicePath, c.expectedData.empty() ? backend.DataPath() : c.expectedData);
        EXPECT_EQ(device.commandInterface.devicePath, backend.CommandPath());
        EXPECT_EQ(device.dataInterface.inputReport.size(), 9u);
        EXPECT_EQ(backend.OpenHandles(), 6u);  // collections that did not fit were closed again
        EXPECT_EQ(monitor.RegistrationCount(), 2u);
    }
    EXPECT_EQ(backend.OpenHandles(), 0u);
    EXPECT_EQ(monitor.RegistrationCount(), 0u);
}

const std::vector<HidCollectionInfo> kStrangers = {
    {"other/a", 0x1130, 0x0202, 1, 2},   // the right device with a usage of neither kind
    {"other/b", 0x1130, 0x0202, 2, 0},   // usage 0 on another page
    {"other/c", 0x1234, 0x0202, 1, 0},   // another vendor
    {"other/d", 0x1130, 0x0203, 1, 3}};  // another product

INSTANTIATE_TEST_SUITE_P(
    Orders, Discovery,
    testing::Values(DiscoveryCase{"DataFirst", false, false, {}, ""},
                    DiscoveryCase{"CommandFirst", true, false, {}, ""},
                    DiscoveryCase{"OneNode", false, true, {}, ""},
                    DiscoveryCase{"CommandFirstOneNode", true, true, {}, ""},
                    DiscoveryCase{"AmongStrangers", true, false, kStrangers, ""},
                    DiscoveryCase{"SecondPedometerListedFirst", false, false, {{"other/p", 0x1130, 0x0202, 1, 0}}, "other/p"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Discovery, NothingOpensWhenOnlyStrangersArePresent) {
    SimulatedPedometer pedometer;
    FakeHidBackend backend(pedometer);
    for (const HidCollectionInfo& info : kStrangers) backend.AddForeignCollection(info, {info.usagePage, info.usage, 9, 9, 0});
    backend.Unplug();
    PedometerDevice device(backend);
    EXPECT_FALSE(FindPedometer(device));
    EXPECT_FALSE(device.dataInterface.isOpen || device.commandInterface.isOpen);
    EXPECT_EQ(backend.OpenHandles(), 0u);
    EXPECT_TRUE(device.dataInterface.devicePath.empty());
}

TEST(Removal, UnpluggingClosesEachInterfaceOnceAndTellsTheSink) {
    for (bool oneNode : {false, true}) {
        SCOPED_TRACE(oneNode);
        SimulatedPedometer pedometer;
        FakePedometerLayout layout;
        layout.oneNode = oneNode;
        FakeDeviceMonitor monitor;
        FakeHidBackend backend(pedometer, layout, &monitor);
        PedometerDevice device(backend, &monitor);
        RecordingSink sink;
        ASSERT_TRUE(FindPedometer(device));
        const uint64_t dataNotify = device.dataInterface.notifyHandle, commandNotify = device.commandInterface.notifyHandle;
        EXPECT_NE(dataNotify, commandNotify);

        backend.Unplug();
        FollowDeviceEvents(device, monitor, sink);
        using M = RecordingSink::Message;
        EXPECT_EQ(sink.messages, (std::vector<M>{M{"closed", dataNotify}, M{"closed", commandNotify}, M{"gone", 0}}));
        EXPECT_FALSE(device.dataInterface.isOpen || device.commandInterface.isOpen);
        EXPECT_EQ(backend.OpenHandles(), 0u);
        EXPECT_EQ(monitor.RegistrationCount(), 0u);
        // A removal naming nothing open changes nothing more.
        EXPECT_TRUE(HandleRemoval(device, 12345, &sink));

        sink.messages.clear();
        backend.Replug();
        FollowDeviceEvents(device, monitor, sink);
        EXPECT_TRUE(device.IsConnected());
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(monitor.RegistrationCount(), 2u);
    }
}

TEST(Removal, OneInterfaceGoneLeavesTheDeviceHalfPresent) {
    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend(pedometer, {}, &monitor);
    PedometerDevice device(backend, &monitor);
    RecordingSink sink;
    ASSERT_TRUE(FindPedometer(device));
    EXPECT_FALSE(HandleRemoval(device, device.commandInterface.queryHandle, &sink));
    EXPECT_TRUE(device.dataInterface.isOpen);
    ASSERT_EQ(sink.messages.size(), 1u);
    // The command collection comes back through its path alone.
    EXPECT_TRUE(OpenFromPath(device, backend.CommandPath()));
    EXPECT_FALSE(OpenFromPath(device, backend.DataPath()));  // nothing left to open
}

}  // namespace
}  // namespace stepora
