// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a report descriptor.
#include <cstdlib>

#include "device/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<stepora::CollectionReports> collections;
    if (stepora::ParseReportDescriptor(data, size, collections) && collections.empty()) abort();
    return 0;
}
