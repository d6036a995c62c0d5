// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/HidInterface.h"
#include "store/UserFile.h"

namespace stepora {

enum Command : uint8_t { kCommandStart = 1, kCommandDone = 2, kCommandReject = 3 };
enum Status : uint8_t { kStatusIdle = 0, kStatusBlockReady = 1, kStatusPiece = 2 };

constexpr size_t kCommandBlockSize = 8;
constexpr size_t kStatusAnswerSize = 8;
constexpr size_t kPiecePayload = 7;  // bytes 0 .. 6 of a status-2 answer
constexpr uint8_t kBlockTerminator = 0xFF;
constexpr size_t kReceiveBufferSize = 2048;
constexpr size_t kMaxRecords = 64;
constexpr size_t kRecordSize = 9;
constexpr uint8_t kMetricDevice = 0xA8, kImperialDevice = 0xA9;
constexpr uint8_t kLongHeaderBit = 0x10;

// "USBC", the length and the direction (1 read, 2 write); a write block carries only the
// low byte of the length.
std::array<uint8_t, kCommandBlockSize> MakeCommandBlock(bool read, uint16_t length);
// "cmd", four zero bytes, the command number.
std::array<uint8_t, 8> MakeCommandPayload(uint8_t command);

bool ReadData(PedometerDevice& device, uint8_t* buffer, long length, long& received);
bool WriteData(PedometerDevice& device, const uint8_t* data, long length, long& sent);
bool SendCommand(PedometerDevice& device, uint8_t command);
bool PollStatus(PedometerDevice& device, std::array<uint8_t, kStatusAnswerSize>& answer);

struct DeviceData {
    uint32_t deviceType = 0, dayMode = 0, weight = 0, stride = 0, year = 0, month = 0, day = 0,
             recordCount = 0;                         // year: two digits
    std::vector<uint32_t> steps, calories, distance;  // one per record
};

// Checks and decodes an assembled block (terminator not included); nonzero on success.
// A block without a date of its own gets today's.
int DecodeBlock(const uint8_t* buffer, size_t length, DeviceData& data);

struct DownloadBuffer {
    uint32_t unitSystem = 0, dayMode = 0, weight = 0, stride = 0, firstDay = 0, lastDay = 0,
             count = 0;
    std::vector<DayRecord> records;  // day firstDay + i
};

// The block the transfer dialog's test button decodes: long header, imperial, day mode 1,
// weight 104, stride 210, no device date, three days.
extern const std::array<uint8_t, 36> kSampleBlock;

// The calendar days of a decoded block's records.
DownloadBuffer AssignDays(const DeviceData& data);

// The host side of receiving one block: one poll round per call.
class BlockReceiver {
public:
    enum class Outcome { PollAgain, BlockComplete };
    // What the round did, for whoever shows or counts it.
    enum class Event { Idle, Started, StartFailed, Piece, Rejected, Completed };

    Outcome PollOnce(PedometerDevice& device);
    void Reset();  // empty buffer, receiving flag clear

    Event LastEvent() const { return lastEvent_; }
    bool IsReceiving() const { return receiving_; }
    size_t BufferedBytes() const { return length_; }
    const DeviceData& Data() const { return data_; }  // valid after BlockComplete

private:
    Outcome Reject(PedometerDevice& device);

    std::array<uint8_t, kReceiveBufferSize> buffer_{};
    size_t length_ = 0;
    bool receiving_ = false;
    Event lastEvent_ = Event::Idle;
    DeviceData data_;
};

}  // namespace stepora
