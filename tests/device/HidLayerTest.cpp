// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/DeviceTestSupport.h"
#include "device/ReportDescriptor.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Discovery, PairsTheFirstDataAndCommandCollectionsAndClosesTheRest) {
    const std::vector<HidCollectionInfo> strangers = {
        {"other/a", 0x1130, 0x0202, 1, 2},   // the right device with a usage of neither kind
        {"other/b", 0x1130, 0x0202, 2, 0},   // usage 0 on another page
        {"other/c", 0x1234, 0x0202, 1, 0},   // another vendor
        {"other/d", 0x1130, 0x0203, 1, 3}};  // another product
    // foreign: listed before the pedometer; data: the data collection found, empty for its own
    const struct {
        const char* name;
        bool commandFirst, oneNode, plugged;
        std::vector<HidCollectionInfo> foreign;
        std::string data;
    } cases[] = {{"command first, one node", true, true, true, {}, ""},
                 {"among strangers", true, false, true, strangers, ""},
                 {"second pedometer listed first", false, false, true, {{"other/p", 0x1130, 0x0202, 1, 0}}, "other/p"},
                 {"only strangers", false, false, false, strangers, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedPedometer pedometer;
        FakePedometerLayout layout;
        layout.commandListedFirst = c.commandFirst, layout.oneNode = c.oneNode;
        FakeDeviceMonitor monitor;
        FakeHidBackend backend(pedometer, layout, &monitor);
        for (const HidCollectionInfo& info : c.foreign) backend.AddForeignCollection(info, {info.usagePage, info.usage, 9, 9, 0});
        if (!c.plugged) backend.Unplug();
        {
            PedometerDevice device(backend, &monitor);
            ASSERT_EQ(FindPedometer(device), c.plugged);
            EXPECT_EQ(device.dataInterface.isOpen + device.commandInterface.isOpen, c.plugged ? 2 : 0);
            EXPECT_EQ(device.dataInterface.devicePath, !c.plugged ? "" : c.data.empty() ? backend.DataPath() : c.data);
            if (c.plugged) {
                EXPECT_EQ(device.commandInterface.devicePath, backend.CommandPath());
                EXPECT_EQ(device.dataInterface.inputReport.size(), 9u);
                EXPECT_EQ(backend.OpenHandles(), 6u);  // collections that did not fit were closed again
                EXPECT_EQ(monitor.RegistrationCount(), 2u);
            }
        }
        EXPECT_EQ(backend.OpenHandles() + monitor.RegistrationCount(), 0u);  // the device closes all it opened
    }
}

// A whole descriptor is read in HidrawSysfsTest; broken ones are refused, whatever they hold.
TEST(ReportDescriptor, BrokenDescriptorsAreRefused) {
    const std::vector<Bytes> broken = {
        {},
        {0x05, 0x01, 0x09, 0x00},                          // no collection
        {0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x26, 0xFF},  // cut inside an item
        {0xC0},                                            // closes what was never opened
        {0xB4, 0xA1, 0x01, 0xC0},                          // pop without push
        {0xA1, 0x01, 0xFE, 0x09, 0x00, 0x01},              // long item running past the end
    };
    for (const Bytes& d : broken) {
        std::vector<CollectionReports> c;
        EXPECT_FALSE(ParseReportDescriptor(d.data(), d.size(), c)) << testing::PrintToString(d);
    }
    // Huge sizes and counts do not overflow the lengths.
    Bytes huge = {0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0xC0};
    std::vector<CollectionReports> c;
    ASSERT_TRUE(ParseReportDescriptor(huge.data(), huge.size(), c));
    EXPECT_EQ(c[0].inputLength, 0xFFFF);
}

}  // namespace
}  // namespace stepora
