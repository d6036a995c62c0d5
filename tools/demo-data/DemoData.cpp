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

#include "DemoUsers.h"
#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvExport.h"
#include "store/DayCalendar.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

using namespace stepora;
using namespace stepora::demo;
namespace fs = std::filesystem;

namespace {

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
    UserStore store;
    if (!demo::OpenUserFolder(argv[1], store)) return 1;
    const LocalDate today = LocalToday();
    uint32_t todayNumber, weekday;
    if (!DayCalendar().DateToDay(today.year, today.month, today.day, todayNumber, weekday)) {
        std::fprintf(stderr, "today's date is outside the calendar\n");
        return 1;
    }
    int failures = 0;
    for (const DemoUser& u : DemoUsers()) {
        if (store.Exists(u.name)) {
            std::printf("%s exists already; left as it is\n", u.name);
            continue;
        }
        if (!WriteDemoUser(store, u, todayNumber)) {
            std::fprintf(stderr, "could not write the demo user %s\n", u.name);
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
