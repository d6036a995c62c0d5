// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "DemoUsers.h"
#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvExport.h"
#include "csv/CsvFile.h"
#include "csv/CsvImport.h"
#include "csv/CsvNumbers.h"
#include "store/DayCalendar.h"
#include "support/ScratchWorkDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using Fields = std::array<std::string, kCsvFields>;

uint32_t Day(uint32_t y, uint32_t m, uint32_t d) {
    uint32_t day = 0, weekday;
    EXPECT_TRUE(DayCalendar().DateToDay(y, m, d, day, weekday));
    return day;
}

std::string T(LangKey key) {
    return GetLangString(key);
}

DayRecord Sample(uint32_t i, uint8_t unit = 0) {
    return {unit, uint16_t(unit ? 180 : 70), uint16_t(unit ? 295 : 75), 0, 4000 + 13 * i, 1000 + i, 250 + 3 * i};
}

class CsvExchange : public testing::Test {
protected:
    void SetUp() override {
        callbacks.showMessage = [this](LangKey key) { messages.push_back(key); };
        callbacks.chooseUser = [this](const CsvMatchRequest& r) {
            requests.push_back(r);
            std::optional<CsvUserChoice> next;
            if (!answers.empty()) next = answers.front(), answers.erase(answers.begin());
            return next;
        };
    }
    // A user with `days` records from `first` on and the given profile.
    void MakeUser(const std::string& name, uint32_t first, uint32_t days, uint32_t unit = 0, uint32_t weight = 70,
                  uint32_t stride = 75) {
        uint32_t y, m, d, w;
        ASSERT_TRUE(DayCalendar().DayToDate(first + 1, y, m, d, w));
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        std::vector<DayRecord> records;
        for (uint32_t i = 0; i < days; ++i) records.push_back(Sample(i, uint8_t(unit)));
        ASSERT_TRUE(work.MakeUser(name, unit, weight, stride, first, records));
    }
    UserFileHeader Header(const std::string& name) {
        UserFileHeader h;
        EXPECT_TRUE(store.ReadHeader(name, h));
        return h;
    }
    CsvUser UserOf(const std::string& name) {
        UserFileHeader h = Header(name);
        return {name, h.unitSystem, h.weight, h.stride};
    }
    fs::path ExportAll(const std::string& name, const std::string& file = "out.csv") {
        UserFileHeader h = Header(name);
        EXPECT_TRUE(ExportCsv(store, UserOf(name), dir / file, h.firstDay, h.lastDay));
        return dir / file;
    }
    std::vector<Fields> Lines(const fs::path& path) {
        CCsvFile file;
        EXPECT_TRUE(file.OpenForRead(path));
        std::vector<Fields> lines(1);
        bool atEnd = false;
        while (file.ReadCsvLine(lines.back(), atEnd)) lines.emplace_back();
        lines.pop_back();
        return lines;
    }
    std::string UserBytes(const std::string& name) { return test::ReadFile(dir / "User" / (name + ".usr")); }
    CsvImportResult Import(const fs::path& path, const std::string& current) {
        return ImportCsv(store, path, current, Header(current), callbacks);
    }
    // Rewrites line `index` (0-based) of a CSV file with `edit` applied to its fields.
    void EditLine(const fs::path& path, size_t index, const std::function<void(Fields&)>& edit) {
        std::vector<Fields> lines = Lines(path);
        ASSERT_LT(index, lines.size());
        edit(lines[index]);
        CCsvFile file;
        ASSERT_TRUE(file.OpenForWrite(path));
        for (const Fields& f : lines) ASSERT_TRUE(file.WriteCsvLine(f));
        ASSERT_TRUE(file.Close());
    }

    test::ScratchWorkDir work;
    test::TempDir& dir = work.dir;
    UserStore& store = work.store;
    CsvImportCallbacks callbacks;
    std::vector<LangKey> messages;
    std::vector<CsvMatchRequest> requests;
    std::vector<std::optional<CsvUserChoice>> answers;
};

