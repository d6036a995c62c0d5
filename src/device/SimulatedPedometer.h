// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace stepora {

// The contents of a block the simulated pedometer sends, in plain numbers.
struct BlockContents {
    bool longHeader = false;
    uint8_t deviceType = 0xA8;  // 0xA8 metric, 0xA9 imperial
    uint8_t dayMode = 0;        // long header only
    uint32_t weight = 70, stride = 70;
    std::optional<uint32_t> year, month, day;  // all empty: the device has no date
    struct Day {
        uint32_t steps = 0, calories = 0, distance = 0;
    };
    std::vector<Day> days;
};

// The bytes of a block as the device assembles it (terminator not included): numbers
// as packed decimal, a missing date as 0xAA 0xAA 0xAA.
std::vector<uint8_t> EncodeBlock(const BlockContents& contents);

// The device side of the transfer: answers status polls, announces its block, sends it
// in 7-byte pieces and obeys start, done and reject. It can be told to misbehave the way
// real devices do.
class SimulatedPedometer {
public:
    explicit SimulatedPedometer(std::vector<uint8_t> block = {});

    // Misbehaviours.
    void SendPieceBeforeAnnouncing() { pieceBeforeAnnounce_ = true; }  // once
    void LosePiece(size_t index) { lostPiece_ = index; }               // once
    void AnswerGarbageEvery(size_t polls) { garbageEvery_ = polls; }   // unknown status bytes
    void NeverEndBlock() { neverEnds_ = true; }                        // no terminator, ever
    void AnnounceAfterPolls(size_t polls) { announceDelay_ = polls; }
    void IgnoreRejects() { ignoreRejects_ = true; }  // goes on as if not told
    // Polls without a command after the last piece before the device starts over.
    void SetPatience(size_t polls) { patience_ = polls; }

    // Whole reports from the host, report-id byte first.
    void OnCommandReport(const uint8_t* report, size_t length);
    void OnDataReport(const uint8_t* report, size_t length);
    // Fills the next input report of the data collection; false when the host asked for nothing.
    bool NextDataReport(uint8_t* report, size_t length);
    // Plugged in again: the exchange starts over, the block stays.
    void Reconnected();

    // What the host did.
    const std::vector<uint8_t>& Commands() const { return commands_; }
    size_t ProtocolErrors() const { return protocolErrors_; }
    size_t StatusPolls() const { return polls_; }
    bool Finished() const { return state_ == State::Finished; }

private:
    enum class State { Waiting, Announcing, Sending, AwaitingCommand, Finished };
    void OnCommandBlock();
    void OnPayload();
    std::vector<uint8_t> StatusAnswer();

    std::vector<uint8_t> stream_;  // block plus terminator
    State state_ = State::Waiting;
    size_t nextPiece_ = 0, idlePolls_ = 0;
    bool pieceBeforeAnnounce_ = false, neverEnds_ = false, ignoreRejects_ = false;
    std::optional<size_t> lostPiece_;
    size_t garbageEvery_ = 0, announceDelay_ = 0, patience_ = 20;

    std::vector<uint8_t> commandBytes_, payloadBytes_;
    size_t payloadExpected_ = 0;
    std::deque<uint8_t> pendingInput_;
    std::vector<uint8_t> commands_;
    size_t protocolErrors_ = 0, polls_ = 0;
};

}  // namespace stepora
