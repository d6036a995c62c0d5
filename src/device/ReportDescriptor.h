// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace stepora {

// What a report descriptor says about one top-level collection.
struct CollectionReports {
    uint16_t usagePage = 0, usage = 0;
    // Longest report of each kind in bytes, report-id byte included; 0 when there is none.
    uint16_t inputLength = 0, outputLength = 0, featureLength = 0;
    bool numberedReports = false;  // the collection's reports start with a report id
};

// Parses a HID report descriptor. Returns false for a descriptor that is cut off inside
// an item, closes more collections than it opened or has no top-level collection.
bool ParseReportDescriptor(const uint8_t* data, size_t size,
                           std::vector<CollectionReports>& collections);

}  // namespace stepora
