// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "csv/CsvFile.h"
#include "csv/CsvNumbers.h"
#include "store/DayCalendar.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using Fields = std::array<std::string, kCsvFields>;

// A literal with NUL bytes in it, whole.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

struct LexCase {
    const char* name;
    std::string file;
    bool readable;
    Fields fields;
};

TEST(CsvFile, LexicalRules) {
    const std::string seven = R"("a","b","c","d","e","f","g")";
    const std::string longField(1022 - 2 - 6 * 3, 'x');  // a line of exactly 1022 bytes
    const std::vector<LexCase> cases = {
        {"plain", seven + "\r\n", true, {"a", "b", "c", "d", "e", "f", "g"}},
        {"doubled quotes",
         R"("say ""hi""","""","",""," ","f","g")"
         "\r\n",
         true,
         {"say \"hi\"", "\"", "", "", " ", "f", "g"}},
        {"comma and CR LF inside quotes",
         "\"1,2\",\"x\r\ny\",\"c\",\"d\",\"e\",\"f\",\"g\"\r\n",
         true,
         {"1,2", "x\r\ny", "c", "d", "e", "f", "g"}},
        {"bytes kept as they are",
         Bytes("\"Zo\xC3\xAB\",\"\0\xFF\",\"c\",\"d\",\"e\",\"f\",\"g\"\r\n"),
         true,
         {"Zo\xC3\xAB", std::string("\0\xFF", 2), "c", "d", "e", "f", "g"}},
        {"eight fields read as seven", seven + ",\"h\"\r\n", true, {"a", "b", "c", "d", "e", "f", "g"}},
        {"1022 bytes and CR LF",
         "\"" + longField + "\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n",
         true,
         {longField, "", "", "", "", "", ""}},
        {"1023 bytes and CR LF", "\"" + longField + "x\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n", false, {}},
        {"unquoted field",
         R"("a",123,"c","d","e","f","g")"
         "\r\n",
         false,
         {}},
        {"lone quote inside a field",
         R"("a"b","b","c","d","e","f","g")"
         "\r\n",
         false,
         {}},
        {"six fields",
         R"("a","b","c","d","e","f")"
         "\r\n",
         false,
         {}},
        {"no CR LF at the end", seven, false, {}},
        {"LF alone", seven + "\n", false, {}},
        {"empty file", "", false, {}},
        {"quote never closed", "\"a,\"b\",\"c\",\"d\",\"e\",\"f\",\"g\r\n", false, {}},
    };
    test::TempDir dir;
    for (const LexCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::WriteFile(dir / "t.csv", c.file));
        CCsvFile file;
        ASSERT_TRUE(file.OpenForRead(dir / "t.csv"));
        Fields got;
        bool atEnd = false;
        EXPECT_EQ(file.ReadCsvLine(got, atEnd) != 0, c.readable);
        if (c.readable) {
            EXPECT_EQ(got, c.fields);
            EXPECT_TRUE(atEnd);
        }
    }
}

TEST(CsvFile, WritesQuotedLinesThatReadBackThroughTheReadWindow) {
    test::TempDir dir;
    const Fields tricky = {"2007.3.5", "a \"b\" c", "", " ", "1,5", "line\r\nbreak", "Zo\xC3\xAB"};
    const std::string trickyLine = "\"2007.3.5\",\"a \"\"b\"\" c\",\"\",\" \",\"1,5\",\"line\r\nbreak\",\"Zo\xC3\xAB\"\r\n";
    {
        CCsvFile file;
        ASSERT_TRUE(file.OpenForWrite(dir / "w.csv"));
        ASSERT_TRUE(file.WriteCsvLine(tricky));
        for (int i = 0; i < 20000; ++i) ASSERT_TRUE(file.WriteCsvLine({std::to_string(i), "b", "c", "d", "e", "f", "g"}));
        ASSERT_TRUE(file.Close());
    }
    EXPECT_EQ(test::ReadFile(dir / "w.csv").substr(0, trickyLine.size()), trickyLine);
    CCsvFile file;
    ASSERT_TRUE(file.OpenForRead(dir / "w.csv"));
    Fields got;
    bool atEnd = true;
    ASSERT_TRUE(file.ReadCsvLine(got, atEnd));
    EXPECT_EQ(got, tricky);
    for (int i = 0; i < 20000; ++i) {
        ASSERT_TRUE(file.ReadCsvLine(got, atEnd)) << i;
        ASSERT_EQ(got[0], std::to_string(i));
        ASSERT_EQ(atEnd, i == 19999);
    }
    EXPECT_FALSE(file.ReadCsvLine(got, atEnd));
}

// A disk that fills up (no file may grow past 4 KiB here): the write fails, and nothing
// half-written takes the place of the file.
TEST(CsvFile, CloseReportsAWriteThatCouldNotReachTheFile) {
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFile(dir / "full.csv", "last week"));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{4096, old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CCsvFile file;
    bool wrote = file.OpenForWrite(dir / "full.csv");
    for (int i = 0; i < 5000 && wrote; ++i) wrote = file.WriteCsvLine({"a", "b", "c", "d", "e", "f", "g"});
    EXPECT_FALSE(file.Close() && wrote);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(test::ReadFile(dir / "full.csv"), "last week");
}

TEST(CsvNumbers, ParsingIsExactAndRefusesAnythingButDigits) {
    struct Case {
        const char* text;
        unsigned decimals;
        bool ok;
        uint32_t value;
    };
    const Case cases[] = {
        {"0.29", 2, true, 29},       {"12", 2, true, 1200},        {"1.999", 2, true, 199}, {".5", 2, true, 50},
        {"3.", 1, true, 30},         {"999999", 0, true, 999999},  {"0", 0, true, 0},       {"-1", 0, false, 0},
        {"+1", 0, false, 0},         {"1e3", 0, false, 0},         {"1.5e2", 2, false, 0},  {"", 0, false, 0},
        {".", 2, false, 0},          {" 1", 0, false, 0},          {"1 ", 0, false, 0},     {"1.2.3", 2, false, 0},
        {"1234567890", 0, false, 0}, {"99999999.99", 2, false, 0}, {"0x10", 0, false, 0}};
    for (const Case& c : cases) {
        uint32_t v = 0;
        EXPECT_EQ(ParseCsvScaled(c.text, c.decimals, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(FormatScaled(29, 2), "0.29");
    EXPECT_EQ(FormatScaled(123456, 1), "12345.6");
    EXPECT_EQ(FormatScaled(7, 0), "7");
}

TEST(CsvNumbers, Dates) {
    uint32_t day = 0, weekday = 0, expected = 0;
    ASSERT_TRUE(DayCalendar().DateToDay(2007, 3, 5, expected, weekday));
    EXPECT_EQ(CsvDateText(expected), "2007.3.5");
    EXPECT_TRUE(ParseCsvDate("2007.3.5", day));
    EXPECT_EQ(day, expected);
    EXPECT_TRUE(ParseCsvDate("2007.03.05.extra", day) && day == expected);
    for (const char* bad : {"2007.2.30", "2007.3", "2007..5", "2007.13.1", "2007.3.-5", "", "a.b.c"})
        EXPECT_FALSE(ParseCsvDate(bad, day)) << bad;
}

}  // namespace
}  // namespace stepora
