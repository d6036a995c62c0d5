// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/TransferSession.h"

#include <algorithm>
#include <utility>

namespace stepora {

using Action = TransferSession::Action;

TransferSession::Actions TransferSession::Open(const PedometerLink& link) {
    phase_ = Phase::Waiting;
    data_ = {};
    pedometerNodes_.clear();
    receiver_.Reset();
    boxes_.clear();
    device_.reset();
    // Without a link there is no pedometer to find: the window only waits.
    if (link.makeBackend && link.makeMonitor) {
        backend_ = link.makeBackend();
        monitor_ = link.makeMonitor();
        device_ = std::make_unique<PedometerDevice>(*backend_, monitor_.get());
    }
    connected_ = device_ && FindPedometer(*device_);
    deviceAbsent_ = !connected_;
    denied_ = !connected_ && backend_ && PedometerAccessDenied(*backend_);
    if (connected_) NotePedometerNodes();
    const Text status = connected_ ? Text(USBTRANS_STR3)
                        : denied_  ? Text(USBTRANS_STR9)
                                   : Text(USBTRANS_STR4);
    Do({.kind = Action::SetStatus, .text = status});
    Do({.kind = Action::StartTimer, .timer = Timer::Start});
    return Take();
}

TransferSession::Actions TransferSession::DeviceEvents() {
    if (!monitor_ || !device_) return {};
    for (const DeviceEvent& event : monitor_->TakeEvents()) {
        if (event.kind == DeviceEvent::Arrived) {
            if (connected_) continue;
            if (OpenFromNode(*device_, event.node)) {
                connected_ = true;
                denied_ = false;
                NotePedometerNodes();
                Do({.kind = Action::Post, .later = Later::DeviceConnected});
            } else if (PedometerAccessDenied(*backend_, event.node)) {
                ShowDenied(true);
            }
            continue;
        }
        std::vector<HidHandle> handles = monitor_->HandlesOnNode(event.node);
        // After a finished transfer the session closed the pedometer itself; pulling it out
        // still counts as losing it, which takes the success box down.
        if (handles.empty() && pedometerNodes_.count(event.node)) handles.push_back(kNoHidHandle);
        for (HidHandle handle : handles)
            if (HandleRemoval(*device_, handle, this)) connected_ = false;
        // The pedometer that could not be opened was pulled out: the window waits again.
        if (denied_ && !connected_ && !PedometerAccessDenied(*backend_)) ShowDenied(false);
    }
    return Take();
}

void TransferSession::OnInterfaceClosed(uint64_t registration) {
    Do({.kind = Action::Post, .later = Later::InterfaceClosed, .registration = registration});
}

void TransferSession::OnPedometerGone() {
    Do({.kind = Action::Post, .later = Later::PedometerGone});
}

TransferSession::Actions TransferSession::Resume(const Action& posted) {
    switch (posted.later) {
        case Later::PollRound:
            return PollRound();
        case Later::InterfaceClosed:
            if (monitor_) monitor_->Unregister(posted.registration);
            return {};
        case Later::PedometerGone:
            return PedometerGone();
        case Later::DeviceConnected:
            return DeviceConnected();
    }
    return {};
}

TransferSession::Actions TransferSession::StartTimerFired() {
    if (!connected_) return {};
    DismissBox(Box::Lost);
    Do({.kind = Action::StartTimer, .timer = Timer::Poll});
    return Take();
}

TransferSession::Actions TransferSession::PollTimerFired() {
    if (connected_) Do({.kind = Action::Post, .later = Later::PollRound});
    return Take();
}

TransferSession::Actions TransferSession::PollRound() {
    if (phase_ != Phase::Waiting || !connected_) return {};
    if (receiver_.PollOnce(*device_) == BlockReceiver::Outcome::PollAgain) {
        Do({.kind = Action::StartTimer, .timer = Timer::Poll});
        return Take();
    }
    data_ = receiver_.Data();
    phase_ = Phase::Received;
    CloseDevice();
    Do({.kind = Action::Hide});
    ShowBox(Box::Received, APP_NAME, USBTRANS_STR8);
    return Take();
}

TransferSession::Actions TransferSession::DeviceConnected() {
    if (phase_ == Phase::Closed || !deviceAbsent_) return {};
    deviceAbsent_ = false;
    receiver_.Reset();
    Do({.kind = Action::StartTimer, .timer = Timer::Start});
    Do({.kind = Action::Show});
    Do({.kind = Action::SetStatus, .text = USBTRANS_STR7});
    return Take();
}

TransferSession::Actions TransferSession::PedometerGone() {
    if (phase_ == Phase::Closed || deviceAbsent_) return {};
    deviceAbsent_ = true;
    StopPolling();
    Do({.kind = Action::Hide});
    CloseDevice();
    if (phase_ == Phase::Received)
        DismissBox(Box::Received);
    else
        ShowBox(Box::Lost, std::nullopt, USBTRANS_STR6);
    return Take();
}

TransferSession::Actions TransferSession::BoxClosed(Box kind) {
    const auto up = std::find(boxes_.rbegin(), boxes_.rend(), kind);
    if (up == boxes_.rend()) return {};
    boxes_.erase(std::next(up).base());
    AfterBox(kind);
    return Take();
}

// The sample block, as if the pedometer had sent it: a transfer without hardware. Its days
// then go through the same choice of the receiving user as any download, and may take
// over that user's profile, so they go nowhere unless the person says yes to them. The
// polling rests meanwhile.
TransferSession::Actions TransferSession::TestPressed() {
    if (phase_ != Phase::Waiting) return {};
    phase_ = Phase::Asking;
    StopPolling();
    Do({.kind = Action::AskSample, .text = USBTRANS_STR10});
    return Take();
}

TransferSession::Actions TransferSession::SampleAnswered(bool yes) {
    if (phase_ != Phase::Asking) return {};
    if (!yes) {
        // Back to waiting; a block begun before the question is started over.
        phase_ = Phase::Waiting;
        if (connected_) Do({.kind = Action::StartTimer, .timer = Timer::Start});
        return Take();
    }
    phase_ = Phase::Sample;
    StopPolling();
    CloseDevice();
    data_ = {};
    if (!DecodeBlock(kSampleBlock.data(), kSampleBlock.size(), data_))
        Do({.kind = Action::WarnTest});
    Do({.kind = Action::End, .ok = true});
    return Take();
}

// Until the block is complete nothing has been taken from the pedometer: ending the
// window then keeps nothing. Once it is complete (the success box is up) it is kept.
TransferSession::Actions TransferSession::CancelPressed() {
    if (phase_ != Phase::Waiting) return {};
    StopPolling();
    CloseDevice();
    Do({.kind = Action::End, .ok = false});
    return Take();
}

void TransferSession::Close() {
    phase_ = Phase::Closed;
    boxes_.clear();
    // The device goes first: closing it drops its registrations with the monitor.
    device_.reset();
    monitor_.reset();
    backend_.reset();
    connected_ = false;
}

TransferSession::Actions TransferSession::Take() {
    return std::exchange(actions_, {});
}

void TransferSession::NotePedometerNodes() {
    for (const HidInterface* i : {&device_->dataInterface, &device_->commandInterface})
        if (i->isOpen) pedometerNodes_.insert(backend_->NodeOfPath(i->devicePath));
}

void TransferSession::StopPolling() {
    Do({.kind = Action::StopTimer, .timer = Timer::Start});
    Do({.kind = Action::StopTimer, .timer = Timer::Poll});
    receiver_.Reset();
}

void TransferSession::ShowDenied(bool denied) {
    if (denied_ == denied) return;
    denied_ = denied;
    Do({.kind = Action::SetStatus, .text = denied ? Text(USBTRANS_STR9) : Text(USBTRANS_STR4)});
}

void TransferSession::CloseDevice() {
    if (!connected_) return;
    CloseAll(*device_);
    connected_ = false;
}

void TransferSession::ShowBox(Box kind, std::optional<LangKey> caption, LangKey text) {
    boxes_.push_back(kind);
    Do({.kind = Action::ShowBox, .text = text, .caption = caption, .box = kind});
}

void TransferSession::DismissBox(Box kind) {
    if (boxes_.empty() || boxes_.back() != kind) return;
    boxes_.pop_back();
    Do({.kind = Action::DismissBox, .box = kind});
    AfterBox(kind);
}

void TransferSession::AfterBox(Box kind) {
    if (kind == Box::Received) return Do({.kind = Action::End, .ok = true});
    // The lost box went because the pedometer is back: the transfer goes on.
    if (phase_ != Phase::Received && !connected_) Do({.kind = Action::End, .ok = false});
}

}  // namespace stepora
