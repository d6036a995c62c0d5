// SPDX-License-Identifier: GPL-3.0-or-later
// stepora-probe [--download] [--simulate] [--seconds N]
//
// For setting the pedometer up: lists the HID collections of the pedometer (USB
// 1130:0202) with their usages and report lengths and says plainly what stands in the
// way. --download runs one transfer (poll, start, collect, decode, done) and prints the
// days it brought; --simulate does all of it against the built-in simulated pedometer.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app/Clock.h"
#include "app/Format.h"
#include "device/FakeHidBackend.h"
#include "device/platform/PlatformLink.h"
#include "device/TransferProtocol.h"
#include "store/DayCalendar.h"

using namespace stepora;

namespace {

constexpr int kExitOk = 0, kExitNotFound = 1, kExitNoPermission = 2, kExitNoBlock = 3, kExitUsage = 64;

const char* kPermissionHint =
    "The pedometer is there, but this user may not open it. The Stepora package installs the\n"
    "udev rule /lib/udev/rules.d/70-stepora-pedometer.rules that lets the desktop user open it.\n"
    "If that file is missing (Stepora installed by hand), copy the rule 70-stepora-pedometer.rules\n"
    "to /etc/udev/rules.d. Then run 'sudo udevadm control --reload' and 'sudo udevadm trigger',\n"
    "unplug the pedometer and plug it in again.\n";

const char* RoleOf(const HidCollectionInfo& c) {
    if (c.usagePage == kDataUsagePage && c.usage == kDataUsage) return "data";
    if (c.usagePage == kCommandUsagePage && c.usage == kCommandUsage) return "command";
    return "not used";
}

// A block like the one a pedometer worn for two weeks would send, dated today.
std::vector<uint8_t> DemoBlock() {
    LocalDate today = LocalToday();
    BlockContents c;
    c.longHeader = true;
    c.dayMode = 1;
    c.weight = 72;
    c.stride = 74;
    c.year = today.year % 100;
    c.month = today.month;
    c.day = today.day;
    for (uint32_t i = 0; i < 14; ++i) {
        uint32_t steps = 6000 + (i * 2749) % 7000;
        c.days.push_back({steps, steps * 4 / 10, steps * 74 / 1000});
    }
    return EncodeBlock(c);
}

int List(HidBackend& backend, bool& permissionProblem) {
    int found = 0;
    permissionProblem = false;
    for (const HidCollectionInfo& c : backend.Enumerate()) {
        if (c.vendorId != kPedometerVendorId || c.productId != kPedometerProductId) continue;
        ++found;
        std::printf("%s  usage page %u, usage %u (%s)", c.path.c_str(), c.usagePage, c.usage, RoleOf(c));
        HidOpenStatus status = HidOpenStatus::Failed;
        HidHandle handle = backend.Open(c.path, &status);
        HidCaps caps;
        if (handle != kNoHidHandle && backend.GetCaps(handle, caps)) {
            std::printf("  input %u, output %u, feature %u bytes\n", caps.inputReportLength, caps.outputReportLength,
                        caps.featureReportLength);
        } else if (handle != kNoHidHandle) {
            std::printf("  report lengths unknown (no readable report descriptor)\n");
        } else if (status == HidOpenStatus::PermissionDenied) {
            std::printf("  cannot be opened: permission denied\n");
            permissionProblem = true;
        } else {
            std::printf("  cannot be opened\n");
        }
        if (handle != kNoHidHandle) backend.Close(handle);
    }
    return found;
}

void PrintBlock(const DeviceData& d) {
    bool metric = d.deviceType == kMetricDevice;
    std::string stride = metric ? Format("%u cm", d.stride) : Format("%.2f in", d.stride / 100.0);
    std::printf("\n%s pedometer, weight %u %s, stride %s, date 20%02u-%02u-%02u, day mode %u, %u day(s)\n",
                metric ? "Metric" : "Imperial", d.weight, metric ? "kg" : "lb", stride.c_str(), d.year, d.month,
                d.day, d.dayMode, d.recordCount);
    DownloadBuffer days = AssignDays(d);
    if (days.count == 0) return;
    std::printf("%-10s  %8s  %12s  %14s\n", "Date", "Steps", "Calories", metric ? "Distance (km)" : "Distance (mi)");
    for (uint32_t i = 0; i < days.count; ++i) {
        uint32_t y = 0, m = 0, dd = 0, w = 0;
        DayCalendar().DayToDate(days.firstDay + i, y, m, dd, w);
        const DayRecord& r = days.records[i];
        std::printf("%04u-%02u-%02u  %8u  %12s  %14s\n", y, m, dd, r.steps, Format("%.1f", r.calories / 10.0).c_str(),
                    Format("%.2f", r.distance / 100.0).c_str());
    }
}

int Download(HidBackend& backend, bool simulated, int seconds) {
    PedometerDevice device(backend);
    if (!FindPedometer(device)) {
        std::fprintf(stderr, "The pedometer's data and command collections could not both be opened.\n");
        return kExitNotFound;
    }
    std::fprintf(stderr, "Connected. Waiting up to %d s for the pedometer to send its block...\n", seconds);
    BlockReceiver receiver;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        BlockReceiver::Outcome outcome = receiver.PollOnce(device);
        switch (receiver.LastEvent()) {
        case BlockReceiver::Event::Started: std::fprintf(stderr, "The pedometer has a block; receiving it.\n"); break;
        case BlockReceiver::Event::Rejected:
            std::fprintf(stderr, "A transfer failed; asked the pedometer to start over.\n");
            break;
        default: break;
        }
        if (outcome == BlockReceiver::Outcome::BlockComplete) {
            CloseAll(device);
            PrintBlock(receiver.Data());
            return kExitOk;
        }
        if (!simulated) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::fprintf(stderr, "No complete block arrived within %d s.\n", seconds);
    return kExitNoBlock;
}

int Usage() {
    std::fprintf(stderr, "usage: stepora-probe [--download] [--simulate] [--seconds N]\n");
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    bool download = false, simulate = false;
    int seconds = 60;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--download")) download = true;
        else if (!std::strcmp(argv[i], "--simulate")) simulate = true;
        else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            char* end = nullptr;
            long value = std::strtol(argv[++i], &end, 10);
            if (*end || value < 1 || value > 3600) return Usage();
            seconds = static_cast<int>(value);
        } else
            return Usage();
    }

    SimulatedPedometer pedometer(DemoBlock());
    std::shared_ptr<HidBackend> backend;
    if (simulate) backend = std::make_shared<FakeHidBackend>(pedometer);
    else backend = PlatformPedometerLink().makeBackend();

    bool permissionProblem = false;
    if (List(*backend, permissionProblem) == 0) {
        std::printf("No pedometer (USB %04x:%04x) found. Plug it in and run stepora-probe again.\n", kPedometerVendorId,
                    kPedometerProductId);
        return kExitNotFound;
    }
    if (permissionProblem) {
        std::printf("%s", kPermissionHint);
        return kExitNoPermission;
    }
    std::fflush(stdout);
    return download ? Download(*backend, simulate, seconds) : kExitOk;
}
