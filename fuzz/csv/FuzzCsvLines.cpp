// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a CSV file, read line by line, and as a line split into fields.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "csv/CsvFile.h"

using namespace stepora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz-csv-lines-" + std::to_string(getpid()) + ".csv";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) abort();
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    CCsvFile file;
    if (!file.OpenForRead(path)) abort();
    std::array<std::string, kCsvFields> fields;
    bool atEnd = false;
    size_t lines = 0;
    while (file.ReadCsvLine(fields, atEnd)) {
        if (++lines > size) abort();  // every line takes at least one byte
        // What was read must write back as a line that reads the same.
        for (const std::string& f : fields) {
            std::string line = QuoteCsvField(f), back;
            if (!SplitCsvField(line, back) || back != f || !line.empty()) abort();
        }
        if (atEnd) break;
    }
    std::string line(reinterpret_cast<const char*>(data), size), field;
    while (SplitCsvField(line, field)) {
    }
    return 0;
}
