// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvExport.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <system_error>
#include <vector>

#include "app/Format.h"
#include "csv/CsvFile.h"
#include "csv/CsvNumbers.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

std::string T(LangKey key) {
    return GetLangString(key);
}

std::array<std::string, kCsvFields> Pair(std::string first, std::string second) {
    return {std::move(first), std::move(second), " ", " ", " ", " ", " "};
}

bool WriteHeader(CCsvFile& file, const CsvUser& u, uint32_t fromDay, uint32_t toDay) {
    const bool metric = !IsImperial(u.unitSystem);
    std::array<std::string, kCsvFields> titles;
    for (size_t i = 0; i < kCsvFields; ++i)
        titles[i] = T(LangKey((metric ? CSV_STR21 : CSV_STR28) + i));
    return file.WriteCsvLine(
               Pair(T(CSV_STR3), T(metric ? CSV_STR4 : CSV_STR5) + Format("(%u)", u.unitSystem))) &&
           file.WriteCsvLine(Pair(T(CSV_STR6), u.name)) &&
           file.WriteCsvLine(Pair(T(metric ? CSV_STR13 : CSV_STR14),
                                  u.weight ? WeightText(u.weight) : T(CSV_STR15))) &&
           file.WriteCsvLine(Pair(T(metric ? CSV_STR16 : CSV_STR17),
                                  u.stride ? StrideText(u.unitSystem, u.stride) : T(CSV_STR18))) &&
           file.WriteCsvLine(Pair(T(CSV_STR19), CsvDateText(fromDay))) &&
           file.WriteCsvLine(Pair(T(CSV_STR20), CsvDateText(toDay))) && file.WriteCsvLine(titles);
}

// The day lines are formatted into one buffer, handed to the file whenever it holds
// kFlushBytes.
constexpr size_t kFlushBytes = 64 * 1024;

char* PutNumber(char* out, uint32_t value) {
    return std::to_chars(out, out + 10, value).ptr;
}

// value / 10^decimals with that many decimals, cut and not rounded: 1234 with 2 is
// "12.34", 5 is "0.05".
char* PutScaled(char* out, uint32_t value, unsigned decimals) {
    uint32_t scale = 1;
    for (unsigned i = 0; i < decimals; ++i) scale *= 10;
    out = PutNumber(out, value / scale);
    *out = '.';
    uint32_t rest = value % scale;
    for (unsigned i = decimals; i > 0; --i, rest /= 10) out[i] = char('0' + rest % 10);
    return out + 1 + decimals;
}

char* Put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The dates of consecutive days, a step each, instead of a calendar search per day.
struct DateWalk {
    uint32_t year = 0, month = 0, day = 0;
    void Next() {
        if (++day <= MonthLength(year, month)) return;
        day = 1;
        if (++month > 12) month = 1, ++year;
    }
};

// unitFields: the two unit texts, quoted.
char* PutDay(char* out, const CsvUser& u, const std::string unitFields[2], const DateWalk& date,
             const DayRecord& r) {
    // A record without weight and stride is written in the user's own units.
    const bool imperial = IsImperial(r.weight == 0 && r.stride == 0 ? u.unitSystem : r.unitSystem);
    *out++ = '"';
    out = PutNumber(out, date.year);
    *out++ = '.';
    out = PutNumber(out, date.month);
    *out++ = '.';
    out = PutNumber(out, date.day);
    out = Put(out, "\",");
    out = Put(out, unitFields[imperial ? 1 : 0]);
    out = Put(out, ",\"");
    out = PutNumber(out, r.weight);
    out = Put(out, "\",\"");
    out = imperial ? PutScaled(out, r.stride, 2) : PutNumber(out, r.stride);
    out = Put(out, "\",\"");
    out = PutNumber(out, r.steps);
    out = Put(out, "\",\"");
    out = PutScaled(out, r.calories, 1);
    out = Put(out, "\",\"");
    out = PutScaled(out, r.distance, 2);
    return Put(out, "\"\r\n");
}

