#pragma once
// A user file model for the store tests: what the records of a user should be, built by
// the same merges the store performs, compared with the bytes on disk.
#include <map>
#include <string>
#include <vector>

#include "store/UserFile.h"

namespace stepora::test {

inline DayRecord TaggedRecord(uint32_t day, uint32_t tag) {
    DayRecord r;
    r.unitSystem = uint8_t(tag & 1);
    r.weight = uint16_t(60 + tag % 50);
    r.stride = uint16_t(70 + day % 30);
    r.steps = day * 10 + tag % 10;
    r.calories = tag;
    r.distance = day;
    return r;
}

inline std::vector<uint8_t> PackRecords(const std::vector<DayRecord>& records) {
    std::vector<uint8_t> bytes(records.size() * kDayRecordSize);
    for (size_t i = 0; i < records.size(); ++i) PackDayRecord(records[i], bytes.data() + i * kDayRecordSize);
    return bytes;
}

inline std::vector<uint8_t> TaggedRun(uint32_t first, uint32_t count, uint32_t tag) {
    std::vector<DayRecord> records;
    for (uint32_t d = first; d < first + count; ++d) records.push_back(TaggedRecord(d, tag));
    return PackRecords(records);
}

// Stored days of one user: the header and a dense run from firstDay to lastDay.
struct UserModel {
    UserFileHeader header;
    std::map<uint32_t, std::vector<uint8_t>> days;  // day → 18 bytes; missing days are zero

    void Write(uint32_t first, uint32_t count, const uint8_t* records) {
        for (uint32_t i = 0; i < count; ++i)
            days[first + i] = std::vector<uint8_t>(records + i * kDayRecordSize, records + (i + 1) * kDayRecordSize);
        header.firstDay = std::min(header.firstDay, first);
        header.lastDay = std::max(header.lastDay, first + count - 1);
    }

    std::string Bytes() const {
        std::string out(kHeaderSize, '\0');
        PackHeader(header, reinterpret_cast<uint8_t*>(out.data()));
        for (uint32_t d = header.firstDay; d <= header.lastDay; ++d) {
            auto it = days.find(d);
            if (it == days.end())
                out.append(kDayRecordSize, '\0');
            else
                out.append(it->second.begin(), it->second.end());
        }
        return out;
    }
};

}  // namespace stepora::test
