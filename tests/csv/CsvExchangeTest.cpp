#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

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

std::string T(LangKey key) { return GetLangString(key); }

DayRecord Sample(uint32_t i, uint8_t unit = 0) {
    return {unit, uint16_t(unit ? 180 : 70), uint16_t(unit ? 295 : 75), 0, 4000 + 13 * i, 1000 + i, 250 + 3 * i};
}

class CsvExchange : public testing::Test {
protected:
    void SetUp() override {
        callbacks.showMessage = [this](LangKey key) { messages.push_back(key); };
        callbacks.chooseUser = [this](const CsvMatchRequest& r) {
            requests.push_back(r);
            if (answers.empty()) return std::optional<CsvUserChoice>();
            auto next = answers.front();
            answers.erase(answers.begin());
            return next;
        };
    }
    // A user with `days` records from `first` on and the given profile.
    void MakeUser(const std::string& name, uint32_t first, uint32_t days, uint32_t unit = 0, uint32_t weight = 70,
                  uint32_t stride = 75) {
        uint32_t y, m, d, w;
        ASSERT_TRUE(DayCalendar().DayToDate(first + 1, y, m, d, w));
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        ASSERT_TRUE(store.Create(name, ""));
        std::vector<DayRecord> records;
        for (uint32_t i = 0; i < days; ++i) records.push_back(Sample(i, uint8_t(unit)));
        ASSERT_TRUE(store.WriteDays(name, first, records));
        UserFileHeader h;
        ASSERT_TRUE(store.ReadHeader(name, h));
        h.unitSystem = unit;
        h.weight = weight;
        h.stride = stride;
        ASSERT_TRUE(store.WriteHeader(name, h));
    }
    CsvUser UserOf(const std::string& name) {
        UserFileHeader h;
        EXPECT_TRUE(store.ReadHeader(name, h));
        return {name, h.unitSystem, h.weight, h.stride};
    }
    UserFileHeader Header(const std::string& name) {
        UserFileHeader h;
        EXPECT_TRUE(store.ReadHeader(name, h));
        return h;
    }
    fs::path ExportAll(const std::string& name, const std::string& file = "out.csv") {
        UserFileHeader h = Header(name);
        EXPECT_TRUE(ExportCsv(store, UserOf(name), dir / file, h.firstDay, h.lastDay));
        return dir / file;
    }
    std::vector<Fields> Lines(const fs::path& path) {
        CCsvFile file;
        EXPECT_TRUE(file.OpenForRead(path));
        std::vector<Fields> lines;
        Fields f;
        bool atEnd = false;
        while (file.ReadCsvLine(f, atEnd)) lines.push_back(f);
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
    const std::string s = " ";
    const std::string expected =
        "\"" + T(CSV_STR3) + "\",\"" + T(CSV_STR4) + "(0)\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR6) + "\",\"Anna\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR13) + "\",\"70\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR16) + "\",\"75\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR19) + "\",\"2007.3.5\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR20) + "\",\"2007.3.5\",\" \",\" \",\" \",\" \",\" \"\r\n"
        "\"" + T(CSV_STR21) + "\",\"" + T(CSV_STR22) + "\",\"" + T(CSV_STR23) + "\",\"" + T(CSV_STR24) + "\",\"" +
        T(CSV_STR25) + "\",\"" + T(CSV_STR26) + "\",\"" + T(CSV_STR27) + "\"\r\n"
        "\"2007.3.5\",\"" + T(CSV_STR35) + "\",\"70\",\"75\",\"4000\",\"100.0\",\"2.50\"\r\n";
    EXPECT_EQ(test::ReadFile(dir / "a.csv"), expected);
}

TEST_F(CsvExchange, ExportOf250DaysInBlocksKeepsDayOrder) {
    const uint32_t first = Day(2010, 12, 1);
    MakeUser("Ben", first, 300, 1, 180, 295);
    ASSERT_TRUE(ExportCsv(store, UserOf("Ben"), dir / "b.csv", first + 20, first + 269));
    std::vector<Fields> lines = Lines(dir / "b.csv");
    ASSERT_EQ(lines.size(), 7u + 250);
    EXPECT_EQ(lines[0][1], T(CSV_STR5) + "(1)");
    EXPECT_EQ(lines[2][0], T(CSV_STR14));
    EXPECT_EQ(lines[3], (Fields{T(CSV_STR17), "2.95", " ", " ", " ", " ", " "}));
    EXPECT_EQ(lines[6][6], T(CSV_STR34));
    for (uint32_t i = 0; i < 250; ++i) {
        const DayRecord r = Sample(20 + i, 1);
        const Fields want = {CsvDateText(first + 20 + i), T(CSV_STR36), "180", "2.95", std::to_string(r.steps),
                             FormatScaled(r.calories, 1), FormatScaled(r.distance, 2)};
        ASSERT_EQ(lines[7 + i], want) << i;
    }
}

TEST_F(CsvExchange, ExportOfAnUnsetProfileAndOfDaysWithoutAProfile) {
    const uint32_t first = Day(2012, 6, 1);
    MakeUser("Cara", first, 3, 1, 0, 0);
    // The second day carries no weight and stride: it is written in the user's units.
    DayRecord bare{0, 0, 0, 0, 10, 20, 30};
    ASSERT_TRUE(store.WriteDays("Cara", first + 1, {&bare, 1}));
    ASSERT_TRUE(ExportCsv(store, UserOf("Cara"), dir / "c.csv", first, first + 2));
    std::vector<Fields> lines = Lines(dir / "c.csv");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2][1], T(CSV_STR15));
    EXPECT_EQ(lines[3][1], T(CSV_STR18));
    EXPECT_EQ(lines[8], (Fields{CsvDateText(first + 1), T(CSV_STR36), "0", "0.00", "10", "2.0", "0.30"}));
    // And it comes back: the texts for an unset profile read as 0.
    ASSERT_TRUE(fs::copy_file(dir / "c.csv", dir / "c2.csv"));
    EditLine(dir / "c2.csv", 9, [](Fields& f) { f[4] = "77"; });
    ASSERT_TRUE(Import(dir / "c2.csv", "Cara").ok);
    EXPECT_TRUE(requests.empty());
    DayRecord back;
    ASSERT_TRUE(store.ReadDays("Cara", first + 2, {&back, 1}));
    EXPECT_EQ(back.steps, 77u);
}

