// SPDX-License-Identifier: GPL-3.0-or-later
// An arbitrary device against the host's receiving rounds: the input chooses the report
// lengths, which writes and reads fail or time out, and every byte the device answers.
// Whatever it does, a completed transfer must hold a block that keeps every rule.
#include <cstdlib>
#include <algorithm>

#include "app/Clock.h"
#include "device/TransferProtocol.h"

using namespace stepora;

namespace {

class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

class ScriptedBackend final : public HidBackend {
public:
    explicit ScriptedBackend(Script& script) : script_(script) {
        inLength_ = 2 + script.Next() % 63;
        outLength_ = 2 + script.Next() % 63;
    }
    std::vector<HidCollectionInfo> Enumerate() override {
        return {{"data", kPedometerVendorId, kPedometerProductId, 1, 0},
                {"command", kPedometerVendorId, kPedometerProductId, 1, 3}};
    }
    HidHandle Open(const std::string& path, HidOpenStatus*) override {
        HidHandle h = next_++;
        if (path == "command") commandHandles_.push_back(h);
        return h;
    }
    bool GetAttributes(HidHandle, HidAttributes& a) override {
        a = {kPedometerVendorId, kPedometerProductId, 1};
        return true;
    }
    bool GetCaps(HidHandle h, HidCaps& caps) override {
        bool command = std::find(commandHandles_.begin(), commandHandles_.end(), h) != commandHandles_.end();
        caps = {1, uint16_t(command ? 3 : 0), inLength_, outLength_, 0};
        return true;
    }
    HidIo WriteReport(HidHandle, const uint8_t*, size_t length, int) override {
        if (length != outLength_) abort();
        return Outcome(script_.Next());
    }
    HidIo ReadReport(HidHandle, uint8_t* report, size_t length, int) override {
        if (length != inLength_) abort();
        HidIo io = Outcome(script_.Next());
        if (io == HidIo::Done)
            for (size_t i = 0; i < length; ++i) report[i] = script_.Next();
        return io;
    }
    void Close(HidHandle) override {}

private:
    static HidIo Outcome(uint8_t b) { return b < 8 ? HidIo::Failed : b < 16 ? HidIo::TimedOut : HidIo::Done; }
    Script& script_;
    uint16_t inLength_, outLength_;
    HidHandle next_ = 1;
    std::vector<HidHandle> commandHandles_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
        return true;
    }();
    (void)once;
    Script script(data, size);
    ScriptedBackend backend(script);
    PedometerDevice device(backend);
    if (!FindPedometer(device)) abort();
    BlockReceiver receiver;
    while (!script.Empty()) {
        if (receiver.PollOnce(device) == BlockReceiver::Outcome::BlockComplete) {
            const DeviceData& d = receiver.Data();
            if (d.recordCount > kMaxRecords || d.steps.size() != d.recordCount) abort();
            for (uint32_t v : d.steps)
                if (v > 999999) abort();
        }
        if (receiver.BufferedBytes() > kReceiveBufferSize) abort();
    }
    return 0;
}
