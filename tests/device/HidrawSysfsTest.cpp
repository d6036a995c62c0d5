// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux side of device access: report descriptors read from sysfs, hidraw paths.
#include <gtest/gtest.h>

#include "device/platform/HidapiBackend.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

// Usage page 1, usage 0, then usage 3; 8 bytes in, 8 bytes out each, unnumbered.
std::string TwoCollections() {
    const std::string data("\x05\x01\x09\x00\xA1\x01\x15\x00\x26\xFF\x00\x75\x08\x95\x08\x09\x00\x81\x02\x09\x00\x91\x02\xC0",
                           24);
    std::string command = data;
    command[3] = 0x03;
    return data + command;
}

TEST(ReportDescriptor, ReadForAHidrawNodeFromSysfs) {
    test::TempDir sysfs;
    const std::string root = sysfs.path().string();
    // Where a node named "." or ".." would lead: never read, whatever lies there.
    for (const char* dir : {"class/hidraw/hidraw3/device", "class/hidraw/device", "class/device"}) {
        std::filesystem::create_directories(sysfs.path() / dir);
        test::WriteFile(sysfs.path() / dir / "report_descriptor", TwoCollections());
    }
    std::vector<CollectionReports> c;
    ASSERT_TRUE(ReadNodeCollections("/dev/hidraw3", c, root));
    ASSERT_EQ(c.size(), 2u);
    EXPECT_TRUE(c[0].usage == 0 && c[1].usage == 3 && c[1].inputLength == 9 && c[1].outputLength == 9);  // with the id byte
    for (const char* node : {"/dev/hidraw4", "/dev/..", "/dev/.", "/dev/"}) {
        std::vector<CollectionReports> none;
        EXPECT_FALSE(ReadNodeCollections(node, none, root)) << node;
    }
    HidapiBackend backend;
    EXPECT_EQ(backend.NodeOfPath("/dev/hidraw3#1"), "/dev/hidraw3");
    EXPECT_EQ(backend.NodeOfPath("/dev/hidraw3"), "/dev/hidraw3");
}

}  // namespace
}  // namespace stepora
