// SPDX-License-Identifier: GPL-3.0-or-later
// stepora-demo-data <workdir>: adds a few users with a year and more of plausible days to
// <workdir>/User, so that a first look at the program shows real graphs. Users that
// exist already are left alone. It also writes <workdir>/pedometer.csv: the last three
// weeks of someone not yet among the users, for `stepora --simulate-pedometer`.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvExport.h"
#include "store/DayCalendar.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

using namespace stepora;
namespace fs = std::filesystem;

namespace {

struct DemoUser {
    const char* name;
    const char* password;
    uint32_t unitSystem, weight, stride;  // stride: cm, or hundredths of a foot
    uint32_t goalSteps, goalCalories, goalDistance;
    uint32_t days;          // recorded days up to yesterday
    uint32_t weekdaySteps;  // a typical working day
    double weekendFactor;
    uint32_t gapStart;  // days before yesterday where a week without the pedometer begins
};

const DemoUser kUsers[] = {
    {"Anna", "", 0, 64, 68, 10000, 3000, 700, 430, 9500, 1.35, 120},
    {"Ben", "demo", 1, 176, 250, 8000, 3500, 400, 400, 7200, 0.8, 200},
    {"Clara", "", 0, 58, 62, 12000, 3200, 800, 560, 12500, 1.1, 300},
    // Profiles a pedometer has not filled in completely yet.
    {"Eva", "", 0, 0, 65, 9000, 2800, 600, 60, 8800, 1.2, 20},
    {"J\xC3\xB6rg", "", 1, 190, 0, 7000, 3000, 350, 90, 6900, 0.9, 40},
};

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

// A pedometer worn by a new member of the household: 21 days up to today, as an export of
// a user that exists only while the file is written.
bool WritePedometerFile(const fs::path& workDir, uint32_t today) {
    const DemoUser walker{"Dana", "", 1, 150, 240, 9000, 3000, 500, 21, 9800, 1.2, 1000};
    const fs::path scratch = workDir / "User" / ".demo-pedometer";
    std::error_code ec;
    fs::remove_all(scratch, ec);
    fs::create_directories(scratch, ec);
    LangTable table(workDir);  // the export's texts are those of the current language
    InstallLangTable(&table);
    UserStore store;
    store.SetDirectory(scratch);
    std::vector<DayRecord> days;
    std::mt19937 rng(today);
    const uint32_t first = today - walker.days + 1;
    for (uint32_t day = first; day <= today; ++day) days.push_back(MakeDay(walker, day, rng));
    const bool ok =
        store.Create(walker.name, "") && store.WriteDays(walker.name, first, days) &&
        ExportCsv(store, CsvUser{walker.name, walker.unitSystem, walker.weight, walker.stride},
                  workDir / "pedometer.csv", first, today);
    InstallLangTable(nullptr);
    fs::remove_all(scratch, ec);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stepora-demo-data <workdir>\n");
        return 2;
    }
    const fs::path users = fs::path(argv[1]) / "User";
    std::error_code ec;
    fs::create_directories(users, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", users.string().c_str(),
                     ec.message().c_str());
        return 1;
    }
    UserStore store;
    store.SetDirectory(users);
    const LocalDate today = LocalToday();
    uint32_t todayNumber, weekday;
    if (!DayCalendar().DateToDay(today.year, today.month, today.day, todayNumber, weekday)) {
        std::fprintf(stderr, "today's date is outside the calendar\n");
        return 1;
    }
    int failures = 0;
    for (const DemoUser& u : kUsers) {
        if (store.Exists(u.name)) {
            std::printf("%s exists already; left as it is\n", u.name);
            continue;
        }
        const uint32_t last = todayNumber - 1, first = last - u.days + 1;
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
            std::fprintf(stderr, "could not write the demo user %s\n", u.name);
            store.Delete(u.name);
            ++failures;
            continue;
        }
        if (*u.password)
            std::printf("%s: %u days, password \"%s\"\n", u.name, u.days, u.password);
        else
            std::printf("%s: %u days\n", u.name, u.days);
    }
    if (!WritePedometerFile(fs::path(argv[1]), todayNumber)) {
        std::fprintf(stderr, "could not write the demo pedometer file\n");
        ++failures;
    }
    return failures ? 1 : 0;
}
