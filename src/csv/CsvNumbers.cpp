// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvNumbers.h"

#include "app/Format.h"
#include "store/DayCalendar.h"

namespace stepora {

bool ParseCsvInteger(std::string_view text, uint32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    uint32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint32_t(c - '0');
    }
    value = v;
    return true;
}

bool ParseCsvScaled(std::string_view text, unsigned decimals, uint32_t& value) {
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return false;
    uint32_t w = 0;
    if (!whole.empty() && !ParseCsvInteger(whole, w)) return false;
    for (char c : fraction)
        if (c < '0' || c > '9') return false;
    uint64_t v = w;
    for (unsigned i = 0; i < decimals; ++i)
        v = v * 10 + (i < fraction.size() ? uint32_t(fraction[i] - '0') : 0);
    if (v > UINT32_MAX) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

std::string FormatScaled(uint32_t value, unsigned decimals) {
    uint32_t scale = 1;
    for (unsigned i = 0; i < decimals; ++i) scale *= 10;
    return decimals == 0 ? Format("%u", value)
                         : Format("%u.%0*u", value / scale, int(decimals), value % scale);
}

std::string CsvDateText(uint32_t day) {
    uint32_t y = 0, m = 0, d = 0, w = 0;
    DayCalendar().DayToDate(day, y, m, d, w);
    return Format("%u.%u.%u", y, m, d);
}

bool ParseCsvDate(std::string_view text, uint32_t& day) {
    uint32_t parts[3];
    for (uint32_t& part : parts) {
        size_t stop = text.find('.');
        if (!ParseCsvInteger(text.substr(0, stop), part)) return false;
        text = stop == std::string_view::npos ? std::string_view() : text.substr(stop + 1);
        if (&part != &parts[2] && stop == std::string_view::npos) return false;
    }
    uint32_t weekday = 0;
    return DayCalendar().DateToDay(parts[0], parts[1], parts[2], day, weekday) != 0;
}

}  // namespace stepora