TEST_F(CsvExchange, AFailedExportLeavesNoFile) {
    const uint32_t first = Day(2012, 6, 1);
    MakeUser("Dora", first, 150);
    CsvUser gone = UserOf("Dora");
    gone.name = "Nobody";  // the header lines get written, then the days cannot be read
    EXPECT_FALSE(ExportCsv(store, gone, dir / "d.csv", first, first + 120));
    EXPECT_FALSE(fs::exists(dir / "d.csv"));
    EXPECT_FALSE(ExportCsv(store, UserOf("Dora"), dir / "no-such-folder" / "d.csv", first, first));
}

TEST_F(CsvExchange, ExportRangeChecks) {
    const uint32_t first = Day(2008, 1, 10), last = Day(2008, 3, 20);
    const std::string outside = T(CSVEXPORT_DLG_STR19) + " 2008-1-10  ~  2008-3-20";
    struct Case {
        uint32_t fy, fm, fd, ty, tm, td;
        bool ok;
        std::string message;
    };
    const Case cases[] = {
        {2008, 1, 10, 2008, 3, 20, true, ""},
        {2008, 2, 29, 2008, 2, 29, true, ""},
        {2008, 1, 9, 2008, 3, 20, false, outside},
        {2008, 1, 10, 2008, 3, 21, false, outside},
        {2008, 2, 30, 2008, 3, 1, false, outside},  // not a date
        {2008, 3, 1, 2008, 2, 1, false, T(CSVEXPORT_DLG_STR20)},
    };
    for (const Case& c : cases) {
        ExportRangeCheck r = CheckExportRange(first, last, c.fy, c.fm, c.fd, c.ty, c.tm, c.td);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.message, c.message);
        if (c.ok) {
            EXPECT_EQ(r.fromDay, Day(c.fy, c.fm, c.fd));
        }
    }
}

