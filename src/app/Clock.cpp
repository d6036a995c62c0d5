// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Clock.h"

#include <ctime>

namespace stepora {
namespace {
std::function<LocalDate()>& Override() {
    static std::function<LocalDate()> clock;
    return clock;
}
}  // namespace

LocalDate LocalToday() {
    if (Override()) return Override()();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDate{static_cast<uint32_t>(local.tm_year + 1900),
                     static_cast<uint32_t>(local.tm_mon + 1), static_cast<uint32_t>(local.tm_mday)};
}

void SetLocalTodayOverride(std::function<LocalDate()> clock) {
    Override() = std::move(clock);
}

}  // namespace stepora
