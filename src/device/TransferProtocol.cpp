// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/TransferProtocol.h"

#include "app/Clock.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

constexpr long kMaxTransferLength = 65535;

// Packed decimal, high digit first. Every 4-bit group counts as a digit, so 0xA .. 0xF
// read as 10 .. 15 and a value can come out above what its digits could hold.
uint32_t Bcd(const uint8_t* p, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = (value * 10 + (p[i] >> 4)) * 10 + (p[i] & 0x0F);
    return value;
}

bool InRange(uint32_t v, uint32_t low, uint32_t high) {
    return v >= low && v <= high;
}

}  // namespace

const std::array<uint8_t, 36> kSampleBlock = {0xB9, 0x01, 0x01, 0x04, 0x02, 0x10, 0xAA, 0xAA, 0xAA,
                                              0x10, 0x00, 0x68, 0x00, 0x13, 0x21, 0x00, 0x12, 0x32,
                                              0x34, 0x56, 0x00, 0x00, 0x92, 0x92, 0x00, 0x22, 0x52,
                                              0x40, 0x00, 0x43, 0x00, 0x13, 0x43, 0x00, 0x33, 0x83};

std::array<uint8_t, kCommandBlockSize> MakeCommandBlock(bool read, uint16_t length) {
    return {0x55,
            0x53,
            0x42,
            0x43,
            static_cast<uint8_t>(read ? length >> 8 : 0),
            static_cast<uint8_t>(length & 0xFF),
            static_cast<uint8_t>(read ? 1 : 2),
            0};
}

std::array<uint8_t, 8> MakeCommandPayload(uint8_t command) {
    return {0x63, 0x6D, 0x64, 0, 0, 0, 0, command};
}

bool ReadData(PedometerDevice& device, uint8_t* buffer, long length, long& received) {
    received = 0;
    if (length >= kMaxTransferLength) return false;
    auto block = MakeCommandBlock(true, static_cast<uint16_t>(length));
    long sent = 0;
    return WriteReports(device.commandInterface, block.data(), block.size(), sent) &&
           ReadReports(device.dataInterface, buffer, length, received);
}

bool WriteData(PedometerDevice& device, const uint8_t* data, long length, long& sent) {
    sent = 0;
    if (length >= kMaxTransferLength) return false;
    auto block = MakeCommandBlock(false, static_cast<uint16_t>(length));
    long blockSent = 0;
    return WriteReports(device.commandInterface, block.data(), block.size(), blockSent) &&
           WriteReports(device.dataInterface, data, length, sent);
}

bool SendCommand(PedometerDevice& device, uint8_t command) {
    auto payload = MakeCommandPayload(command);
    long sent = 0;
    return WriteData(device, payload.data(), payload.size(), sent);
}

bool PollStatus(PedometerDevice& device, std::array<uint8_t, kStatusAnswerSize>& answer) {
    answer.fill(0);
    long received = 0;
    return ReadData(device, answer.data(), answer.size(), received);
}

int DecodeBlock(const uint8_t* buffer, size_t length, DeviceData& data) {
    if (!buffer || length < 8) return 0;
    const bool longHeader = buffer[0] & kLongHeaderBit;
    const size_t header = longHeader ? 9 : 8;
    if (length < header || (length - header) % kRecordSize != 0 ||
        length - header > kMaxRecords * kRecordSize)
        return 0;

    DeviceData d;
    d.deviceType = buffer[0] & ~kLongHeaderBit & 0xFF;
    if (d.deviceType != kMetricDevice && d.deviceType != kImperialDevice) return 0;
    const uint8_t* h = buffer + (longHeader ? 2 : 1);
    d.dayMode = longHeader ? buffer[1] : 255;
    d.weight = Bcd(h, 2);
    d.stride = Bcd(h + 2, 2);
    d.year = Bcd(h + 4, 1);
    d.month = Bcd(h + 5, 1);
    d.day = Bcd(h + 6, 1);
    d.recordCount = static_cast<uint32_t>((length - header) / kRecordSize);
    for (uint32_t i = 0; i < d.recordCount; ++i) {
        const uint8_t* r = buffer + header + i * kRecordSize;
        d.steps.push_back(Bcd(r, 3));
        d.calories.push_back(Bcd(r + 3, 3));
        d.distance.push_back(Bcd(r + 6, 3));
    }

    const uint32_t unit = d.deviceType == kMetricDevice ? 0 : 1;
    if (!WeightInRange(unit, d.weight) || !StrideInRange(unit, d.stride)) return 0;

    if (d.year == 110 && d.month == 110 && d.day == 110) {  // the device has no date
        LocalDate today = LocalToday();
        d.year = today.year % 100;
        d.month = today.month;
        d.day = today.day;
    } else {
        // February has 29 days in every two-digit year divisible by 4, 00 included.
        uint32_t monthLength =
            d.month == 2 ? (d.year % 4 == 0 ? 29 : 28) : MonthLength(2001, d.month);
        if (d.year > 99 || !InRange(d.month, 1, 12) || !InRange(d.day, 1, monthLength)) return 0;
    }

    for (const auto* values : {&d.steps, &d.calories, &d.distance}) {
        if (values->size() != d.recordCount) return 0;
        for (uint32_t v : *values)
            if (v > 999999) return 0;
    }
    data = std::move(d);
    return 1;
}

