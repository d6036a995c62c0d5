#include <gtest/gtest.h>

#include <functional>

#include "app/Clock.h"
#include "device/SimulatedPedometer.h"
#include "device/TransferProtocol.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

using Bytes = std::vector<uint8_t>;

BlockContents Dated(uint32_t year, uint32_t month, uint32_t day, size_t days = 0) {
    BlockContents c;
    c.year = year;
    c.month = month;
    c.day = day;
    for (size_t i = 0; i < days; ++i) c.days.push_back({uint32_t(1000 + i), uint32_t(20 * i), uint32_t(3 * i)});
    return c;
}

class Decode : public testing::Test {
protected:
    void SetUp() override {
        SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
    }
    void TearDown() override { SetLocalTodayOverride(nullptr); }
};

struct RuleCase {
    const char* name;
    std::function<Bytes()> block;
    bool accepted;
};

TEST_F(Decode, Rules) {
    auto encoded = [](std::function<void(BlockContents&)> change, std::function<void(Bytes&)> patch = nullptr) {
        return [=] {
            BlockContents c = Dated(8, 5, 10, 2);
            change(c);
            Bytes b = EncodeBlock(c);
            if (patch) patch(b);
            return b;
        };
    };
    auto none = [](BlockContents&) {};
    const std::vector<RuleCase> cases = {
        {"short header, no records", encoded([](BlockContents& c) { c.days.clear(); }), true},
        {"long header, no records", encoded([](BlockContents& c) { c.days.clear(); c.longHeader = true; }), true},
        {"64 records", encoded([](BlockContents& c) { c.days.resize(64); }), true},
        {"65 records", encoded([](BlockContents& c) { c.days.resize(65); }), false},
        {"one byte too many", encoded(none, [](Bytes& b) { b.push_back(0); }), false},
        {"one byte short", encoded(none, [](Bytes& b) { b.pop_back(); }), false},
        {"seven bytes, less than a header", [] { return Bytes(7, 0xA8); }, false},
        {"0xB9 is long and imperial", encoded([](BlockContents& c) { c.longHeader = true; c.deviceType = 0xA9; c.weight = 200; c.stride = 300; }), true},
        {"format 0xA0", encoded(none, [](Bytes& b) { b[0] = 0xA0; }), false},
        {"format 0xAA", encoded(none, [](Bytes& b) { b[0] = 0xAA; }), false},
        {"metric weight 10 and stride 150", encoded([](BlockContents& c) { c.weight = 10; c.stride = 150; }), true},
        {"metric weight 151", encoded([](BlockContents& c) { c.weight = 151; }), false},
        {"metric stride 9", encoded([](BlockContents& c) { c.stride = 9; }), false},
        {"imperial weight 40, stride 400", encoded([](BlockContents& c) { c.deviceType = 0xA9; c.weight = 40; c.stride = 400; }), true},
        {"imperial stride 401", encoded([](BlockContents& c) { c.deviceType = 0xA9; c.weight = 100; c.stride = 401; }), false},
        {"imperial weight 351", encoded([](BlockContents& c) { c.deviceType = 0xA9; c.weight = 351; c.stride = 200; }), false},
        {"imperial stride 99", encoded([](BlockContents& c) { c.deviceType = 0xA9; c.weight = 100; c.stride = 99; }), false},
        {"2000-02-29", encoded([](BlockContents& c) { c = Dated(0, 2, 29, 1); }), true},
        {"2001-02-29", encoded([](BlockContents& c) { c = Dated(1, 2, 29, 1); }), false},
        {"2099-12-31", encoded([](BlockContents& c) { c = Dated(99, 12, 31, 1); }), true},
        {"month 13", encoded([](BlockContents& c) { c = Dated(8, 13, 1); }), false},
        {"month 0", encoded([](BlockContents& c) { c = Dated(8, 0, 1); }), false},
        {"day 0", encoded([](BlockContents& c) { c = Dated(8, 5, 0); }), false},
        {"April 31", encoded([](BlockContents& c) { c = Dated(8, 4, 31); }), false},
        {"year digits 0xA0", encoded(none, [](Bytes& b) { b[5] = 0xA0; }), false},
        {"day digits 0x1A (20)", encoded(none, [](Bytes& b) { b[7] = 0x1A; }), true},
        {"only the year missing", encoded(none, [](Bytes& b) { b[5] = 0xAA; }), false},
        {"steps 999999", encoded([](BlockContents& c) { c.days[1].steps = 999999; }), true},
        {"steps with a top group of 0xA", encoded(none, [](Bytes& b) { b[8 + 9] = 0xA0; }), false},
        {"calories with a top group of 0xF", encoded(none, [](Bytes& b) { b[8 + 3] = 0xF0; }), false},
        {"distance with a low group above 9", encoded(none, [](Bytes& b) { b[8 + 8] = 0x0F; }), true},
    };
    for (const RuleCase& c : cases) {
        DeviceData d;
        d.recordCount = 77;
        Bytes b = c.block();
        EXPECT_EQ(DecodeBlock(b.data(), b.size(), d) != 0, c.accepted) << c.name;
        if (!c.accepted) {
            EXPECT_EQ(d.recordCount, 77u) << c.name << ": a refused block leaves the output alone";
        }
    }
}

