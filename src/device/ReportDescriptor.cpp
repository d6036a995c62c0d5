// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ReportDescriptor.h"

#include <algorithm>
#include <map>

namespace stepora {
namespace {

enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag : uint8_t {
    kInput = 8,
    kOutput = 9,
    kCollection = 10,
    kFeature = 11,
    kEndCollection = 12
};
enum GlobalTag : uint8_t {
    kUsagePage = 0,
    kReportSize = 7,
    kReportId = 8,
    kReportCount = 9,
    kPush = 10,
    kPop = 11
};
enum LocalTag : uint8_t { kUsage = 0 };

struct Globals {
    uint32_t usagePage = 0, reportSize = 0, reportCount = 0, reportId = 0;
};

// Bits per report id of one kind of report within one collection.
using ReportBits = std::map<uint32_t, uint64_t>;

struct Collection {
    CollectionReports info;
    ReportBits bits[3];  // input, output, feature
};

uint16_t LengthOf(const ReportBits& bits) {
    uint64_t longest = 0;
    for (const auto& [id, count] : bits) longest = std::max(longest, count);
    if (longest == 0) return 0;
    uint64_t bytes = (longest + 7) / 8 + 1;  // the report-id byte comes first, 0 when unnumbered
    return static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
}

}  // namespace

bool ParseReportDescriptor(const uint8_t* data, size_t size,
                           std::vector<CollectionReports>& collections) {
    collections.clear();
    std::vector<Collection> found;
    Globals globals;
    std::vector<Globals> stack;
    std::vector<uint32_t> usages;  // local usages since the last main item
    int depth = 0;

    size_t at = 0;
    while (at < size) {
        uint8_t prefix = data[at++];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (at + 2 > size) return false;
            size_t length = data[at];
            at += 2;
            if (length > size - at) return false;
            at += length;
            continue;
        }
        size_t length = prefix & 3;
        if (length == 3) length = 4;
        if (length > size - at) return false;
        uint32_t value = 0;
        for (size_t i = 0; i < length; ++i) value |= uint32_t(data[at + i]) << (8 * i);
        at += length;
        uint8_t type = (prefix >> 2) & 3, tag = prefix >> 4;

        if (type == kGlobal) {
            switch (tag) {
                case kUsagePage:
                    globals.usagePage = value;
                    break;
                case kReportSize:
                    globals.reportSize = value;
                    break;
                case kReportCount:
                    globals.reportCount = value;
                    break;
                case kReportId:
                    globals.reportId = value;
                    if (depth > 0 && !found.empty()) found.back().info.numberedReports = true;
                    break;
                case kPush:
                    stack.push_back(globals);
                    break;
                case kPop:
                    if (stack.empty()) return false;
                    globals = stack.back();
                    stack.pop_back();
                    break;
                default:
                    break;
            }
        } else if (type == kLocal) {
            // A four-byte usage carries its own usage page in the high half.
            if (tag == kUsage)
                usages.push_back(length == 4 ? value
                                             : (globals.usagePage << 16) | (value & 0xFFFF));
        } else if (type == kMain) {
            if (tag == kCollection) {
                if (depth == 0) {
                    Collection top;
                    uint32_t usage = usages.empty() ? globals.usagePage << 16 : usages.front();
                    top.info.usagePage = static_cast<uint16_t>(usage >> 16);
                    top.info.usage = static_cast<uint16_t>(usage & 0xFFFF);
                    top.info.numberedReports = globals.reportId != 0;
                    found.push_back(top);
                }
                ++depth;
            } else if (tag == kEndCollection) {
                if (depth == 0) return false;
                --depth;
            } else if ((tag == kInput || tag == kOutput || tag == kFeature) && depth > 0) {
                int kind = tag == kInput ? 0 : tag == kOutput ? 1 : 2;
                uint64_t bits = uint64_t(globals.reportSize) * globals.reportCount;
                uint64_t& total = found.back().bits[kind][globals.reportId];
                total = std::min<uint64_t>(total + bits, uint64_t(1) << 40);
            }
            usages.clear();
        }
    }
    if (found.empty()) return false;
    for (Collection& c : found) {
        c.info.inputLength = LengthOf(c.bits[0]);
        c.info.outputLength = LengthOf(c.bits[1]);
        c.info.featureLength = LengthOf(c.bits[2]);
        collections.push_back(c.info);
    }
    return true;
}

}  // namespace stepora
