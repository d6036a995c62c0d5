// SPDX-License-Identifier: GPL-3.0-or-later
#include "DemoUsers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "store/DayCalendar.h"

namespace stepora::demo {
namespace {

const DemoUser kUsers[] = {
    {"Anna", "", 0, 64, 68, 10000, 3000, 700, 430, 9500, 1.35, 120},
    {"Ben", "demo", 1, 176, 250, 8000, 3500, 400, 400, 7200, 0.8, 200},
    {"Clara", "", 0, 58, 62, 12000, 3200, 800, 560, 12500, 1.1, 300},
    // Profiles a pedometer has not filled in completely yet.
    {"Eva", "", 0, 0, 65, 9000, 2800, 600, 60, 8800, 1.2, 20},
    {"J\xC3\xB6rg", "", 1, 190, 0, 7000, 3000, 350, 90, 6900, 0.9, 40},
};

}  // namespace

bool OpenUserFolder(const std::filesystem::path& workDir, UserStore& store) {
    const std::filesystem::path users = workDir / "User";
    std::error_code ec;
    std::filesystem::create_directories(users, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", users.string().c_str(),
                     ec.message().c_str());
        return false;
    }
    store.SetDirectory(users);
    return true;
}

std::span<const DemoUser> DemoUsers() {
    return kUsers;
}

DayRecord MakeDay(const DemoUser& u, uint32_t day, std::mt19937& rng) {
    const uint32_t weekday = WeekdayOfDay(day);
    const bool weekend = weekday == 1 || weekday == 7;
    uint32_t y, m, d, w;
    DayCalendar().DayToDate(day, y, m, d, w);
    double mean = u.weekdaySteps * (weekend ? u.weekendFactor : 1.0);
    if ((m == 12 && d >= 24) || (m == 1 && d == 1)) mean *= 0.55;         // holidays at home
    if (m == 8 && d >= 5 && d <= 18) mean *= 1.6;                         // walking holiday
    mean *= 1.0 + 0.12 * std::sin(2 * 3.14159265 * (day % 365) / 365.0);  // summer walks more
    std::normal_distribution<double> noise(mean, mean * 0.22);
    const double steps = std::clamp(noise(rng), 300.0, 45000.0);

    DayRecord r;
    r.unitSystem = uint8_t(u.unitSystem);
    r.weight = uint16_t(u.weight);
    r.stride = uint16_t(u.stride);
    r.steps = uint32_t(steps);
    const double kg = u.unitSystem == 0 ? u.weight : u.weight * 0.4536;
    r.calories = uint32_t(steps * kg * 0.0005 * 10);                       // tenths
    r.distance = u.unitSystem == 0 ? uint32_t(steps * u.stride / 1000.0)   // hundredths of km
                                   : uint32_t(steps * u.stride / 5280.0);  // hundredths of a mile
    return r;
}

bool WriteDemoUser(UserStore& store, const DemoUser& u, uint32_t today) {
    const uint32_t last = today - 1, first = last - u.days + 1;
    std::mt19937 rng(first + u.weekdaySteps);
    std::vector<uint8_t> bytes(size_t(u.days) * kDayRecordSize);
    for (uint32_t day = first; day <= last; ++day) {
        DayRecord r = MakeDay(u, day, rng);
        const uint32_t back = last - day;
        if (back >= u.gapStart && back < u.gapStart + 7)
            r = DayRecord{};  // the pedometer stayed at home
        PackDayRecord(r, bytes.data() + size_t(day - first) * kDayRecordSize);
    }
    UserFileHeader h;
    const bool ok = store.Create(u.name, u.password) && store.ReadHeader(u.name, h) &&
                    store.WriteDays(u.name, first, u.days, bytes.data()) &&
                    store.ReadHeader(u.name, h);
    if (ok) {
        h.unitSystem = u.unitSystem;
        h.weight = u.weight;
        h.stride = u.stride;
        h.goalSteps = u.goalSteps;
        h.goalCalories = u.goalCalories;
        h.goalDistance = u.goalDistance;
    }
    if (!ok || !store.WriteHeader(u.name, h)) {
        store.Delete(u.name);
        return false;
    }
    return true;
}

}  // namespace stepora::demo
