// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <map>

#include "device/HidBackend.h"
#include "device/ReportDescriptor.h"

struct hid_device_;

namespace stepora {

// Real HID devices through hidapi's hidraw backend. One hidraw node may carry several
// top-level collections; each is listed once, the second and later ones as
// "<node>#<index>". Report lengths come from the node's report descriptor in sysfs.
class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidCollectionInfo> Enumerate() override;
    HidHandle Open(const std::string& path, HidOpenStatus* status = nullptr) override;
    bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
    bool GetCaps(HidHandle handle, HidCaps& caps) override;
    HidIo WriteReport(HidHandle handle, const uint8_t* report, size_t length,
                      int timeoutMs) override;
    HidIo ReadReport(HidHandle handle, uint8_t* report, size_t length, int timeoutMs) override;
    void Close(HidHandle handle) override;
    // "/dev/hidraw3#1" → "/dev/hidraw3".
    std::string NodeOfPath(const std::string& path) const override;

private:
    struct OpenDevice {
        hid_device_* device = nullptr;
        bool haveReports = false;
        CollectionReports reports;
    };
    OpenDevice* Find(HidHandle handle);

    std::map<HidHandle, OpenDevice> open_;
    HidHandle nextHandle_ = 1;
};

// The collections the report descriptor in sysfs describes for a hidraw node
// ("/dev/hidraw3" → <sysfs>/class/hidraw/hidraw3/device/report_descriptor).
bool ReadNodeCollections(const std::string& node, std::vector<CollectionReports>& collections,
                         const std::string& sysfs = "/sys");

}  // namespace stepora
