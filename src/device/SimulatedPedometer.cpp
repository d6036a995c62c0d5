// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SimulatedPedometer.h"

#include <algorithm>

#include "device/TransferProtocol.h"

namespace stepora {
namespace {

void PutBcd(std::vector<uint8_t>& out, uint32_t value, size_t bytes) {
    std::vector<uint8_t> packed(bytes);
    for (size_t i = bytes; i-- > 0;) {
        packed[i] = static_cast<uint8_t>((value % 10) | ((value / 10 % 10) << 4));
        value /= 100;
    }
    out.insert(out.end(), packed.begin(), packed.end());
}

}  // namespace

std::vector<uint8_t> EncodeBlock(const BlockContents& c) {
    std::vector<uint8_t> out;
    out.push_back(static_cast<uint8_t>(c.deviceType | (c.longHeader ? kLongHeaderBit : 0)));
    if (c.longHeader) out.push_back(c.dayMode);
    PutBcd(out, c.weight, 2);
    PutBcd(out, c.stride, 2);
    if (c.year && c.month && c.day) {
        PutBcd(out, *c.year, 1);
        PutBcd(out, *c.month, 1);
        PutBcd(out, *c.day, 1);
    } else {
        out.insert(out.end(), {0xAA, 0xAA, 0xAA});
    }
    for (const BlockContents::Day& d : c.days) {
        PutBcd(out, d.steps, 3);
        PutBcd(out, d.calories, 3);
        PutBcd(out, d.distance, 3);
    }
    return out;
}

SimulatedPedometer::SimulatedPedometer(std::vector<uint8_t> block) : stream_(std::move(block)) {
    stream_.push_back(kBlockTerminator);
}

void SimulatedPedometer::Reconnected() {
    state_ = State::Waiting;
    idlePolls_ = 0;
    commandBytes_.clear();
    payloadBytes_.clear();
    payloadExpected_ = 0;
    pendingInput_.clear();
}

void SimulatedPedometer::OnCommandReport(const uint8_t* report, size_t length) {
    if (length < 2 || report[0] != 0) {
        ++protocolErrors_;
        return;
    }
    // A report opening with "USBC" starts a command block, whatever a broken-off one
    // left; a block is 8 bytes and the rest of its last report is padding.
    if (length >= 5 && report[1] == 0x55 && report[2] == 0x53 && report[3] == 0x42 &&
        report[4] == 0x43)
        commandBytes_.clear();
    for (size_t i = 1; i < length && commandBytes_.size() < kCommandBlockSize; ++i)
        commandBytes_.push_back(report[i]);
    if (commandBytes_.size() == kCommandBlockSize) OnCommandBlock();
}

void SimulatedPedometer::OnCommandBlock() {
    std::vector<uint8_t> block;
    block.swap(commandBytes_);
    bool usbc = block[0] == 0x55 && block[1] == 0x53 && block[2] == 0x42 && block[3] == 0x43 &&
                block[7] == 0;
    // Whatever an interrupted exchange left behind is dropped.
    pendingInput_.clear();
    payloadBytes_.clear();
    payloadExpected_ = 0;
    if (!usbc) {
        ++protocolErrors_;
        return;
    }
    if (block[6] == 1) {  // read: the host wants an 8-byte status answer
        size_t length = size_t(block[4]) << 8 | block[5];
        if (length != kStatusAnswerSize) {
            ++protocolErrors_;
            return;
        }
        auto answer = StatusAnswer();
        pendingInput_.assign(answer.begin(), answer.end());
    } else if (block[6] == 2 && block[4] == 0 &&
               block[5] == 8) {  // write: a command payload follows
        payloadExpected_ = block[5];
    } else {
        ++protocolErrors_;
    }
}

void SimulatedPedometer::OnDataReport(const uint8_t* report, size_t length) {
    if (length < 2 || report[0] != 0 || payloadExpected_ == 0) {
        ++protocolErrors_;
        return;
    }
    for (size_t i = 1; i < length && payloadBytes_.size() < payloadExpected_; ++i)
        payloadBytes_.push_back(report[i]);
    if (payloadBytes_.size() == payloadExpected_) OnPayload();
}

void SimulatedPedometer::OnPayload() {
    std::vector<uint8_t> p;
    p.swap(payloadBytes_);
    payloadExpected_ = 0;
    if (p.size() != 8 || p[0] != 0x63 || p[1] != 0x6D || p[2] != 0x64 || p[3] || p[4] || p[5] ||
        p[6]) {
        ++protocolErrors_;
        return;
    }
    commands_.push_back(p[7]);
    switch (p[7]) {
        case kCommandStart:
            if (state_ == State::Finished) break;
            state_ = State::Sending;
            nextPiece_ = 0;
            break;
        case kCommandDone:
            if (state_ == State::AwaitingCommand)
                state_ = State::Finished;
            else
                ++protocolErrors_;  // "done" for a block that was not sent whole
            break;
        case kCommandReject:
            if (state_ != State::Finished && !ignoreRejects_) state_ = State::Announcing;
            break;
        default:
            ++protocolErrors_;
    }
}

std::vector<uint8_t> SimulatedPedometer::StatusAnswer() {
    ++polls_;
    std::vector<uint8_t> answer(kStatusAnswerSize, 0);
    if (garbageEvery_ && polls_ % garbageEvery_ == 0) {
        // Unknown status with bytes that would end a block if taken as a piece.
        std::fill(answer.begin(), answer.end() - 1, kBlockTerminator);
        answer[7] = static_cast<uint8_t>(0x30 + polls_ % 0xC0);
        return answer;
    }
    if (pieceBeforeAnnounce_ && state_ != State::Sending) {
        pieceBeforeAnnounce_ = false;
        std::copy(stream_.begin(), stream_.begin() + std::min(stream_.size(), kPiecePayload),
                  answer.begin());
        answer[7] = kStatusPiece;
        return answer;
    }
    switch (state_) {
        case State::Waiting:
            if (idlePolls_++ < announceDelay_) break;
            state_ = State::Announcing;
            [[fallthrough]];
        case State::Announcing:
            answer[7] = kStatusBlockReady;
            break;
        case State::Sending: {
            if (lostPiece_ && nextPiece_ == *lostPiece_) {
                lostPiece_.reset();
                ++nextPiece_;
            }
            answer[7] = kStatusPiece;
            if (neverEnds_) {
                std::fill(answer.begin(), answer.end() - 1,
                          static_cast<uint8_t>(0x11 + nextPiece_++ % 0x80));
                break;
            }
            size_t from = nextPiece_++ * kPiecePayload;
            for (size_t i = 0; i < kPiecePayload && from + i < stream_.size(); ++i)
                answer[i] = stream_[from + i];
            if (from + kPiecePayload >= stream_.size()) {
                state_ = State::AwaitingCommand;
                idlePolls_ = 0;
            }
            break;
        }
        case State::AwaitingCommand:
            // A host that never answers the block gets it announced again.
            if (++idlePolls_ > patience_) state_ = State::Announcing;
            break;
        case State::Finished:
            break;
    }
    return answer;
}

bool SimulatedPedometer::NextDataReport(uint8_t* report, size_t length) {
    if (pendingInput_.empty() || length < 2) return false;
    std::fill(report, report + length, 0);
    for (size_t i = 1; i < length && !pendingInput_.empty(); ++i) {
        report[i] = pendingInput_.front();
        pendingInput_.pop_front();
    }
    return true;
}

}  // namespace stepora