TEST_F(Decode, EncodedContentsComeBackWhole) {
    BlockContents c = Dated(26, 11, 30, 64);
    c.longHeader = true;
    c.deviceType = 0xA9;
    c.dayMode = 7;
    c.weight = 350;
    c.stride = 123;
    c.days[63] = {999999, 123456, 654321};
    Bytes b = EncodeBlock(c);
    DeviceData d;
    ASSERT_TRUE(DecodeBlock(b.data(), b.size(), d));
    EXPECT_EQ(std::tie(d.deviceType, d.dayMode, d.weight, d.stride, d.year, d.month, d.day, d.recordCount),
              std::make_tuple(0xA9u, 7u, 350u, 123u, 26u, 11u, 30u, 64u));
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(d.steps[i], c.days[i].steps);
        EXPECT_EQ(d.calories[i], c.days[i].calories);
        EXPECT_EQ(d.distance[i], c.days[i].distance);
    }
}

TEST_F(Decode, SampleBlockTakesTodayForItsMissingDate) {
    DeviceData d;
    ASSERT_TRUE(DecodeBlock(kSampleBlock.data(), kSampleBlock.size(), d));
    EXPECT_EQ(std::tie(d.deviceType, d.dayMode, d.weight, d.stride, d.year, d.month, d.day, d.recordCount),
              std::make_tuple(0xA9u, 1u, 104u, 210u, 26u, 12u, 7u, 3u));
    EXPECT_EQ(d.steps, (std::vector<uint32_t>{100068, 345600, 400043}));
    EXPECT_EQ(d.calories, (std::vector<uint32_t>{1321, 9292, 1343}));
    EXPECT_EQ(d.distance, (std::vector<uint32_t>{1232, 2252, 3383}));
}

std::string DateOf(uint32_t day) {
    uint32_t y, m, d, w;
    if (!DayCalendar().DayToDate(day, y, m, d, w)) return "?";
    char text[16];
    snprintf(text, sizeof text, "%04u-%02u-%02u", y, m, d);
    return text;
}

TEST_F(Decode, AssignDaysPutsTheLastRecordOnTheHeaderDateOrTheDayBefore) {
    struct Case {
        bool longHeader;
        uint8_t dayMode;
        uint32_t year, month, day;
        const char *first, *last;
    };
    const Case cases[] = {
        {false, 0, 8, 5, 10, "2008-05-07", "2008-05-09"},  // short header: the day before
        {true, 1, 8, 5, 10, "2008-05-08", "2008-05-10"},
        {true, 0, 8, 5, 10, "2008-05-08", "2008-05-10"},
        {true, 255, 8, 5, 10, "2008-05-07", "2008-05-09"},
        {false, 0, 0, 1, 2, "1999-12-30", "2000-01-01"},
        {true, 1, 0, 3, 1, "2000-02-28", "2000-03-01"},
    };
    for (const Case& c : cases) {
        BlockContents contents = Dated(c.year, c.month, c.day, 3);
        contents.longHeader = c.longHeader;
        contents.dayMode = c.dayMode;
        contents.deviceType = 0xA9;
        contents.weight = 300;
        contents.stride = 250;
        Bytes b = EncodeBlock(contents);
        DeviceData d;
        ASSERT_TRUE(DecodeBlock(b.data(), b.size(), d));
        DownloadBuffer out = AssignDays(d);
        EXPECT_EQ(DateOf(out.firstDay), c.first);
        EXPECT_EQ(DateOf(out.lastDay), c.last);
        ASSERT_EQ(out.count, 3u);
        ASSERT_EQ(out.records.size(), 3u);
        EXPECT_EQ(out.unitSystem, 1u);
        for (size_t i = 0; i < 3; ++i) {
            const DayRecord& r = out.records[i];
            EXPECT_EQ(std::tie(r.unitSystem, r.weight, r.stride, r.reserved), std::make_tuple(uint8_t(1), uint16_t(300), uint16_t(250), uint8_t(0)));
            EXPECT_EQ(std::tie(r.steps, r.calories, r.distance), std::tie(contents.days[i].steps, contents.days[i].calories, contents.days[i].distance));
        }
    }
    DeviceData empty;
    empty.deviceType = 0xA8;
    empty.year = 8;
    empty.month = 5;
    empty.day = 10;
    DownloadBuffer none = AssignDays(empty);
    EXPECT_EQ(std::tie(none.firstDay, none.lastDay, none.count, none.unitSystem), std::make_tuple(0u, 0u, 0u, 0u));
    EXPECT_TRUE(none.records.empty());
}

}  // namespace
}  // namespace stepora
