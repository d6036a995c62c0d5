// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/HidInterface.h"

#include <algorithm>

namespace stepora {
namespace {

void CloseHandles(HidInterface& interface) {
    for (HidHandle* h : {&interface.queryHandle, &interface.readHandle, &interface.writeHandle}) {
        if (*h != kNoHidHandle && interface.backend) interface.backend->Close(*h);
        *h = kNoHidHandle;
    }
}

void Forget(HidInterface& interface) {
    CloseHandles(interface);
    interface.devicePath.clear();
}

}  // namespace

PedometerDevice::~PedometerDevice() {
    CloseAll(*this);
}

bool OpenHidInterface(HidBackend& backend, DeviceMonitor* monitor, const HidOpenRequest& request,
                      HidInterface& interface) {
    interface.backend = &backend;
    interface.devicePath = request.path;
    // The backend has no access modes: every handle may read and write.
    interface.queryHandle = backend.Open(request.path);
    if (interface.queryHandle == kNoHidHandle) {
        interface.devicePath.clear();
        return false;
    }
    interface.readHandle = backend.Open(request.path);
    interface.writeHandle =
        interface.readHandle != kNoHidHandle ? backend.Open(request.path) : kNoHidHandle;
    if (interface.writeHandle == kNoHidHandle) {
        Forget(interface);
        return false;
    }
    if (!backend.GetAttributes(interface.queryHandle, interface.attributes) ||
        interface.attributes.vendorId != kPedometerVendorId ||
        interface.attributes.productId != kPedometerProductId ||
        !backend.GetCaps(interface.queryHandle, interface.caps) ||
        interface.caps.usagePage != request.usagePage || interface.caps.usage != request.usage) {
        Forget(interface);
        return false;
    }
    interface.inputReport.assign(interface.caps.inputReportLength, 0);
    interface.outputReport.assign(interface.caps.outputReportLength, 0);
    interface.featureReport.assign(interface.caps.featureReportLength, 0);
    interface.monitor = monitor;
    interface.notifyHandle =
        monitor ? monitor->Register(interface.queryHandle, backend.NodeOfPath(request.path)) : 0;
    interface.isOpen = true;
    return true;
}

namespace {

bool OpenData(PedometerDevice& device, const std::string& path) {
    return OpenHidInterface(device.Backend(), device.Monitor(), {path, kDataUsagePage, kDataUsage},
                            device.dataInterface);
}

bool OpenCommand(PedometerDevice& device, const std::string& path) {
    return OpenHidInterface(device.Backend(), device.Monitor(),
                            {path, kCommandUsagePage, kCommandUsage}, device.commandInterface);
}

}  // namespace

bool FindPedometer(PedometerDevice& device) {
    for (const HidCollectionInfo& info : device.Backend().Enumerate()) {
        if (device.IsConnected()) break;
        // The listing already tells other devices apart; they are not even opened.
        if (info.vendorId != kPedometerVendorId || info.productId != kPedometerProductId) continue;
        bool opened = !device.dataInterface.isOpen && OpenData(device, info.path);
        if (!opened && !device.commandInterface.isOpen) OpenCommand(device, info.path);
    }
    return device.IsConnected();
}

bool OpenFromPath(PedometerDevice& device, const std::string& path) {
    if (!device.dataInterface.isOpen && OpenData(device, path)) return device.IsConnected();
    if (!device.commandInterface.isOpen && OpenCommand(device, path)) return device.IsConnected();
    return false;
}

bool OpenFromNode(PedometerDevice& device, const std::string& node) {
    HidBackend& backend = device.Backend();
    bool completed = false;
    for (const HidCollectionInfo& info : backend.Enumerate())
        if (backend.NodeOfPath(info.path) == node && OpenFromPath(device, info.path))
            completed = true;
    return completed;
}

void CloseHidInterface(HidInterface& interface, bool freeAll) {
    if (!interface.isOpen) return;
    interface.isOpen = false;
    Forget(interface);
    if (freeAll) {
        interface.inputReport = {};
        interface.outputReport = {};
        interface.featureReport = {};
    }
}

void CloseAll(PedometerDevice& device) {
    for (HidInterface* i : {&device.dataInterface, &device.commandInterface}) {
        if (!i->isOpen) continue;
        // Nobody is told of this close, so the removal registration goes with it.
        if (i->monitor && i->notifyHandle) i->monitor->Unregister(i->notifyHandle);
        i->notifyHandle = 0;
        CloseHidInterface(*i, true);
    }
}

bool HandleRemoval(PedometerDevice& device, HidHandle handle, NotificationSink* sink) {
    for (HidInterface* i : {&device.dataInterface, &device.commandInterface}) {
        if (handle == kNoHidHandle || i->queryHandle != handle) continue;
        if (sink) sink->OnInterfaceClosed(i->notifyHandle);
        CloseHidInterface(*i, true);
        break;
    }
    if (device.dataInterface.isOpen || device.commandInterface.isOpen) return false;
    if (sink) sink->OnPedometerGone();
    return true;
}

bool WriteReports(HidInterface& interface, const uint8_t* data, long length, long& sent) {
    sent = 0;
    if (length <= 0) return true;
    std::vector<uint8_t>& report = interface.outputReport;
    // A report of the report-id byte alone carries nothing: it would never finish.
    if (!interface.isOpen || report.size() < 2) return false;
    long carried = static_cast<long>(report.size()) - 1;
    while (sent < length) {
        report[0] = 0;
        for (long i = 0; i < carried; ++i) report[1 + i] = sent + i < length ? data[sent + i] : 0;
        if (interface.backend->WriteReport(interface.writeHandle, report.data(), report.size(),
                                           kReportTimeoutMs) != HidIo::Done)
            return false;
        sent += carried;
    }
    return true;
}

bool ReadReports(HidInterface& interface, uint8_t* buffer, long length, long& received) {
    received = 0;
    if (length <= 0) return true;
    std::vector<uint8_t>& report = interface.inputReport;
    if (!interface.isOpen || report.size() < 2) return false;
    long carried = static_cast<long>(report.size()) - 1;
    while (received < length) {
        if (interface.backend->ReadReport(interface.readHandle, report.data(), report.size(),
                                          kReportTimeoutMs) != HidIo::Done)
            return false;
        long take = std::min(carried, length - received);
        std::copy(report.begin() + 1, report.begin() + 1 + take, buffer + received);
        received += carried;
    }
    return true;
}

bool PedometerAccessDenied(HidBackend& backend, const std::string& node) {
    for (const HidCollectionInfo& info : backend.Enumerate()) {
        if (info.vendorId != kPedometerVendorId || info.productId != kPedometerProductId ||
            (!node.empty() && backend.NodeOfPath(info.path) != node))
            continue;
        HidOpenStatus status = HidOpenStatus::Failed;
        const HidHandle handle = backend.Open(info.path, &status);
        if (handle != kNoHidHandle) backend.Close(handle);
        if (status == HidOpenStatus::PermissionDenied) return true;
    }
    return false;
}

}  // namespace stepora
