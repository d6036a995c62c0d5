#include <gtest/gtest.h>

#include "device/ReportDescriptor.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

bool Parse(const Bytes& d, std::vector<CollectionReports>& out) { return ParseReportDescriptor(d.data(), d.size(), out); }

// Usage page 1, usage 0; 8 bytes in, 8 bytes out, unnumbered.
const Bytes kDataCollection = {0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                               0x95, 0x08, 0x09, 0x00, 0x81, 0x02, 0x09, 0x00, 0x91, 0x02, 0xC0};

TEST(ReportDescriptor, LengthsIncludeTheReportIdByte) {
    std::vector<CollectionReports> c;
    ASSERT_TRUE(Parse(kDataCollection, c));
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].usagePage, 1);
    EXPECT_EQ(c[0].usage, 0);
    EXPECT_EQ(c[0].inputLength, 9);
    EXPECT_EQ(c[0].outputLength, 9);
    EXPECT_EQ(c[0].featureLength, 0);
    EXPECT_FALSE(c[0].numberedReports);
}

TEST(ReportDescriptor, SeveralCollectionsWithNumberedReportsAndNestedParts) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x03, 0xA1, 0x01,              // page 1, usage 3
        0x85, 0x01, 0x75, 0x08, 0x95, 0x05, 0x81, 0x02,  // report 1: 5 bytes in
        0x85, 0x02, 0x95, 0x07, 0x81, 0x02, 0x91, 0x02,  // report 2: 7 in, 7 out
        0xA1, 0x02, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02, 0xC0,  // nested: 4 more bits of report 2
        0xC0,
        0xA4, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,        // push; page 0x0C, usage 1
        0x85, 0x03, 0x75, 0x10, 0x95, 0x01, 0xB1, 0x02,  // report 3: 2 feature bytes
        0xC0, 0xB4,                                      // pop
        0xFE, 0x02, 0x10, 0xAB, 0xCD,                    // a long item is skipped
        0x0B, 0x00, 0x00, 0x01, 0x00, 0xA1, 0x01,        // four-byte usage: page 1, usage 0
        0x85, 0x04, 0x75, 0x08, 0x95, 0x03, 0x91, 0x02, 0xC0};
    std::vector<CollectionReports> c;
    ASSERT_TRUE(Parse(d, c));
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(std::tie(c[0].usagePage, c[0].usage, c[0].inputLength, c[0].outputLength, c[0].featureLength),
              std::make_tuple(uint16_t(1), uint16_t(3), uint16_t(9), uint16_t(8), uint16_t(0)));
    EXPECT_TRUE(c[0].numberedReports);
    EXPECT_EQ(std::tie(c[1].usagePage, c[1].usage, c[1].inputLength, c[1].featureLength),
              std::make_tuple(uint16_t(0x0C), uint16_t(1), uint16_t(0), uint16_t(3)));
    EXPECT_EQ(std::tie(c[2].usagePage, c[2].usage, c[2].outputLength),
              std::make_tuple(uint16_t(1), uint16_t(0), uint16_t(4)));
}

TEST(ReportDescriptor, BrokenDescriptorsAreRefused) {
    const std::vector<Bytes> broken = {
        {},
        {0x05, 0x01, 0x09, 0x00},                   // no collection
        {0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x26, 0xFF},  // cut inside an item
        {0xC0},                                     // closes what was never opened
        {0xB4, 0xA1, 0x01, 0xC0},                   // pop without push
        {0xA1, 0x01, 0xFE, 0x09, 0x00, 0x01},       // long item running past the end
    };
    for (const Bytes& d : broken) {
        std::vector<CollectionReports> c;
        EXPECT_FALSE(Parse(d, c)) << testing::PrintToString(d);
    }
    // Huge sizes and counts do not overflow the lengths.
    Bytes huge = {0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0xC0};
    std::vector<CollectionReports> c;
    ASSERT_TRUE(Parse(huge, c));
    EXPECT_EQ(c[0].inputLength, 0xFFFF);
}

}  // namespace
}  // namespace stepora