TEST_F(CsvExchange, ExportOfOneDayIsSevenHeaderLinesAndOneDataLine) {
    const uint32_t first = Day(2007, 3, 5);
    MakeUser("Anna", first, 1);
    ASSERT_TRUE(ExportCsv(store, UserOf("Anna"), dir / "a.csv", first, first));
    const std::string blanks = "\" \",\" \",\" \",\" \",\" \"\r\n";
    EXPECT_EQ(test::ReadFile(dir / "a.csv"),
              "\"" + T(CSV_STR3) + "\",\"" + T(CSV_STR4) + "(0)\"," + blanks + "\"" + T(CSV_STR6) + "\",\"Anna\"," + blanks +
                  "\"" + T(CSV_STR13) + "\",\"70\"," + blanks + "\"" + T(CSV_STR16) + "\",\"75\"," + blanks + "\"" +
                  T(CSV_STR19) + "\",\"2007.3.5\"," + blanks + "\"" + T(CSV_STR20) + "\",\"2007.3.5\"," + blanks + "\"" +
                  T(CSV_STR21) + "\",\"" + T(CSV_STR22) + "\",\"" + T(CSV_STR23) + "\",\"" + T(CSV_STR24) + "\",\"" +
                  T(CSV_STR25) + "\",\"" + T(CSV_STR26) + "\",\"" + T(CSV_STR27) + "\"\r\n\"2007.3.5\",\"" + T(CSV_STR35) +
                  "\",\"70\",\"75\",\"4000\",\"100.0\",\"2.50\"\r\n");
}

// A day line as the export has always written it, field by field through the plain
// formatters; units: the two unit texts.
std::string PlainDayLine(const CsvUser& u, const std::string units[2], uint32_t day, const DayRecord& r) {
    const uint32_t unit = r.weight == 0 && r.stride == 0 ? u.unitSystem : r.unitSystem;
    const Fields fields{CsvDateText(day),           units[IsImperial(unit)], std::to_string(r.weight),
                        StrideText(unit, r.stride), std::to_string(r.steps), FormatScaled(r.calories, 1),
                        FormatScaled(r.distance, 2)};
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : ",") + QuoteCsvField(field);
    return line + "\r\n";
}

TEST_F(CsvExchange, ExportsOfTheDemoHouseholdAndOfACenturyHoldEveryDayAsEverWritten) {
    std::vector<std::string> names;
    SetLocalTodayOverride([] { return LocalDate{1999, 12, 31}; });
    for (const demo::DemoUser& u : demo::DemoUsers()) {
        ASSERT_TRUE(demo::WriteDemoUser(store, u, Day(2026, 6, 15)));
        names.push_back(u.name);
    }
    // 100 years of every unit system and values up to the largest a file holds.
    std::vector<DayRecord> century(36525);
    for (uint32_t i = 0; i < century.size(); ++i) {
        const uint32_t h = i * 2654435761u;
        century[i] = {uint8_t(i % 3), uint16_t(i % 7 ? h >> 16 : 0), uint16_t(i % 5 ? h : 0), 0, h,
                      h >> (i % 32),  i % 11 ? h % 1000 : UINT32_MAX};
    }
    ASSERT_TRUE(work.MakeUser("Century", 1, 500, 295, Day(2000, 1, 1), century));
    names.push_back("Century");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const UserFileHeader h = Header(name);
        std::vector<DayRecord> days(h.lastDay - h.firstDay + 1);
        ASSERT_TRUE(store.ReadDays(name, h.firstDay, days));
        const std::string units[2] = {T(CSV_STR35), T(CSV_STR36)};
        std::string expected;
        const CsvUser user = UserOf(name);
        for (uint32_t i = 0; i < days.size(); ++i) expected += PlainDayLine(user, units, h.firstDay + i, days[i]);
        const std::string text = test::ReadFile(ExportAll(name));
        size_t at = 0;
        for (int line = 0; line < 7; ++line) at = text.find("\r\n", at) + 2;
        const std::string lines = text.substr(at);
        const size_t differs = std::mismatch(lines.begin(), lines.end(), expected.begin(), expected.end()).first - lines.begin();
        EXPECT_EQ(differs, expected.size()) << lines.substr(differs - std::min<size_t>(differs, 60), 120);
        EXPECT_EQ(lines.size(), expected.size());
    }
}

