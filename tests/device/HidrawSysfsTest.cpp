// The Linux side of device access: report descriptors read from sysfs, hidraw paths.
#include <gtest/gtest.h>

#include "device/platform/HidapiBackend.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

// Usage page 1, usage 0; 8 bytes in, 8 bytes out, unnumbered.
const Bytes kDataCollection = {0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                               0x95, 0x08, 0x09, 0x00, 0x81, 0x02, 0x09, 0x00, 0x91, 0x02, 0xC0};

TEST(ReportDescriptor, ReadForAHidrawNodeFromSysfs) {
    test::TempDir sysfs;
    std::filesystem::create_directories(sysfs.path() / "class/hidraw/hidraw3/device");
    Bytes two = kDataCollection;
    two.insert(two.end(), kDataCollection.begin(), kDataCollection.end());
    two[2 + kDataCollection.size() + 1] = 0x03;  // the second one is the command collection
    test::WriteFile(sysfs.path() / "class/hidraw/hidraw3/device/report_descriptor",
              std::string(two.begin(), two.end()));
    std::vector<CollectionReports> c;
    ASSERT_TRUE(ReadNodeCollections("/dev/hidraw3", c, sysfs.path().string()));
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[1].usage, 3);
    EXPECT_FALSE(ReadNodeCollections("/dev/hidraw4", c, sysfs.path().string()));
    EXPECT_FALSE(ReadNodeCollections("/dev/..", c, sysfs.path().string()));
    HidapiBackend backend;
    EXPECT_EQ(backend.NodeOfPath("/dev/hidraw3#1"), "/dev/hidraw3");
    EXPECT_EQ(backend.NodeOfPath("/dev/hidraw3"), "/dev/hidraw3");
}

}  // namespace
}  // namespace stepora
