// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvExport.h"

#include <system_error>
#include <vector>

#include "app/Format.h"
#include "csv/CsvFile.h"
#include "csv/CsvNumbers.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

constexpr uint32_t kExportBlockDays = 100;

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

bool WriteDay(CCsvFile& file, const CsvUser& u, const std::string unitTexts[2], uint32_t day,
              const DayRecord& r) {
    // A record without weight and stride is written in the user's own units.
    const uint32_t unit = r.weight == 0 && r.stride == 0 ? u.unitSystem : r.unitSystem;
    return file.WriteCsvLine({CsvDateText(day), unitTexts[IsImperial(unit) ? 1 : 0],
                              Format("%u", r.weight), StrideText(unit, r.stride),
                              Format("%u", r.steps), FormatScaled(r.calories, 1),
                              FormatScaled(r.distance, 2)});
}

}  // namespace

int ExportCsv(const UserStore& store, const CsvUser& user, const std::filesystem::path& path,
              uint32_t fromDay, uint32_t toDay) {
    if (fromDay == 0 || toDay < fromDay) return 0;
    CCsvFile file;
    if (!file.OpenForWrite(path)) return 0;
    bool ok = WriteHeader(file, user, fromDay, toDay);
    const std::string unitTexts[2] = {T(CSV_STR35), T(CSV_STR36)};
    std::vector<DayRecord> block(kExportBlockDays);
    for (uint32_t start = fromDay; ok && start <= toDay; start += kExportBlockDays) {
        const uint32_t count = std::min(kExportBlockDays, toDay - start + 1);
        ok = store.ReadDays(user.name, start, {block.data(), count});
        for (uint32_t i = 0; ok && i < count; ++i)
            ok = WriteDay(file, user, unitTexts, start + i, block[i]);
        if (count < kExportBlockDays) break;
    }
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
