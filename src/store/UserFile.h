// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of a user file: a 76-byte header and one 18-byte record per day, every
// integer big-endian. Files written here are read by every earlier release and back.
#include <cstddef>
#include <cstdint>
#include <string>

namespace stepora {

constexpr uint32_t kHeaderSize = 76, kDayRecordSize = 18, kUserMagic = 0x75736572,
                   kMaxDayNumber = 109573;
constexpr uint32_t kPasswordBytes = 16;  // 15 bytes of text and the NUL
constexpr uint32_t kMaxPasswordLength = kPasswordBytes - 1;

struct UserFileHeader {  // the nineteen words of the header, in file order
    uint32_t magic = 0, unitSystem = 0, weight = 0, stride = 0;
    uint8_t password[kPasswordBytes] = {};
    uint32_t firstDay = 0, lastDay = 0, goalSteps = 0, goalCalories = 0, goalDistance = 0,
             defaultPeriod = 0, defaultKind = 0, periodMode = 0, dataKind = 0, weekStart = 0,
             checksum = 0;
};

struct DayRecord {
    uint8_t unitSystem = 0;
    uint16_t weight = 0, stride = 0;
    uint8_t reserved = 0;
    uint32_t steps = 0, calories = 0, distance = 0;
};

void PackHeader(const UserFileHeader& header,
                uint8_t out[kHeaderSize]);  // forces magic, writes the checksum
int UnpackHeader(const uint8_t in[kHeaderSize],
                 UserFileHeader& header);  // nonzero when the checksum holds
void PackDayRecord(const DayRecord& record, uint8_t out[kDayRecordSize]);
DayRecord UnpackDayRecord(const uint8_t in[kDayRecordSize]);

// The one byte order of the files: big-endian unsigned 32-bit words.
uint32_t GetBigEndian32(const uint8_t* in);
void PutBigEndian32(uint8_t* out, uint32_t value);

// Unsigned 32-bit sum of bytes, carries beyond 32 bits dropped. Both the header checksum
// and the trailer of an exported user file are such sums.
uint32_t ByteSum(const uint8_t* bytes, size_t length, uint32_t start = 0);

// The password field as text (up to its NUL) and back. SetHeaderPassword fails for a
// password longer than 15 bytes.
std::string HeaderPassword(const UserFileHeader& header);
int SetHeaderPassword(UserFileHeader& header, const std::string& password);

// The header of a user file created on the given day: its weeks start on Sunday.
constexpr uint32_t kDefaultWeekStart = 1;
UserFileHeader NewUserHeader(uint32_t creationDay, const std::string& password);

// How a profile counts: metric (kg, cm, the metric distance unit) or imperial (lb,
// hundredths of an inch, the imperial distance unit). Any stored value but 0 reads as imperial.
enum class UnitSystem : uint32_t { Metric = 0, Imperial = 1 };
inline bool IsImperial(uint32_t unitSystem) {
    return unitSystem != static_cast<uint32_t>(UnitSystem::Metric);
}
inline bool IsImperial(const UserFileHeader& header) {
    return IsImperial(header.unitSystem);
}
// A profile whose weight and stride were never set takes any incoming data.
inline bool ProfileNeverFilled(const UserFileHeader& header) {
    return header.weight == 0 && header.stride == 0;
}
// Weight and stride as every window and file shows them, without unit: whole kg or lb;
// whole cm, or inches with two decimals.
std::string WeightText(uint32_t weight);
std::string StrideText(uint32_t unitSystem, uint32_t stride);

// The weights and strides a profile may hold, in its unit system (0 metric: kg and cm;
// 1 imperial: lb and hundredths of an inch). 0, "not set", is not among them.
bool WeightInRange(uint32_t unitSystem, uint32_t weight);
bool StrideInRange(uint32_t unitSystem, uint32_t stride);

}  // namespace stepora
