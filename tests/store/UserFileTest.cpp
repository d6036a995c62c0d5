#include "store/UserFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace stepora {
namespace {

UserFileHeader SampleHeader() {
    UserFileHeader h;
    h.unitSystem = 1;
    h.weight = 154;
    h.stride = 2875;
    SetHeaderPassword(h, "secret");
    h.firstDay = 40000;
    h.lastDay = 40100;
    h.goalSteps = 999999;
    h.goalCalories = 99999;
    h.goalDistance = 9999;
    h.defaultPeriod = 5;
    h.defaultKind = 2;
    h.periodMode = 3;
    h.dataKind = 1;
    h.weekStart = 7;
    return h;
}

TEST(HeaderCodec, PacksBigEndianWordsAndTheByteSum) {
    uint8_t bytes[kHeaderSize];
    PackHeader(SampleHeader(), bytes);
    EXPECT_EQ(0, std::memcmp(bytes, "user", 4));
    const uint8_t weight[] = {0, 0, 0, 154};
    EXPECT_EQ(0, std::memcmp(bytes + 8, weight, 4));
    EXPECT_EQ(0, std::memcmp(bytes + 16, "secret\0\0\0\0\0\0\0\0\0\0", 16));
    const uint8_t firstDay[] = {0x00, 0x00, 0x9C, 0x40};  // 40000
    EXPECT_EQ(0, std::memcmp(bytes + 32, firstDay, 4));
    uint32_t sum = 0;
    for (int i = 0; i < 72; ++i) sum += bytes[i];
    const uint32_t stored = uint32_t(bytes[72]) << 24 | bytes[73] << 16 | bytes[74] << 8 | bytes[75];
    EXPECT_EQ(sum, stored);
}

TEST(HeaderCodec, RoundTripsEveryWord) {
    const UserFileHeader in = SampleHeader();
    uint8_t bytes[kHeaderSize];
    PackHeader(in, bytes);
    UserFileHeader out;
    ASSERT_TRUE(UnpackHeader(bytes, out));
    EXPECT_EQ(out.magic, kUserMagic);
    EXPECT_EQ(out.stride, 2875u);
    EXPECT_EQ(HeaderPassword(out), "secret");
    EXPECT_EQ(out.lastDay, 40100u);
    EXPECT_EQ(out.goalSteps, 999999u);
    EXPECT_EQ(out.weekStart, 7u);
    EXPECT_EQ(out.checksum, ByteSum(bytes, 72));
}

TEST(HeaderCodec, AnyChangedByteBreaksTheChecksumButASwapDoesNot) {
    uint8_t bytes[kHeaderSize];
    PackHeader(SampleHeader(), bytes);
    UserFileHeader h;
    for (int i = 0; i < 72; ++i) {
        uint8_t copy[kHeaderSize];
        std::memcpy(copy, bytes, kHeaderSize);
        copy[i] ^= 0x01;
        EXPECT_FALSE(UnpackHeader(copy, h)) << "byte " << i;
    }
    // A sum of bytes, not of words: moving bytes around keeps it.
    std::swap(bytes[11], bytes[33]);
    EXPECT_TRUE(UnpackHeader(bytes, h));
}

TEST(HeaderCodec, MagicIsIgnoredOnReadAndForcedOnWrite) {
    uint8_t bytes[kHeaderSize];
    PackHeader(SampleHeader(), bytes);
    std::memcpy(bytes, "resu", 4);  // same bytes, same sum
    UserFileHeader h;
    ASSERT_TRUE(UnpackHeader(bytes, h));
    EXPECT_NE(h.magic, kUserMagic);
    PackHeader(h, bytes);
    EXPECT_EQ(0, std::memcmp(bytes, "user", 4));
}

TEST(HeaderCodec, PasswordOfFifteenBytesKeepsItsNulSixteenIsRefused) {
    UserFileHeader h;
    EXPECT_TRUE(SetHeaderPassword(h, "abcdefghijklmno"));
    EXPECT_EQ(h.password[15], 0);
    EXPECT_EQ(HeaderPassword(h), "abcdefghijklmno");
    EXPECT_FALSE(SetHeaderPassword(h, "abcdefghijklmnop"));
    EXPECT_EQ(HeaderPassword(h), "abcdefghijklmno");  // untouched
    // Fifteen bytes is the limit, not fifteen letters: five umlauts take ten bytes.
    EXPECT_TRUE(SetHeaderPassword(h, "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4xyzab"));
    EXPECT_FALSE(SetHeaderPassword(h, "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4xyzabc"));
    EXPECT_TRUE(SetHeaderPassword(h, ""));
    EXPECT_EQ(h.password[0], 0);
}

TEST(HeaderCodec, NewUserHeaderStartsTheDayBeforeCreation) {
    const UserFileHeader h = NewUserHeader(46000, "pw");
    EXPECT_EQ(h.firstDay, 45999u);
    EXPECT_EQ(h.lastDay, 45999u);
    EXPECT_EQ(h.defaultPeriod, 1u);
    EXPECT_EQ(h.periodMode, 1u);
    EXPECT_EQ(h.weekStart, 1u);
    EXPECT_EQ(h.unitSystem + h.weight + h.stride + h.goalSteps + h.goalCalories + h.goalDistance +
                  h.defaultKind + h.dataKind,
              0u);
}

TEST(DayRecordCodec, LayoutAndRoundTrip) {
    DayRecord r;
    r.unitSystem = 1;
    r.weight = 0x1234;
    r.stride = 0xABCD;
    r.reserved = 0x55;  // never written
    r.steps = 999999;
    r.calories = 0x01020304;
    r.distance = 7;
    uint8_t bytes[kDayRecordSize];
    PackDayRecord(r, bytes);
    const uint8_t expected[kDayRecordSize] = {1, 0x12, 0x34, 0xAB, 0xCD, 0, 0x00, 0x0F, 0x42, 0x3F,
                                              1, 2, 3, 4, 0, 0, 0, 7};
    EXPECT_EQ(0, std::memcmp(bytes, expected, kDayRecordSize));
    const DayRecord back = UnpackDayRecord(bytes);
    EXPECT_EQ(back.weight, 0x1234);
    EXPECT_EQ(back.stride, 0xABCD);
    EXPECT_EQ(back.steps, 999999u);
    EXPECT_EQ(back.calories, 0x01020304u);
    EXPECT_EQ(back.distance, 7u);
}

}  // namespace
}  // namespace stepora