DownloadBuffer AssignDays(const DeviceData& data) {
    DownloadBuffer out;
    out.unitSystem = data.deviceType == kMetricDevice ? 0 : 1;
    out.dayMode = data.dayMode;
    out.weight = data.weight;
    out.stride = data.stride;
    size_t n = std::min(
        {size_t(data.recordCount), data.steps.size(), data.calories.size(), data.distance.size()});
    uint32_t last = 0, weekday = 0;
    if (n == 0 || !DayCalendar().DateToDay(2000 + data.year, data.month, data.day, last, weekday))
        return out;
    if (data.dayMode == 255) --last;  // the short header dates the day after the last record
    if (last < n) return out;
    out.lastDay = last;
    out.firstDay = last - static_cast<uint32_t>(n) + 1;
    out.count = static_cast<uint32_t>(n);
    for (size_t i = 0; i < n; ++i) {
        DayRecord r;
        r.unitSystem = static_cast<uint8_t>(out.unitSystem);
        r.weight = static_cast<uint16_t>(data.weight & 0xFFFF);
        r.stride = static_cast<uint16_t>(data.stride & 0xFFFF);
        r.steps = data.steps[i];
        r.calories = data.calories[i];
        r.distance = data.distance[i];
        out.records.push_back(r);
    }
    return out;
}

void BlockReceiver::Reset() {
    length_ = 0;
    receiving_ = false;
}

BlockReceiver::Outcome BlockReceiver::Reject(PedometerDevice& device) {
    // After a reject only a new announcement (status 1) starts collecting again, so pieces
    // of a block the device did not restart can never make up a block.
    Reset();
    SendCommand(device, kCommandReject);
    lastEvent_ = Event::Rejected;
    return Outcome::PollAgain;
}

BlockReceiver::Outcome BlockReceiver::PollOnce(PedometerDevice& device) {
    std::array<uint8_t, kStatusAnswerSize> answer;
    if (!PollStatus(device, answer)) return Reject(device);
    switch (answer[7]) {
        case kStatusBlockReady:
            Reset();
            receiving_ = SendCommand(device, kCommandStart);
            lastEvent_ = receiving_ ? Event::Started : Event::StartFailed;
            return Outcome::PollAgain;
        case kStatusPiece:
            if (!receiving_) return Reject(device);
            for (size_t i = 0; i < kPiecePayload; ++i) {
                if (length_ == buffer_.size()) return Reject(device);
                if (answer[i] == kBlockTerminator) {
                    DeviceData decoded;
                    if (!DecodeBlock(buffer_.data(), length_, decoded) ||
                        !SendCommand(device, kCommandDone))
                        return Reject(device);
                    data_ = std::move(decoded);
                    Reset();
                    lastEvent_ = Event::Completed;
                    return Outcome::BlockComplete;
                }
                buffer_[length_++] = answer[i];
            }
            lastEvent_ = Event::Piece;
            return Outcome::PollAgain;
        default:
            lastEvent_ = Event::Idle;
            return Outcome::PollAgain;
    }
}

}  // namespace stepora
