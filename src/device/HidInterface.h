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

// Window-message numbers the device layer posts to whoever follows the device.
constexpr uint32_t kWmUser = 0x400;
constexpr uint32_t kMsgInterfaceClosed =
    kWmUser + 1;                                     // lParam: the closed interface's registration
constexpr uint32_t kMsgPedometerGone = kWmUser + 4;  // both interfaces closed

// Receives the device layer's messages; the transfer dialog is one.
class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    virtual void PostMessage(uint32_t message, uint64_t wParam, uint64_t lParam) = 0;
};

// One open top-level collection.
struct HidInterface {
    std::string devicePath;
    HidHandle queryHandle = kNoHidHandle;
    HidHandle readHandle = kNoHidHandle;
    HidHandle writeHandle = kNoHidHandle;
    bool openedForRead = false, openedForWrite = false, openedOverlapped = false,
         openedExclusive = false;
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

bool OpenHidInterface(HidBackend& backend, DeviceMonitor* monitor, const std::string& path,
                      bool forRead, bool forWrite, bool overlapped, bool exclusive, bool checkCaps,
                      HidInterface& interface, NotificationSink* sink, uint16_t usagePage,
                      uint16_t usage);
bool FindPedometer(PedometerDevice& device, NotificationSink* sink);
bool OpenFromPath(PedometerDevice& device, const std::string& path, NotificationSink* sink);
// Arrival of a device node: OpenFromPath for each collection the node carries.
bool OpenFromNode(PedometerDevice& device, const std::string& node, NotificationSink* sink);
void CloseHidInterface(HidInterface& interface, bool freeAll);
void CloseAll(PedometerDevice& device);
bool HandleRemoval(PedometerDevice& device, HidHandle handle, NotificationSink* sink);
bool WriteReports(HidInterface& interface, const uint8_t* data, long length, long& sent);
bool ReadReports(HidInterface& interface, uint8_t* buffer, long length, long& received);

}  // namespace stepora
