// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a user file and as an exported user file: the header codec, the
// export check, an import of what passes it, and day reads over a range taken from the
// input must never crash or read out of bounds.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "store/UserFile.h"
#include "store/UserStore.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

const fs::path& StoreDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("stepora-fuzz-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void Put(const fs::path& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UserStore store;
    store.SetDirectory(StoreDir());

    if (size >= kHeaderSize) {
        UserFileHeader header;
        if (UnpackHeader(data, header)) {
            uint8_t again[kHeaderSize];
            PackHeader(header, again);  // a readable header packs to a readable header
            UserFileHeader back;
            if (!UnpackHeader(again, back)) abort();
        }
    }

    const fs::path exported = StoreDir() / "incoming.bin";
    Put(exported, data, size);
    if (store.CheckExportFile(exported)) {
        if (!store.ImportFile("Imported", exported)) abort();
        UserFileHeader header;
        if (!store.ReadHeader("Imported", header)) abort();  // what passed the check reads back
    }

    Put(StoreDir() / "Fuzz.usr", data, size);
    uint32_t first = 1, count = 0;
    if (size >= 4) {
        first = (uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2]) % (kMaxDayNumber + 2);
        count = data[3] * 3u;
    }
    std::vector<uint8_t> records(size_t(count) * kDayRecordSize + 1);
    store.ReadDays("Fuzz", first, count, records.data());
    UserFileHeader header;
    if (store.ReadHeader("Fuzz", header) && header.firstDay <= header.lastDay &&
        header.lastDay <= kMaxDayNumber && header.firstDay >= 1) {
        const uint32_t n = std::min<uint32_t>(header.lastDay - header.firstDay + 1, 500);
        std::vector<uint8_t> stored(size_t(n) * kDayRecordSize);
        store.ReadDays("Fuzz", header.firstDay, n, stored.data());
    }
    return 0;
}