TEST_F(CsvExchange, ImperialAndUnsetProfilesExportTheirOwnTexts) {
    const uint32_t first = Day(2010, 12, 1);
    MakeUser("Ben", first, 300, 1, 180, 295);
    ASSERT_TRUE(ExportCsv(store, UserOf("Ben"), dir / "b.csv", first + 20, first + 269));
    std::vector<Fields> lines = Lines(dir / "b.csv");
    ASSERT_EQ(lines.size(), 7u + 250);
    EXPECT_EQ(lines[0][1] + lines[2][0] + lines[6][6], T(CSV_STR5) + "(1)" + T(CSV_STR14) + T(CSV_STR34));
    EXPECT_EQ(lines[3], (Fields{T(CSV_STR17), "2.95", " ", " ", " ", " ", " "}));
    EXPECT_EQ(lines[256], (Fields{CsvDateText(first + 269), T(CSV_STR36), "180", "2.95", "7497", "126.9", "10.57"}));

    // A day written without a profile is shown in the user's units, an unset profile by its texts.
    MakeUser("Cara", first, 3, 1, 0, 0);
    DayRecord bare{0, 0, 0, 0, 10, 20, 30};
    ASSERT_TRUE(store.WriteDays("Cara", first + 1, {&bare, 1}));
    lines = Lines(ExportAll("Cara"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2][1] + lines[3][1], T(CSV_STR15) + T(CSV_STR18));
    EXPECT_EQ(lines[8], (Fields{CsvDateText(first + 1), T(CSV_STR36), "0", "0.00", "10", "2.0", "0.30"}));
    EXPECT_TRUE(Import(dir / "out.csv", "Cara").ok);  // the texts of an unset profile read back as 0
    EXPECT_TRUE(requests.empty());
}

TEST_F(CsvExchange, AFailedExportLeavesNoFileAndRangesAreChecked) {
    const uint32_t first = Day(2008, 1, 10), last = Day(2008, 3, 20);
    MakeUser("Dora", first, last - first + 1);
    CsvUser gone = UserOf("Dora");
    gone.name = "Nobody";                                      // the header lines get written, then the days cannot be read
    ASSERT_TRUE(test::WriteFile(dir / "d.csv", "last week"));  // the file it was to replace stays
    EXPECT_FALSE(ExportCsv(store, gone, dir / "d.csv", first, first + 60));
    EXPECT_EQ(test::ReadFile(dir / "d.csv"), "last week");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);  // d.csv, Language, User

    const std::string outside = T(CSVEXPORT_DLG_STR19) + " 2008-1-10  ~  2008-3-20";
    struct Case {
        uint32_t fy, fm, fd, ty, tm, td;
        std::string message;
    };
    const Case cases[] = {
        {2008, 1, 10, 2008, 3, 20, ""},
        {2008, 2, 29, 2008, 2, 29, ""},
        {2008, 1, 9, 2008, 3, 20, outside},
        {2008, 1, 10, 2008, 3, 21, outside},
        {2008, 2, 30, 2008, 3, 1, outside},  // not a date
        {2008, 3, 1, 2008, 2, 1, T(CSVEXPORT_DLG_STR20)},
    };
    for (const Case& c : cases) {
        ExportRangeCheck r = CheckExportRange(first, last, c.fy, c.fm, c.fd, c.ty, c.tm, c.td);
        EXPECT_EQ(r.ok, c.message.empty()) << c.fm << "." << c.fd;
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.fromDay, r.ok ? Day(c.fy, c.fm, c.fd) : r.fromDay);
    }
}