// Every day in one read of the store, as the import writes them.
bool WriteDays(CCsvFile& file, const UserStore& store, const CsvUser& u, uint32_t fromDay,
               uint32_t toDay) {
    if (toDay - fromDay >= kMaxDayNumber) return false;  // more days than the calendar
    const uint32_t count = toDay - fromDay + 1;
    std::vector<uint8_t> records(size_t(count) * kDayRecordSize);
    DateWalk date;
    uint32_t weekday = 0;
    if (!store.ReadDays(u.name, fromDay, count, records.data()) ||
        !DayCalendar().DayToDate(fromDay, date.year, date.month, date.day, weekday))
        return false;
    const std::string unitFields[2] = {QuoteCsvField(T(CSV_STR35)), QuoteCsvField(T(CSV_STR36))};
    // Besides its unit text a line takes at most 6 numbers of 11 bytes with their quotes,
    // 7 separators and its end: 80 bytes.
    std::vector<char> buffer(kFlushBytes + 80 +
                             std::max(unitFields[0].size(), unitFields[1].size()));
    char* const begin = buffer.data();
    char* out = begin;
    for (uint32_t i = 0; i < count; ++i, date.Next()) {
        out = PutDay(out, u, unitFields, date,
                     UnpackDayRecord(records.data() + size_t(i) * kDayRecordSize));
        if (size_t(out - begin) >= kFlushBytes) {
            if (!file.WriteLines({begin, size_t(out - begin)})) return false;
            out = begin;
        }
    }
    return file.WriteLines({begin, size_t(out - begin)});
}

}  // namespace

int ExportCsv(const UserStore& store, const CsvUser& user, const std::filesystem::path& path,
              uint32_t fromDay, uint32_t toDay) {
    if (fromDay == 0 || toDay < fromDay) return 0;
    CCsvFile file;
    if (!file.OpenForWrite(path)) return 0;
    const bool ok =
        WriteHeader(file, user, fromDay, toDay) && WriteDays(file, store, user, fromDay, toDay);
    // A part of the days would pass for the whole: only a whole export replaces a file.
    if (!ok) file.Discard();
    return ok && file.Close();
}

ExportRangeCheck CheckExportRange(uint32_t firstDay, uint32_t lastDay, uint32_t fromYear,
                                  uint32_t fromMonth, uint32_t fromDayOfMonth, uint32_t toYear,
                                  uint32_t toMonth, uint32_t toDayOfMonth) {
    ExportRangeCheck result;
    uint32_t from = 0, to = 0, weekday = 0;
    const bool dates =
        DayCalendar().DateToDay(fromYear, fromMonth, fromDayOfMonth, from, weekday) &&
        DayCalendar().DateToDay(toYear, toMonth, toDayOfMonth, to, weekday);
    if (!dates || from < firstDay || from > lastDay || to < firstDay || to > lastDay) {
        uint32_t fy = 0, fm = 0, fd = 0, ly = 0, lm = 0, ld = 0;
        DayCalendar().DayToDate(firstDay, fy, fm, fd, weekday);
        DayCalendar().DayToDate(lastDay, ly, lm, ld, weekday);
        result.messageKey = CSVEXPORT_DLG_STR19;
        result.message = Format("%s%s%u%s%u%s%u%s%u%s%u%s%u", T(CSVEXPORT_DLG_STR19).c_str(), " ",
                                fy, "-", fm, "-", fd, "  ~  ", ly, "-", lm, "-", ld);
        return result;
    }
    if (to < from) {
        result.messageKey = CSVEXPORT_DLG_STR20;
        result.message = T(CSVEXPORT_DLG_STR20);
        return result;
    }
    result.ok = true;
    result.fromDay = from;
    result.toDay = to;
    return result;
}

}  // namespace stepora