TEST_F(CsvExchange, WholeRangeExportReimportsIntoTheSameUserWithoutAQuestion) {
    const uint32_t first = Day(2009, 5, 1);
    MakeUser("Anna", first, 120);
    const fs::path csv = ExportAll("Anna");
    const std::string before = UserBytes("Anna");
    CsvImportResult r = Import(csv, "Anna");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.receivingUser, "Anna");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(UserBytes("Anna"), before);
    EXPECT_FALSE(fs::exists(dir / "User" / "Anna_bk.bin"));

    // Changed values in the file replace the stored ones, exactly.
    EditLine(csv, 7 + 3, [](Fields& f) { f[6] = "0.29"; f[4] = "999999"; });
    ASSERT_TRUE(Import(csv, "Anna").ok);
    DayRecord got;
    ASSERT_TRUE(store.ReadDays("Anna", first + 3, {&got, 1}));
    EXPECT_EQ(got.distance, 29u);
    EXPECT_EQ(got.steps, 999999u);
}

TEST_F(CsvExchange, HeaderRulesRefuseTheFileBeforeAnythingIsTouched) {
    MakeUser("Anna", Day(2009, 5, 1), 10);
    const fs::path good = ExportAll("Anna", "good.csv");
    struct Case {
        const char* name;
        size_t line;
        std::string value;  // new F2
        bool accepted;
    };
    const Case cases[] = {
        {"no parenthesis", 0, T(CSV_STR4) + "0", false},
        {"unit 2", 0, T(CSV_STR4) + "(2)", false},
        {"unit without digits", 0, T(CSV_STR4) + "()", false},
        {"empty user name", 1, "", false},
        {"weight 151", 2, "151", false},
        {"weight -70", 2, "-70", false},
        {"weight 0", 2, "0", true},
        {"stride 9", 3, "9", false},
        {"stride 7.5e1", 3, "7.5e1", false},
        {"first day 1999.12.31", 4, "1999.12.31", false},
        {"first day 2009.2.29", 4, "2009.2.29", false},
        {"first day without its day", 4, "2009.5", false},
        {"last day before the first", 5, "2009.4.30", false},
        {"last day 2100.1.1", 5, "2100.1.1", false},
    };
    const std::string before = UserBytes("Anna");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::copy_file(good, dir / "t.csv", fs::copy_options::overwrite_existing);
        EditLine(dir / "t.csv", c.line, [&](Fields& f) { f[1] = c.value; });
        messages.clear();
        requests.clear();
        answers = {CsvUserChoice{"Anna", false}};
        EXPECT_EQ(Import(dir / "t.csv", "Anna").ok, c.accepted);
        if (!c.accepted) {
            EXPECT_TRUE(requests.empty());
            EXPECT_EQ(UserBytes("Anna"), before);
        }
    }
    // Imperial strides are read in inches with decimals: 4.01 is past the limit.
    MakeUser("Ben", Day(2009, 5, 1), 2, 1, 180, 295);
    const fs::path imperial = ExportAll("Ben", "i.csv");
    EditLine(imperial, 3, [](Fields& f) { f[1] = "4.01"; });
    EXPECT_FALSE(Import(imperial, "Ben").ok);
    EditLine(imperial, 3, [](Fields& f) { f[1] = "4.00"; });
    answers = {CsvUserChoice{"Ben", false}};
    EXPECT_TRUE(Import(imperial, "Ben").ok);
}

