// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "device/DeviceMonitor.h"
#include "device/HidBackend.h"

namespace stepora {

constexpr uint16_t kPedometerVendorId = 0x1130;
constexpr uint16_t kPedometerProductId = 0x0202;
constexpr uint16_t kDataUsagePage = 1, kDataUsage = 0;
constexpr uint16_t kCommandUsagePage = 1, kCommandUsage = 3;
constexpr int kReportTimeoutMs = 500;

// Told by the device layer what removal handling closed; the transfer dialog is one.
class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    // An interface closed on removal; its registration with the monitor is to be dropped.
    virtual void OnInterfaceClosed(uint64_t registration) = 0;
    // Both interfaces are closed: the pedometer is gone.
    virtual void OnPedometerGone() = 0;
};

// The collection an interface is to be: its path and the top-level usage it must have.
struct HidOpenRequest {
    std::string path;
    uint16_t usagePage = 0, usage = 0;
};

// One open top-level collection.
struct HidInterface {
    std::string devicePath;
    HidHandle queryHandle = kNoHidHandle;
    HidHandle readHandle = kNoHidHandle;
    HidHandle writeHandle = kNoHidHandle;
    HidCaps caps;
    HidAttributes attributes;
    std::vector<uint8_t> inputReport, outputReport,
        featureReport;          // zero-filled at the caps' lengths
    uint64_t notifyHandle = 0;  // removal registration with the monitor, 0 when none
    bool isOpen = false;

    HidBackend* backend = nullptr;     // the backend the handles belong to
    DeviceMonitor* monitor = nullptr;  // where notifyHandle is registered
};

// The pedometer: its data and its command collection. Destroying it closes both.
class PedometerDevice {
public:
    explicit PedometerDevice(HidBackend& backend, DeviceMonitor* monitor = nullptr)
        : backend_(backend), monitor_(monitor) {}
    ~PedometerDevice();
    PedometerDevice(const PedometerDevice&) = delete;
    PedometerDevice& operator=(const PedometerDevice&) = delete;

    HidBackend& Backend() const { return backend_; }
    DeviceMonitor* Monitor() const { return monitor_; }
    bool IsConnected() const { return dataInterface.isOpen && commandInterface.isOpen; }

    HidInterface dataInterface;
    HidInterface commandInterface;

private:
    HidBackend& backend_;
    DeviceMonitor* monitor_;
};

// Opens the collection at request.path when it is the pedometer's and has the requested
// usage, and registers it with the monitor (when there is one) to hear of its removal.
bool OpenHidInterface(HidBackend& backend, DeviceMonitor* monitor, const HidOpenRequest& request,
                      HidInterface& interface);
bool FindPedometer(PedometerDevice& device);
bool OpenFromPath(PedometerDevice& device, const std::string& path);
// Arrival of a device node: OpenFromPath for each collection the node carries.
bool OpenFromNode(PedometerDevice& device, const std::string& node);
void CloseHidInterface(HidInterface& interface, bool freeAll);
void CloseAll(PedometerDevice& device);
bool HandleRemoval(PedometerDevice& device, HidHandle handle, NotificationSink* sink);
bool WriteReports(HidInterface& interface, const uint8_t* data, long length, long& sent);
bool ReadReports(HidInterface& interface, uint8_t* buffer, long length, long& received);
// Whether a collection of the pedometer is on the bus (on `node`, when one is named) that
// the system does not let this user open: the device is there, the permission is not.
bool PedometerAccessDenied(HidBackend& backend, const std::string& node = {});

}  // namespace stepora
