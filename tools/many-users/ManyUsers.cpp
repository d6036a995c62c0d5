// SPDX-License-Identifier: GPL-3.0-or-later
// stepora-many-users <workdir> [count]: fills <workdir>/User with `count` users (1000 by
// default, the most the program keeps), for measuring the program with a full house.
// All but one have a profile as people enter it (metric or imperial units, weight,
// stride, goals, every seventh a password) and up to a year of days ending yesterday.
// The one more, "Century", has a day on every date from 2000-01-01 to 2099-12-31 and
// opens its graph window in All mode; its name sorts before every other user's, so it
// is the first row of the user list. Users that exist already are left alone.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "DemoUsers.h"
#include "app/Clock.h"
#include "store/DayCalendar.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

using namespace stepora;
namespace fs = std::filesystem;

namespace {

constexpr const char* kCenturyName = "Century";
constexpr uint32_t kCenturyFirst = 36525, kCenturyDays = 36525;  // 2000-01-01 .. 2099-12-31
constexpr uint32_t kAllMode = 4;                                 // the graph window's All

uint32_t DayNumber(const LocalDate& date) {
    uint32_t day = 0, weekday = 0;
    DayCalendar().DateToDay(date.year, date.month, date.day, day, weekday);
    return day;
}

// A day in the records of someone who takes about `mean` steps a day.
DayRecord Day(const UserFileHeader& h, double mean, std::mt19937& rng) {
    std::normal_distribution<double> noise(mean, mean * 0.25);
    const double steps = std::clamp(noise(rng), 0.0, 60000.0);
    DayRecord r;
    r.unitSystem = uint8_t(h.unitSystem);
    r.weight = uint16_t(h.weight);
    r.stride = uint16_t(h.stride);
    r.steps = uint32_t(steps);
    const double kg = h.unitSystem == 0 ? h.weight : h.weight * 0.4536;
    r.calories = uint32_t(steps * kg * 0.005);  // tenths of a kcal
    r.distance = h.unitSystem == 0 ? uint32_t(steps * h.stride / 1000.0)
                                   : uint32_t(steps * h.stride / 5280.0);
    return r;
}

// Creates `name` with `count` days from `first` on; the header's days are exactly those.
bool MakeUser(UserStore& store, const std::string& name, const std::string& password,
              UserFileHeader profile, uint32_t first, uint32_t count, double mean,
              std::mt19937& rng) {
    uint32_t y, m, d, w;
    DayCalendar().DayToDate(first + 1, y, m, d, w);  // created the day after its first day
    SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
    const bool created = store.Create(name, password);
    SetLocalTodayOverride(nullptr);
    if (!created) return false;
    // The days first, as a download stores them, then the profile over their header.
    std::vector<DayRecord> days(count);
    for (DayRecord& day : days) day = Day(profile, mean, rng);
    UserFileHeader h;
    if (!store.WriteDays(name, first, days) || !store.ReadHeader(name, h)) return false;
    h.unitSystem = profile.unitSystem;
    h.weight = profile.weight;
    h.stride = profile.stride;
    h.goalSteps = profile.goalSteps;
    h.goalCalories = profile.goalCalories;
    h.goalDistance = profile.goalDistance;
    h.defaultPeriod = profile.defaultPeriod;
    return store.WriteHeader(name, h);
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 1000;
    if (argc < 2 || argc > 3 || count < 1 || count > long(kMaxUsers)) {
        std::fprintf(stderr, "usage: stepora-many-users <workdir> [count, 1 to %u]\n", kMaxUsers);
        return 2;
    }
    UserStore store;
    if (!demo::OpenUserFolder(argv[1], store)) return 1;
    const uint32_t yesterday = DayNumber(LocalToday()) - 1;
    std::mt19937 rng(20240601);
    int failures = 0;

    UserFileHeader century;
    century.weight = 72, century.stride = 74;
    century.goalSteps = 10000, century.goalCalories = 3500, century.goalDistance = 700;
    century.defaultPeriod = kAllMode;
    if (!store.Exists(kCenturyName) &&
        !MakeUser(store, kCenturyName, "", century, kCenturyFirst, kCenturyDays, 9000, rng)) {
        std::fprintf(stderr, "could not write %s\n", kCenturyName);
        ++failures;
    }
    for (long i = 1; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Walker %04ld", i);
        if (store.Exists(name)) continue;
        UserFileHeader p;
        p.unitSystem = i % 4 == 3;  // a quarter count in pounds and feet
        const uint32_t kg = 48 + rng() % 70, cm = 55 + rng() % 35;
        p.weight = p.unitSystem ? kg * 22 / 10 : kg;
        p.stride = p.unitSystem ? cm * 100 / 30 : cm;  // hundredths of a foot
        p.goalSteps = 6000 + 1000 * (rng() % 7);
        p.goalCalories = 2500 + 100 * (rng() % 15);
        p.goalDistance = p.goalSteps * p.stride / (p.unitSystem ? 5280 : 1000);
        p.defaultPeriod = rng() % 4;
        const uint32_t days = 1 + rng() % 366;
        const std::string password = i % 7 == 0 ? "walk" + std::to_string(i) : "";
        if (!MakeUser(store, name, password, p, yesterday - days + 1, days, 4000 + rng() % 9000,
                      rng)) {
            std::fprintf(stderr, "could not write %s\n", name);
            ++failures;
        }
    }
    if (failures) return 1;
    std::printf("%s\n", kCenturyName);
    return 0;
}
