#include "app/ProfileStrings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/TempDir.h"

namespace stepora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ReadCase {
    const char* name;
    const char* file;  // nullptr: no file at all
    const char* section;
    const char* key;
    const char* expected;
};

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsTheProgramExpects) {
    const ReadCase& c = GetParam();
    TempDir dir;
    auto file = dir / "test.ini";
    if (c.file) {
        ASSERT_TRUE(WriteFile(file, c.file));
    }
    EXPECT_EQ(GetProfileString(file, c.section, c.key, "NULL"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReadTest,
    ::testing::Values(
        ReadCase{"MissingFile", nullptr, "S", "k", "NULL"},
        ReadCase{"MissingSection", "[A]\nk=1\n", "B", "k", "NULL"},
        ReadCase{"MissingKey", "[A]\nk=1\n", "A", "j", "NULL"},
        ReadCase{"Plain", "[A]\nk=1\n", "A", "k", "1"},
        ReadCase{"SectionIgnoresCase", "[Lang]\nKey=v\n", "LANG", "key", "v"},
        ReadCase{"FirstDuplicateWins", "[A]\nk=first\nk=second\n", "A", "k", "first"},
        ReadCase{"CrLfLines", "[A]\r\nk=v\r\n", "A", "k", "v"},
        ReadCase{"SpacesTrimmed", "[A]\n  k  =  v w  \n", "A", "k", "v w"},
        ReadCase{"QuotesRemoved", "[A]\nk=\"quoted\"\n", "A", "k", "quoted"},
        ReadCase{"EmptyValue", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"Utf8Kept", "[A]\nk=Größe\n", "A", "k", "Größe"},
        ReadCase{"InvalidUtf8Kept", "[A]\nk=\xff\xfe\x80x\n", "A", "k", "\xff\xfe\x80x"},
        ReadCase{"LiteralNullIsNull", "[A]\nk=NULL\n", "A", "k", "NULL"},
        ReadCase{"CommentIgnored", "[A]\n;k=1\nk=2\n", "A", "k", "2"},
        ReadCase{"NotAnIniFile", "\x01\x02garbage\n\n=\n[[[\n", "A", "k", "NULL"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileStrings, ReadsOverlongLines) {
    TempDir dir;
    std::string value(100000, 'x');
    ASSERT_TRUE(WriteFile(dir / "a.ini", "[A]\nk=" + value + "\n"));
    EXPECT_EQ(GetProfileString(dir / "a.ini", "A", "k", "NULL"), value);
}

TEST(ProfileStrings, WriteCreatesAndKeepsTheRest) {
    TempDir dir;
    auto file = dir / "c.ini";
    ASSERT_TRUE(WriteFile(file, "; settings\n[Other]\nx=1\n[A]\nk=old\nm=2\n"));
    ASSERT_TRUE(WriteProfileString(file, "a", "K", "new"));
    EXPECT_EQ(GetProfileString(file, "A", "k", "NULL"), "new");
    EXPECT_EQ(GetProfileString(file, "Other", "x", "NULL"), "1");
    EXPECT_EQ(GetProfileString(file, "A", "m", "NULL"), "2");
    EXPECT_NE(ReadFile(file).find("; settings"), std::string::npos);

    auto fresh = dir / "fresh.ini";
    ASSERT_TRUE(WriteProfileString(fresh, "S", "k", "v"));
    EXPECT_EQ(GetProfileString(fresh, "S", "k", "NULL"), "v");
}

// What a write could not store so that it reads back is refused, and the file stays as it was.
TEST(ProfileStrings, WriteRefusesWhatWouldNotReadBack) {
    using namespace std::string_literals;
    struct Refused {
        std::string section, key, value;
    };
    const Refused refused[] = {
        {"A", "k", "two\nlines"},  {"A", "k", "cr\rhere"},  {"A", "k", "cut\0off"s},
        {"A\n[B]", "k", "v"},      {"A]B", "k", "v"},       {"A\0B"s, "k", "v"},
        {" A", "k", "v"},          {"A\t", "k", "v"},      {"", "k", "v"},
        {"A", "", "v"},            {"A", "k=x", "v"},       {"A", "[Sec]", "v"},
        {"A", "[k", "v"},          {"A", ";k", "v"},        {"A", "#k", "v"},
        {"A", " k", "v"},          {"A", "k\t", "v"},      {"A", "k\0x"s, "v"},
    };
    TempDir dir;
    auto file = dir / "c.ini";
    ASSERT_TRUE(WriteProfileString(file, "A", "k", "v"));
    const std::string before = ReadFile(file);
    for (const Refused& r : refused) {
        EXPECT_FALSE(WriteProfileString(file, r.section, r.key, r.value)) << r.section << "|" << r.key << "|" << r.value;
        EXPECT_EQ(ReadFile(file), before) << r.section << "|" << r.key << "|" << r.value;
    }
    EXPECT_FALSE(WriteProfileString(dir / "no" / "such" / "dir.ini", "A", "k", "v"));
}

TEST(ProfileStrings, WriteKeepsCrLfLinesAndValuesReadBackExactly) {
    TempDir dir;
    auto file = dir / "c.ini";
    ASSERT_TRUE(WriteFile(file, "; settings\r\n[A]\r\nk=old\r\n"));
    const std::string values[] = {"new", " padded ", "\ttab", "\"quoted\"", "'single'", "\"", "", "a \"b\" c"};
    for (const std::string& value : values) {
        ASSERT_TRUE(WriteProfileString(file, "A", "k", value)) << value;
        ASSERT_TRUE(WriteProfileString(file, "B", "other key", value)) << value;
        EXPECT_EQ(GetProfileString(file, "A", "k", "NULL"), value);
        EXPECT_EQ(GetProfileString(file, "B", "other key", "NULL"), value);
        const std::string bytes = ReadFile(file);
        for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << bytes;
    }
    EXPECT_NE(ReadFile(file).find("; settings\r\n"), std::string::npos);
}

TEST(ProfileStrings, AFolderInPlaceOfTheFileIsMissingAndUnwritable) {
    TempDir dir;
    std::filesystem::create_directories(dir / "config.ini");
    EXPECT_EQ(GetProfileString(dir / "config.ini", "A", "k", "NULL"), "NULL");
    EXPECT_FALSE(WriteProfileString(dir / "config.ini", "A", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "config.ini"));
}

TEST(ProfileStrings, WriteLeavesNoTempFiles) {
    TempDir dir;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(WriteProfileString(dir / "c.ini", "A", "k", "v"));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(ProfileStrings, AnEditShowsOnTheNextRead) {
    TempDir dir;
    auto file = dir / "lang.ini";
    ASSERT_TRUE(WriteFile(file, "[S]\nk=aaaa\n"));
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "aaaa");
    ASSERT_TRUE(WriteFile(file, "[S]\nk=bbbb\n"));  // same size, same clock tick
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "bbbb");
    std::filesystem::remove(file);
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "NULL");
}

TEST(ProfileStrings, AnEditOfAnOldFileShowsOnTheNextRead) {
    TempDir dir;
    auto file = dir / "lang.ini";
    ASSERT_TRUE(WriteFile(file, "[S]\nk=aaaa\n"));
    // Only a file left unchanged for a while is kept in memory between reads.
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "aaaa");
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "aaaa");
    ASSERT_TRUE(WriteFile(file, "[S]\nk=bbbb\n"));
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "bbbb");
}

}  // namespace
}  // namespace stepora
