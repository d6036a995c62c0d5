// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace stepora {

// One HID top-level collection present on the system.
struct HidCollectionInfo {
    std::string path;  // what Open() takes; unique per collection
    uint16_t vendorId = 0, productId = 0;
    uint16_t usagePage = 0, usage = 0;
};

struct HidAttributes {
    uint16_t vendorId = 0, productId = 0, version = 0;
};

// Report lengths in bytes, each including the report-id byte (0 when the collection has
// no report of that kind).
struct HidCaps {
    uint16_t usagePage = 0, usage = 0;
    uint16_t inputReportLength = 0, outputReportLength = 0, featureReportLength = 0;
};

using HidHandle = uint64_t;  // 0 is never a valid handle
constexpr HidHandle kNoHidHandle = 0;

enum class HidOpenStatus { Opened, NotFound, PermissionDenied, Failed };
enum class HidIo { Done, TimedOut, Failed };

// The platform layer the HID code talks to. Reports are passed whole, report-id byte
// first (0 for a collection without numbered reports), on every platform.
class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidCollectionInfo> Enumerate() = 0;
    virtual HidHandle Open(const std::string& path, HidOpenStatus* status = nullptr) = 0;
    virtual bool GetAttributes(HidHandle handle, HidAttributes& attributes) = 0;
    virtual bool GetCaps(HidHandle handle, HidCaps& caps) = 0;
    // Writes one output report of exactly the collection's output length.
    virtual HidIo WriteReport(HidHandle handle, const uint8_t* report, size_t length,
                              int timeoutMs) = 0;
    // Reads one input report into report[0 .. length).
    virtual HidIo ReadReport(HidHandle handle, uint8_t* report, size_t length, int timeoutMs) = 0;
    virtual void Close(HidHandle handle) = 0;
    // The device node a collection belongs to: what a DeviceMonitor names in its events.
    // One node may carry several collections; by default each collection is a node.
    virtual std::string NodeOfPath(const std::string& path) const { return path; }
};

}  // namespace stepora
