// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/LangTable.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

namespace stepora {

// The exporting user as the graph window holds it.
struct CsvUser {
    std::string name;
    uint32_t unitSystem = 0, weight = 0, stride = 0;
};

// Writes the seven header lines and one line per day fromDay … toDay, reading the days
// with one read of the store. A failed export leaves no file behind. Nonzero on success.
int ExportCsv(const UserStore& store, const CsvUser& user, const std::filesystem::path& path,
              uint32_t fromDay, uint32_t toDay);

// What the export dialog's OK says about the chosen dates.
struct ExportRangeCheck {
    bool ok = false;
    uint32_t fromDay = 0, toDay = 0;  // when ok
    LangKey messageKey = LANG_KEY_COUNT;
    std::string message;  // the text to show when not ok
};
// firstDay … lastDay: the stored days. A date that does not exist (30 February) is
// answered like one outside the stored days, whose range the message names.
ExportRangeCheck CheckExportRange(uint32_t firstDay, uint32_t lastDay, uint32_t fromYear,
                                  uint32_t fromMonth, uint32_t fromDayOfMonth, uint32_t toYear,
                                  uint32_t toMonth, uint32_t toDayOfMonth);

}  // namespace stepora
