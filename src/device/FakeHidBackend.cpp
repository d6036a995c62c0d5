// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/FakeHidBackend.h"

#include <algorithm>
#include <cstdint>

namespace stepora {

FakeHidBackend::FakeHidBackend(SimulatedPedometer& pedometer, FakePedometerLayout layout,
                               FakeDeviceMonitor* monitor)
    : pedometer_(pedometer), layout_(std::move(layout)), monitor_(monitor) {
    const FakePedometerLayout& l = layout_;
    collections_.push_back({{DataPath(), l.vendorId, l.productId, 1, 0},
                            {1, 0, l.dataInputLength, l.dataOutputLength, 0},
                            0});
    collections_.push_back({{CommandPath(), l.vendorId, l.productId, 1, 3},
                            {1, 3, l.commandInputLength, l.commandOutputLength, 0},
                            1});
}

std::string FakeHidBackend::DataPath() const {
    return layout_.nodePrefix + "0";
}

std::string FakeHidBackend::CommandPath() const {
    return layout_.oneNode ? layout_.nodePrefix + "0#1" : layout_.nodePrefix + "1";
}

void FakeHidBackend::AddForeignCollection(const HidCollectionInfo& info, const HidCaps& caps) {
    collections_.push_back({info, caps, 2});
}

std::vector<FakeHidBackend::Collection> FakeHidBackend::Present() const {
    std::vector<Collection> present;
    for (const Collection& c : collections_)
        if (c.role == 2) present.push_back(c);
    if (plugged_) {
        present.push_back(collections_[layout_.commandListedFirst ? 1 : 0]);
        present.push_back(collections_[layout_.commandListedFirst ? 0 : 1]);
    }
    return present;
}

std::vector<HidCollectionInfo> FakeHidBackend::Enumerate() {
    std::vector<HidCollectionInfo> list;
    for (const Collection& c : Present()) list.push_back(c.info);
    return list;
}

HidHandle FakeHidBackend::Open(const std::string& path, HidOpenStatus* status) {
    for (size_t i = 0; i < collections_.size(); ++i) {
        const Collection& c = collections_[i];
        if (c.info.path != path || (c.role != 2 && !plugged_)) continue;
        if (c.role != 2 && denied_) {
            if (status) *status = HidOpenStatus::PermissionDenied;
            return kNoHidHandle;
        }
        HidHandle handle = nextHandle_++;
        handles_[handle] = {i, plugging_};
        if (status) *status = HidOpenStatus::Opened;
        return handle;
    }
    if (status) *status = HidOpenStatus::NotFound;
    return kNoHidHandle;
}

const FakeHidBackend::Collection* FakeHidBackend::Live(HidHandle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end()) return nullptr;
    const Collection& c = collections_[it->second.collection];
    if (c.role != 2 && (!plugged_ || it->second.plugging != plugging_)) return nullptr;
    return &c;
}

bool FakeHidBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    const Collection* c = Live(handle);
    if (!c) return false;
    attributes = {c->info.vendorId, c->info.productId, 0x0100};
    return true;
}

bool FakeHidBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    const Collection* c = Live(handle);
    if (!c) return false;
    caps = c->caps;
    return true;
}

bool FakeHidBackend::CountReport() {
    if (reportCount_ >= unplugAfter_) {
        unplugAfter_ = SIZE_MAX;
        Unplug();
        return false;
    }
    ++reportCount_;
    return true;
}

HidIo FakeHidBackend::WriteReport(HidHandle handle, const uint8_t* report, size_t length, int) {
    const Collection* c = Live(handle);
    if (!c || c->role == 2 || length != c->caps.outputReportLength || !CountReport())
        return HidIo::Failed;
    if (writeTimeouts_) {
        --writeTimeouts_;
        return HidIo::TimedOut;
    }
    log_.push_back({true, c->role == 1, std::vector<uint8_t>(report, report + length)});
    if (c->role == 1)
        pedometer_.OnCommandReport(report, length);
    else
        pedometer_.OnDataReport(report, length);
    return HidIo::Done;
}

HidIo FakeHidBackend::ReadReport(HidHandle handle, uint8_t* report, size_t length, int) {
    const Collection* c = Live(handle);
    if (!c || c->role == 2 || length != c->caps.inputReportLength || !CountReport())
        return HidIo::Failed;
    if (readTimeouts_) {
        --readTimeouts_;
        return HidIo::TimedOut;
    }
    // The command collection never sends; the data collection only what was asked for.
    if (c->role == 1 || !pedometer_.NextDataReport(report, length)) return HidIo::TimedOut;
    log_.push_back({false, false, std::vector<uint8_t>(report, report + length)});
    return HidIo::Done;
}

void FakeHidBackend::Close(HidHandle handle) {
    handles_.erase(handle);
}

std::string FakeHidBackend::NodeOfPath(const std::string& path) const {
    return path.substr(0, path.rfind('#'));
}

void FakeHidBackend::Unplug() {
    if (!plugged_) return;
    plugged_ = false;
    if (!monitor_) return;
    monitor_->Push({DeviceEvent::Removed, NodeOfPath(DataPath())});
    if (!layout_.oneNode) monitor_->Push({DeviceEvent::Removed, NodeOfPath(CommandPath())});
}

void FakeHidBackend::Replug() {
    if (plugged_) return;
    plugged_ = true;
    ++plugging_;
    pedometer_.Reconnected();
    if (!monitor_) return;
    monitor_->Push({DeviceEvent::Arrived, NodeOfPath(DataPath())});
    if (!layout_.oneNode) monitor_->Push({DeviceEvent::Arrived, NodeOfPath(CommandPath())});
}

}  // namespace stepora
