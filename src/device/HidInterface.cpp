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

bool OpenHidInterface(HidBackend& backend, DeviceMonitor* monitor, const std::string& path,
                      bool forRead, bool forWrite, bool overlapped, bool exclusive, bool checkCaps,
                      HidInterface& interface, NotificationSink* /*sink*/, uint16_t usagePage,
                      uint16_t usage) {
    interface.backend = &backend;
    interface.devicePath = path;
    // The backend has no access modes: every handle may read and write. The flags are kept
    // for whoever asks how the interface was opened.
    interface.queryHandle = backend.Open(path);
    if (interface.queryHandle == kNoHidHandle) {
        interface.devicePath.clear();
        return false;
    }
    interface.readHandle = backend.Open(path);
    interface.writeHandle =
        interface.readHandle != kNoHidHandle ? backend.Open(path) : kNoHidHandle;
    if (interface.writeHandle == kNoHidHandle) {
        Forget(interface);
        return false;
    }
    interface.openedForRead = forRead;
    interface.openedForWrite = forWrite;
    interface.openedOverlapped = overlapped;
    interface.openedExclusive = exclusive;

    if (!backend.GetAttributes(interface.queryHandle, interface.attributes) ||
        interface.attributes.vendorId != kPedometerVendorId ||
        interface.attributes.productId != kPedometerProductId) {
        Forget(interface);
        return false;
    }
    if (checkCaps) {
        if (!backend.GetCaps(interface.queryHandle, interface.caps) ||
            interface.caps.usagePage != usagePage || interface.caps.usage != usage) {
            Forget(interface);
            return false;
        }
        interface.inputReport.assign(interface.caps.inputReportLength, 0);
        interface.outputReport.assign(interface.caps.outputReportLength, 0);
        interface.featureReport.assign(interface.caps.featureReportLength, 0);
    }
    interface.monitor = monitor;
    interface.notifyHandle =
        monitor ? monitor->Register(interface.queryHandle, HidNodeOfPath(path)) : 0;
    interface.isOpen = true;
    return true;
}

bool FindPedometer(PedometerDevice& device, NotificationSink* sink) {
    HidBackend& backend = device.Backend();
    for (const HidCollectionInfo& info : backend.Enumerate()) {
        if (device.IsConnected()) break;
        // The listing already tells other devices apart; they are not even opened.
        if (info.vendorId != kPedometerVendorId || info.productId != kPedometerProductId) continue;
        bool opened = false;
        if (!device.dataInterface.isOpen)
            opened =
                OpenHidInterface(backend, device.Monitor(), info.path, false, false, false, false,
                                 true, device.dataInterface, sink, kDataUsagePage, kDataUsage);
        if (!opened && !device.commandInterface.isOpen)
            OpenHidInterface(backend, device.Monitor(), info.path, false, false, false, false, true,
                             device.commandInterface, sink, kCommandUsagePage, kCommandUsage);
    }
    return device.IsConnected();
}

bool OpenFromPath(PedometerDevice& device, const std::string& path, NotificationSink* sink) {
    HidBackend& backend = device.Backend();
    if (!device.dataInterface.isOpen &&
        OpenHidInterface(backend, device.Monitor(), path, false, false, false, false, true,
                         device.dataInterface, sink, kDataUsagePage, kDataUsage))
        return device.IsConnected();
    if (!device.commandInterface.isOpen &&
        OpenHidInterface(backend, device.Monitor(), path, false, false, false, false, true,
                         device.commandInterface, sink, kCommandUsagePage, kCommandUsage))
        return device.IsConnected();
    return false;
}

bool OpenFromNode(PedometerDevice& device, const std::string& node, NotificationSink* sink) {
    bool completed = false;
    for (const HidCollectionInfo& info : device.Backend().Enumerate())
        if (HidNodeOfPath(info.path) == node && OpenFromPath(device, info.path, sink))
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
        if (sink) sink->PostMessage(kMsgInterfaceClosed, 0, i->notifyHandle);
        CloseHidInterface(*i, true);
        break;
    }
    if (device.dataInterface.isOpen || device.commandInterface.isOpen) return false;
    if (sink) sink->PostMessage(kMsgPedometerGone, 0, 0);
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

}  // namespace stepora
