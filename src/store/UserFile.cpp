// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/UserFile.h"

#include <cstring>

#include "app/Format.h"

namespace stepora {
namespace {

void PutBigEndian16(uint8_t* out, uint16_t v) {
    out[0] = uint8_t(v >> 8);
    out[1] = uint8_t(v);
}
uint16_t GetBigEndian16(const uint8_t* in) {
    return uint16_t(in[0] << 8 | in[1]);
}

}  // namespace

uint32_t GetBigEndian32(const uint8_t* in) {
    return uint32_t(in[0]) << 24 | uint32_t(in[1]) << 16 | uint32_t(in[2]) << 8 | in[3];
}

void PutBigEndian32(uint8_t* out, uint32_t v) {
    out[0] = uint8_t(v >> 24);
    out[1] = uint8_t(v >> 16);
    out[2] = uint8_t(v >> 8);
    out[3] = uint8_t(v);
}

uint32_t ByteSum(const uint8_t* bytes, size_t length, uint32_t start) {
    uint32_t sum = start;
    for (size_t i = 0; i < length; ++i) sum += bytes[i];
    return sum;
}

void PackHeader(const UserFileHeader& h, uint8_t out[kHeaderSize]) {
    PutBigEndian32(out + 0, kUserMagic);
    PutBigEndian32(out + 4, h.unitSystem);
    PutBigEndian32(out + 8, h.weight);
    PutBigEndian32(out + 12, h.stride);
    std::memcpy(out + 16, h.password, kPasswordBytes);
    const uint32_t tail[] = {h.firstDay,     h.lastDay,       h.goalSteps,   h.goalCalories,
                             h.goalDistance, h.defaultPeriod, h.defaultKind, h.periodMode,
                             h.dataKind,     h.weekStart};
    for (size_t i = 0; i < std::size(tail); ++i) PutBigEndian32(out + 32 + 4 * i, tail[i]);
    PutBigEndian32(out + 72, ByteSum(out, 72));
}

int UnpackHeader(const uint8_t in[kHeaderSize], UserFileHeader& h) {
    h.magic = GetBigEndian32(in + 0);
    h.unitSystem = GetBigEndian32(in + 4);
    h.weight = GetBigEndian32(in + 8);
    h.stride = GetBigEndian32(in + 12);
    std::memcpy(h.password, in + 16, kPasswordBytes);
    uint32_t* tail[] = {&h.firstDay,     &h.lastDay,       &h.goalSteps,   &h.goalCalories,
                        &h.goalDistance, &h.defaultPeriod, &h.defaultKind, &h.periodMode,
                        &h.dataKind,     &h.weekStart,     &h.checksum};
    for (size_t i = 0; i < std::size(tail); ++i) *tail[i] = GetBigEndian32(in + 32 + 4 * i);
    return ByteSum(in, 72) == h.checksum ? 1 : 0;
}

void PackDayRecord(const DayRecord& r, uint8_t out[kDayRecordSize]) {
    out[0] = r.unitSystem;
    PutBigEndian16(out + 1, r.weight);
    PutBigEndian16(out + 3, r.stride);
    out[5] = 0;
    PutBigEndian32(out + 6, r.steps);
    PutBigEndian32(out + 10, r.calories);
    PutBigEndian32(out + 14, r.distance);
}

DayRecord UnpackDayRecord(const uint8_t in[kDayRecordSize]) {
    DayRecord r;
    r.unitSystem = in[0];
    r.weight = GetBigEndian16(in + 1);
    r.stride = GetBigEndian16(in + 3);
    r.reserved = in[5];
    r.steps = GetBigEndian32(in + 6);
    r.calories = GetBigEndian32(in + 10);
    r.distance = GetBigEndian32(in + 14);
    return r;
}

std::string HeaderPassword(const UserFileHeader& h) {
    const char* text = reinterpret_cast<const char*>(h.password);
    return std::string(text, strnlen(text, kPasswordBytes));
}

int SetHeaderPassword(UserFileHeader& h, const std::string& password) {
    // The field keeps its NUL, so a password may not hold one either.
    if (password.size() > kMaxPasswordLength || password.find('\0') != std::string::npos) return 0;
    std::memset(h.password, 0, kPasswordBytes);
    std::memcpy(h.password, password.data(), password.size());
    return 1;
}

UserFileHeader NewUserHeader(uint32_t creationDay, const std::string& password) {
    UserFileHeader h;
    h.magic = kUserMagic;
    SetHeaderPassword(h, password);
    h.firstDay = h.lastDay = creationDay - 1;
    h.defaultPeriod = 1;
    h.defaultKind = 0;
    h.periodMode = 1;
    h.dataKind = 0;
    h.weekStart = kDefaultWeekStart;
    return h;
}

std::string WeightText(uint32_t weight) {
    return Format("%u", weight);
}

std::string StrideText(uint32_t unitSystem, uint32_t stride) {
    return IsImperial(unitSystem) ? Format("%u.%02u", stride / 100, stride % 100)
                                  : Format("%u", stride);
}

bool WeightInRange(uint32_t unitSystem, uint32_t weight) {
    return !IsImperial(unitSystem) ? weight >= 10 && weight <= 150 : weight >= 40 && weight <= 350;
}

bool StrideInRange(uint32_t unitSystem, uint32_t stride) {
    return !IsImperial(unitSystem) ? stride >= 10 && stride <= 150 : stride >= 100 && stride <= 400;
}

}  // namespace stepora
