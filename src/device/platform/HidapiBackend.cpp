// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/platform/HidapiBackend.h"

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>
#include <set>

namespace stepora {
namespace {

std::string NodeOf(const std::string& path) {
    return path.substr(0, path.rfind('#'));
}

// "/dev/hidraw3#1" → node "/dev/hidraw3", collection 1.
bool SplitPath(const std::string& path, std::string& node, size_t& index) {
    size_t mark = path.rfind('#');
    node = NodeOf(path);
    index = 0;
    if (mark == std::string::npos) return true;
    const char* first = path.data() + mark + 1;
    const char* last = path.data() + path.size();
    auto [end, error] = std::from_chars(first, last, index);
    return error == std::errc() && end == last && first != last;
}

std::string CollectionPath(const std::string& node, size_t index) {
    return index == 0 ? node : node + "#" + std::to_string(index);
}

}  // namespace

std::string HidapiBackend::NodeOfPath(const std::string& path) const {
    return NodeOf(path);
}

bool ReadNodeCollections(const std::string& node, std::vector<CollectionReports>& collections,
                         const std::string& sysfs) {
    size_t slash = node.rfind('/');
    std::string name = slash == std::string::npos ? node : node.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return false;
    std::ifstream in(sysfs + "/class/hidraw/" + name + "/device/report_descriptor",
                     std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    return ParseReportDescriptor(bytes.data(), bytes.size(), collections);
}

HidapiBackend::HidapiBackend() {
    hid_init();
}

HidapiBackend::~HidapiBackend() {
    for (auto& [handle, entry] : open_) hid_close(entry.device);
    hid_exit();
}

std::vector<HidCollectionInfo> HidapiBackend::Enumerate() {
    std::vector<HidCollectionInfo> result;
    std::set<std::string> seen;  // hidapi lists a node once per usage it finds
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d; d = d->next) {
        if (!d->path || !seen.insert(d->path).second) continue;
        std::vector<CollectionReports> collections;
        if (ReadNodeCollections(d->path, collections)) {
            for (size_t i = 0; i < collections.size(); ++i)
                result.push_back({CollectionPath(d->path, i), d->vendor_id, d->product_id,
                                  collections[i].usagePage, collections[i].usage});
        } else {
            result.push_back({d->path, d->vendor_id, d->product_id, d->usage_page, d->usage});
        }
    }
    hid_free_enumeration(list);
    return result;
}

HidHandle HidapiBackend::Open(const std::string& path, HidOpenStatus* status) {
    auto report = [&](HidOpenStatus s) {
        if (status) *status = s;
    };
    std::string node;
    size_t index = 0;
    if (!SplitPath(path, node, index)) {
        report(HidOpenStatus::NotFound);
        return kNoHidHandle;
    }
    hid_device* device = hid_open_path(node.c_str());
    if (!device) {
        if (access(node.c_str(), F_OK) != 0)
            report(HidOpenStatus::NotFound);
        else if (access(node.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
            report(HidOpenStatus::PermissionDenied);
        else
            report(HidOpenStatus::Failed);
        return kNoHidHandle;
    }
    OpenDevice entry;
    entry.device = device;
    std::vector<CollectionReports> collections;
    if (ReadNodeCollections(node, collections) && index < collections.size()) {
        entry.haveReports = true;
        entry.reports = collections[index];
    } else if (index != 0) {
        hid_close(device);
        report(HidOpenStatus::NotFound);
        return kNoHidHandle;
    }
    HidHandle handle = nextHandle_++;
    open_[handle] = entry;
    report(HidOpenStatus::Opened);
    return handle;
}

HidapiBackend::OpenDevice* HidapiBackend::Find(HidHandle handle) {
    auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &it->second;
}

bool HidapiBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    OpenDevice* entry = Find(handle);
    if (!entry) return false;
    hid_device_info* info = hid_get_device_info(entry->device);
    if (!info) return false;
    attributes = {info->vendor_id, info->product_id, info->release_number};
    return true;
}

bool HidapiBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    OpenDevice* entry = Find(handle);
    if (!entry || !entry->haveReports) return false;
    const CollectionReports& r = entry->reports;
    caps = {r.usagePage, r.usage, r.inputLength, r.outputLength, r.featureLength};
    return true;
}

HidIo HidapiBackend::WriteReport(HidHandle handle, const uint8_t* report, size_t length,
                                 int timeoutMs) {
    OpenDevice* entry = Find(handle);
    if (!entry || length == 0) return HidIo::Failed;
    // hidraw takes the report-id byte first either way (0 for unnumbered reports). The
    // write itself cannot be given a time limit, so one that took too long counts as failed.
    auto start = std::chrono::steady_clock::now();
    int written = hid_write(entry->device, report, length);
    auto took = std::chrono::steady_clock::now() - start;
    if (written < 0) return HidIo::Failed;
    if (took > std::chrono::milliseconds(timeoutMs)) return HidIo::TimedOut;
    return HidIo::Done;
}

HidIo HidapiBackend::ReadReport(HidHandle handle, uint8_t* report, size_t length, int timeoutMs) {
    OpenDevice* entry = Find(handle);
    if (!entry || length == 0) return HidIo::Failed;
    std::fill(report, report + length, 0);
    // hidraw leaves the report-id byte out for unnumbered reports; callers always get it.
    bool numbered = entry->haveReports && entry->reports.numberedReports;
    uint8_t* into = numbered ? report : report + 1;
    size_t room = numbered ? length : length - 1;
    if (room == 0) return HidIo::Failed;
    int got = hid_read_timeout(entry->device, into, room, timeoutMs);
    if (got < 0) return HidIo::Failed;
    if (got == 0) return HidIo::TimedOut;
    return HidIo::Done;
}

void HidapiBackend::Close(HidHandle handle) {
    auto it = open_.find(handle);
    if (it == open_.end()) return;
    hid_close(it->second.device);
    open_.erase(it);
}

}  // namespace stepora
