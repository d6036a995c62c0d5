// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <map>
#include <vector>

#include "device/DeviceMonitor.h"
#include "device/HidBackend.h"
#include "device/SimulatedPedometer.h"

namespace stepora {

// How the simulated pedometer shows itself on the bus.
struct FakePedometerLayout {
    uint16_t dataInputLength = 9, dataOutputLength = 9;
    uint16_t commandInputLength = 9, commandOutputLength = 9;
    bool commandListedFirst = false;
    bool oneNode = false;  // both collections on one device node
    uint16_t vendorId = 0x1130, productId = 0x0202;
    std::string nodePrefix = "sim/hidraw";
};

// A HID bus holding a simulated pedometer and any other collections a test adds.
class FakeHidBackend final : public HidBackend {
public:
    FakeHidBackend(SimulatedPedometer& pedometer, FakePedometerLayout layout = {},
                   FakeDeviceMonitor* monitor = nullptr);

    // Another collection on the bus: any ids and usages. It opens but moves no reports.
    void AddForeignCollection(const HidCollectionInfo& info, const HidCaps& caps);

    void Unplug();  // the pedometer's handles fail, it leaves the bus, removal is announced
    void Replug();  // it comes back (with a fresh exchange), arrival is announced
    bool IsPlugged() const { return plugged_; }
    // The pedometer's collections stay listed but refuse to open, as without the udev rule.
    void DenyAccess(bool denied) { denied_ = denied; }
    // Unplugs once this many more pedometer reports have been moved.
    void UnplugAfterReports(size_t reports) { unplugAfter_ = reportCount_ + reports; }
    // The next count writes (or reads) on the pedometer time out.
    void TimeOutWrites(size_t count) { writeTimeouts_ = count; }
    void TimeOutReads(size_t count) { readTimeouts_ = count; }

    struct LoggedReport {
        bool write;
        bool command;  // the command collection, else the data one
        std::vector<uint8_t> bytes;
    };
    const std::vector<LoggedReport>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    size_t ReportCount() const { return reportCount_; }
    size_t OpenHandles() const { return handles_.size(); }
    std::string DataPath() const;
    std::string CommandPath() const;

    std::vector<HidCollectionInfo> Enumerate() override;
    HidHandle Open(const std::string& path, HidOpenStatus* status = nullptr) override;
    bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
    bool GetCaps(HidHandle handle, HidCaps& caps) override;
    HidIo WriteReport(HidHandle handle, const uint8_t* report, size_t length,
                      int timeoutMs) override;
    HidIo ReadReport(HidHandle handle, uint8_t* report, size_t length, int timeoutMs) override;
    void Close(HidHandle handle) override;
    // Paths name their node as hidapi's do: "sim/hidraw0#1" is on "sim/hidraw0".
    std::string NodeOfPath(const std::string& path) const override;

private:
    struct Collection {
        HidCollectionInfo info;
        HidCaps caps;
        int role;  // 0 data, 1 command, 2 foreign
    };
    struct Handle {
        size_t collection;
        uint64_t plugging;  // handles of an earlier plugging are dead
    };
    std::vector<Collection> Present() const;
    const Collection* Live(HidHandle handle) const;
    bool CountReport();  // false when the pedometer has just been unplugged

    SimulatedPedometer& pedometer_;
    FakePedometerLayout layout_;
    FakeDeviceMonitor* monitor_;
    std::vector<Collection> collections_;
    std::map<HidHandle, Handle> handles_;
    HidHandle nextHandle_ = 1;
    bool plugged_ = true, denied_ = false;
    uint64_t plugging_ = 0;
    size_t reportCount_ = 0, unplugAfter_ = SIZE_MAX, writeTimeouts_ = 0, readTimeouts_ = 0;
    std::vector<LoggedReport> log_;
};

}  // namespace stepora