TEST_F(CsvExchange, ShortLongAndBrokenFiles) {
    const uint32_t first = Day(2009, 5, 1);
    MakeUser("Anna", first, 30);
    const fs::path csv = ExportAll("Anna");
    const std::string whole = test::ReadFile(csv);
    const std::string before = UserBytes("Anna");
    auto lineEnd = [&](size_t lines) {
        size_t at = 0;
        for (size_t i = 0; i < lines; ++i) at = whole.find("\r\n", at) + 2;
        return at;
    };
    struct Case {
        const char* name;
        std::string file;
        bool ok;
    };
    std::string badSteps = whole, badUnit = whole, garbage = whole;
    badSteps.replace(badSteps.find("\"4013\""), 6, "\"1000000\"");
    badUnit.replace(lineEnd(7 + 5), whole.find("\r\n", lineEnd(7 + 5)) - lineEnd(7 + 5),
                    "\"x\",\"Metrisch\",\"70\",\"75\",\"1\",\"1.0\",\"1.00\"");
    garbage.replace(lineEnd(20), 40, std::string("\x01\"\xFF,,\r\r\n\0", 10) + std::string(30, 'z'));
    const Case cases[] = {
        {"one data line short", whole.substr(0, lineEnd(7 + 29)), false},
        {"header only", whole.substr(0, lineEnd(7)), false},
        {"last line without CR LF", whole.substr(0, whole.size() - 2), false},
        {"extra lines are ignored", whole + whole.substr(lineEnd(7)), true},
        {"steps above 999999", badSteps, false},
        {"a unit text of another language", badUnit, false},
        {"garbage in the middle", garbage, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::WriteFile(dir / "t.csv", c.file));
        EXPECT_EQ(Import(dir / "t.csv", "Anna").ok, c.ok);
        EXPECT_EQ(UserBytes("Anna"), before);  // the file holds the same days either way
        EXPECT_FALSE(fs::exists(dir / "User" / "Anna_bk.bin"));
    }
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
        int from, to;    // relative to the first stored day
        int badLine;     // data line (0-based) made unreadable, or -1
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
    const fs::path annas = ExportAll("Anna", "anna.csv");

    // Same units: CSV_STR39, then the dialog with both profiles; Cara takes over the profile.
    answers = {CsvUserChoice{"cara", true}};
    CsvImportResult r = Import(annas, "Cara");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.receivingUser, "Cara");
    EXPECT_EQ(messages, std::vector<LangKey>{CSV_STR39});
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].fileUser, "Anna");
    EXPECT_EQ(requests[0].fileFirstDay, Day(2009, 5, 1));
    EXPECT_EQ(requests[0].currentUser, "Cara");
    EXPECT_EQ(requests[0].currentFirstDay, Day(2011, 1, 1));
    EXPECT_FALSE(requests[0].unitsDiffer);
    UserFileHeader cara = Header("Cara");
    EXPECT_EQ(std::tie(cara.weight, cara.stride, cara.firstDay, cara.lastDay),
              std::make_tuple(70u, 75u, Day(2009, 5, 1), Day(2011, 1, 5)));

    // Other units: APPEDN_STR5; a name that cannot be read brings CSV_STR40 and the dialog
    // again; cancelling then ends the import with Ben untouched.
    messages.clear();
    requests.clear();
    const std::string ben = UserBytes("Ben");
    answers = {CsvUserChoice{"Nobody", false}, std::nullopt};
    EXPECT_FALSE(Import(annas, "Ben").ok);
    EXPECT_EQ(messages, (std::vector<LangKey>{APPEDN_STR5, CSV_STR40}));
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].unitsDiffer);
    EXPECT_EQ(UserBytes("Ben"), ben);
}

TEST_F(CsvExchange, NeverFilledProfileTakesAnyFileAndAnUnreadableOneFailsOnce) {
    MakeUser("Anna", Day(2009, 5, 1), 10);
    MakeUser("Neu", Day(2015, 1, 1), 1, 0, 0, 0);
    const fs::path annas = ExportAll("Anna");
    EXPECT_TRUE(Import(annas, "Neu").ok);
    EXPECT_TRUE(messages.empty() && requests.empty());

    // The current user's file went away: one message, no loop, no dialog.
    UserFileHeader neu = Header("Neu");
    fs::remove(dir / "User" / "Neu.usr");
    CsvImportResult r = ImportCsv(store, annas, "Neu", neu, callbacks);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages, std::vector<LangKey>{CSV_STR40});
    EXPECT_TRUE(requests.empty());
}

TEST(CsvImportCommand, ExtensionAndRememberedFolder) {
    for (const char* yes : {"/a/b.csv", "/a/B.CSV", "x.Csv"}) EXPECT_TRUE(HasCsvExtension(yes)) << yes;
    for (const char* no : {"/a/b.csv.txt", "/a/csv", "/a/b.cs", "/a/b"}) EXPECT_FALSE(HasCsvExtension(no)) << no;
    EXPECT_EQ(CsvImportFolder("/home/anna/days.csv"), "/home/anna/");
    EXPECT_EQ(CsvImportFolder("/" + std::string(2046, 'x') + "/a.csv"), "");
    EXPECT_EQ(CsvImportFolder("/" + std::string(2045, 'x') + "/a.csv").size(), 2047u);
}

}  // namespace
}  // namespace stepora