TEST_F(CsvExchange, AFileThatBreaksAnyRuleChangesNothing) {
    MakeUser("Anna", Day(2009, 5, 1), 30);
    MakeUser("Ben", Day(2009, 5, 1), 2, 1, 180, 295);
    const std::string whole = test::ReadFile(ExportAll("Anna", "good.csv"));
    auto lineEnd = [&](size_t lines) {
        size_t at = 0;
        for (size_t i = 0; i < lines; ++i) at = whole.find("\r\n", at) + 2;
        return at;
    };
    std::string badSteps = whole, garbage = whole;
    badSteps.replace(badSteps.find("\"4013\""), 6, "\"1000000\"");
    garbage.replace(lineEnd(20), 40, std::string("\x01\"\xFF,,\r\r\n\0", 10) + std::string(30, 'z'));
    using F = CsvReadFailure;
    struct Case {
        const char* name;
        const char* user;
        size_t line;        // line whose second field becomes `value`, or 99
        std::string value;  // ... or the whole file when line is 99
        F::Kind fault;      // what the failure says, and of which line
        uint32_t at;
    };
    const Case cases[] = {
        {"no parenthesis", "Anna", 0, T(CSV_STR4) + "0", F::NoUnitNumber, 1},
        {"unit 2", "Anna", 0, T(CSV_STR4) + "(2)", F::NoUnitNumber, 1},
        {"empty user name", "Anna", 1, "", F::EmptyName, 2},
        {"weight 151", "Anna", 2, "151", F::OutOfRange, 3},
        {"weight 0", "Anna", 2, "0", F::None, 0},
        {"stride 9", "Anna", 3, "9", F::OutOfRange, 4},
        {"stride 7.5e1", "Anna", 3, "7.5e1", F::NotANumber, 4},
        {"first day 2009.2.29", "Anna", 4, "2009.2.29", F::NotADate, 5},
        {"last day before the first", "Anna", 5, "2009.4.30", F::DaysOutOfOrder, 6},
        {"last day 2100.1.1", "Anna", 5, "2100.1.1", F::DateOutside, 6},
        {"imperial stride past 4.00 inches", "Ben", 3, "4.01", F::OutOfRange, 4},
        {"imperial stride of 4.00 inches", "Ben", 3, "4.00", F::None, 0},
        {"unit word of another language", "Anna", 7 + 4, "Metrisch", F::UnknownUnit, 12},
        {"one data line short", "Anna", 99, whole.substr(0, lineEnd(7 + 29)), F::FileEnds, 37},
        {"last line without CR LF", "Anna", 99, whole.substr(0, whole.size() - 2), F::NotLaidOut, 37},
        {"extra lines are ignored", "Anna", 99, whole + whole.substr(lineEnd(7)), F::None, 0},
        {"steps above 999999", "Anna", 99, badSteps, F::OutOfRange, 9},
        {"garbage in the middle", "Anna", 99, garbage, F::NotLaidOut, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool accepted = c.fault == F::None;
        if (c.line == 99) {
            ASSERT_TRUE(test::WriteFile(dir / "t.csv", c.value));
        } else {
            ExportAll(c.user, "t.csv");
            EditLine(dir / "t.csv", c.line, [&](Fields& f) { f[1] = c.value; });
        }
        const std::string was = UserBytes(c.user);
        requests.clear(), messages.clear();
        answers = {CsvUserChoice{c.user, false}};
        const CsvImportResult r = Import(dir / "t.csv", c.user);
        EXPECT_EQ(std::tie(r.ok, r.failure.kind, r.failure.line), std::make_tuple(accepted, c.fault, c.at));
        EXPECT_TRUE(accepted || requests.empty());
        // The user's own days come back without a question and change nothing.
        EXPECT_TRUE(c.line != 99 || (requests.empty() && messages.empty()));
        EXPECT_TRUE((accepted && c.line != 99) || UserBytes(c.user) == was);
        EXPECT_FALSE(fs::exists(dir / "User" / (std::string(c.user) + "_bk.bin")));
    }
    // The line and the field go where the language's text puts them, as they are.
    const std::string text = CsvFailureText({F::UnknownUnit, 12, "Metrisch %2"});
    EXPECT_TRUE(
        text.starts_with("Line 12: \u201CMetrisch %2\u201D is not a unit system in this language (Metric or "
                         "Imperial)."))
        << text;
    fs::remove(dir / "t.csv");
    ASSERT_EQ(mkfifo((dir / "t.csv").c_str(), 0600), 0);  // refused, never waited for
    EXPECT_EQ(Import(dir / "t.csv", "Anna").failure.kind, F::CannotOpen);
    // Changed values in the file replace the stored ones, exactly.
    EditLine(ExportAll("Anna"), 7 + 3, [](Fields& f) { f[6] = "0.29", f[4] = "999999"; });
    ASSERT_TRUE(Import(dir / "out.csv", "Anna").ok);
    DayRecord got;
    ASSERT_TRUE(store.ReadDays("Anna", Day(2009, 5, 4), {&got, 1}));
    EXPECT_EQ(std::tie(got.distance, got.steps), std::make_tuple(29u, 999999u));
}

TEST_F(CsvExchange, ImportOverStoredDaysGivesTheFileOfDayByDayWrites) {
    // Imports long enough to be written in several pieces, placed around 1500 stored days;
    // the expected file is a copy of the user written one day at a time.
    const uint32_t s = Day(2010, 1, 1);
    MakeUser("Anna", s, 1500);
    MakeUser("Src", s - 2500, 6300, 1, 180, 295);
    const std::string pristine = UserBytes("Anna");
    struct Case {
        const char* name;
        int from, to;  // relative to the first stored day
        int badLine;   // data line (0-based) made unreadable, or -1
    };
    const Case cases[] = {
        {"before, with a gap", -2500, -301, -1},
        {"over the front", -1200, 899, -1},
        {"inside", 100, 1199, -1},
        {"over the end", 1000, 3099, -1},
        {"after, with a gap", 1600, 3700, -1},
        {"over all of it", -100, 1600, -1},
        {"bad line in the second piece", 0, 1999, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t from = s + c.from, to = s + c.to;
        ASSERT_TRUE(test::WriteFile(dir / "User" / "Anna.usr", pristine));
        ASSERT_TRUE(ExportCsv(store, UserOf("Src"), dir / "t.csv", from, to));
        if (c.badLine >= 0) EditLine(dir / "t.csv", 7 + c.badLine, [](Fields& f) { f[4] = "1000000"; });
        std::string expected = pristine;
        if (c.badLine < 0) {
            ASSERT_TRUE(test::WriteFile(dir / "User" / "Want.usr", pristine));
            std::vector<DayRecord> days(to - from + 1);
            ASSERT_TRUE(store.ReadDays("Src", from, days));
            for (uint32_t i = 0; i < days.size(); ++i) ASSERT_TRUE(store.WriteDays("Want", from + i, {&days[i], 1}));
            expected = UserBytes("Want");
        }
        answers = {CsvUserChoice{"Anna", false}};
        EXPECT_EQ(Import(dir / "t.csv", "Anna").ok, c.badLine < 0);
        EXPECT_TRUE(UserBytes("Anna") == expected);  // not EXPECT_EQ: a mismatch would print megabytes
        EXPECT_FALSE(fs::exists(dir / "User" / "Anna_bk.bin"));
    }
}

TEST_F(CsvExchange, AnotherUsersFileAsksWhoReceivesIt) {
    MakeUser("Anna", Day(2009, 5, 1), 10);
    MakeUser("Ben", Day(2009, 5, 1), 20, 1, 180, 295);
    MakeUser("Cara", Day(2011, 1, 1), 5, 0, 55, 60);
    MakeUser("Neu", Day(2015, 1, 1), 1, 0, 0, 0);
    const fs::path annas = ExportAll("Anna");

    // Same units: CSV_STR39, then the dialog with both profiles; Cara takes over the profile.
    answers = {CsvUserChoice{"cara", true}};
    CsvImportResult r = Import(annas, "Cara");
    EXPECT_TRUE(r.ok && r.receivingUser == "Cara");
    EXPECT_EQ(messages, std::vector<LangKey>{CSV_STR39});
    ASSERT_EQ(requests.size(), 1u);
    const CsvMatchRequest& q = requests[0];
    EXPECT_EQ(std::tie(q.fileUser, q.fileFirstDay, q.currentUser, q.currentFirstDay, q.unitsDiffer),
              std::make_tuple("Anna", Day(2009, 5, 1), "Cara", Day(2011, 1, 1), false));
    UserFileHeader cara = Header("Cara");
    EXPECT_EQ(std::tie(cara.weight, cara.stride, cara.firstDay, cara.lastDay),
              std::make_tuple(70u, 75u, Day(2009, 5, 1), Day(2011, 1, 5)));

    // Other units: APPEDN_STR5; a name that cannot be read brings CSV_STR40 and the dialog
    // again; cancelling then ends the import with Ben untouched.
    messages.clear(), requests.clear();
    const std::string ben = UserBytes("Ben");
    answers = {CsvUserChoice{"Nobody", false}, std::nullopt};
    EXPECT_FALSE(Import(annas, "Ben").ok);
    EXPECT_EQ(messages, (std::vector<LangKey>{APPEDN_STR5, CSV_STR40}));
    EXPECT_TRUE(requests.size() == 2 && requests[0].unitsDiffer);
    EXPECT_EQ(UserBytes("Ben"), ben);

    // A profile never filled takes any file without a question.
    messages.clear(), requests.clear();
    EXPECT_TRUE(Import(annas, "Neu").ok && messages.empty() && requests.empty());
    // The current user's file went away: one message, no loop, no dialog.
    UserFileHeader neu = Header("Neu");
    fs::remove(dir / "User" / "Neu.usr");
    EXPECT_FALSE(ImportCsv(store, annas, "Neu", neu, callbacks).ok);
    EXPECT_EQ(messages, std::vector<LangKey>{CSV_STR40});
    EXPECT_TRUE(requests.empty());
}

TEST(CsvImportCommand, ExtensionAndRememberedFolder) {
    for (const char* yes : {"/a/b.csv", "/a/B.CSV", "x.Csv"}) EXPECT_TRUE(HasCsvExtension(yes)) << yes;
    for (const char* no : {"/a/b.csv.txt", "/a/csv", "/a/b.cs"}) EXPECT_FALSE(HasCsvExtension(no)) << no;
    EXPECT_EQ(CsvImportFolder("/home/anna/days.csv"), "/home/anna/");
    EXPECT_EQ(CsvImportFolder("/" + std::string(2046, 'x') + "/a.csv"), "");
    EXPECT_EQ(CsvImportFolder("/" + std::string(2045, 'x') + "/a.csv").size(), 2047u);
}

}  // namespace
}  // namespace stepora
