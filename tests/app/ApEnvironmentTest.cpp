#include "app/ApEnvironment.h"

#include <gtest/gtest.h>

#include "app/ProfileStrings.h"
#include "app/WorkDirectory.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using test::TempDir;
using test::WriteFile;

struct SortCase {
    const char* name;
    const char* config;  // nullptr: no config.ini
    const char* reference;
    const char* direction;
    bool referenceWritten;
    bool directionWritten;
};

class SortRepair : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortRepair, RepairsAndWritesBack) {
    const SortCase& c = GetParam();
    TempDir dir;
    if (c.config) {
        ASSERT_TRUE(WriteFile(dir / "config.ini", c.config));
    }
    CApEnvironment env;
    env.Init(dir.path());
    EXPECT_EQ(env.SortReference(), c.reference);
    EXPECT_EQ(env.SortDirection(), c.direction);
    auto stored = [&](const char* key) {
        return GetProfileString(dir / "config.ini", "UM_USERMANAGE", key, "NULL");
    };
    if (c.referenceWritten) {
        EXPECT_EQ(stored("SortReference"), c.reference);
    }
    if (c.directionWritten) {
        EXPECT_EQ(stored("SortDirection"), c.direction);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortRepair,
    ::testing::Values(
        SortCase{"NoFile", nullptr, "UserName", "inc", true, true},
        SortCase{"ValidKept", "[UM_USERMANAGE]\nSortReference=StepLen\nSortDirection=dec\n",
                 "StepLen", "dec", true, true},
        SortCase{"UnknownName", "[UM_USERMANAGE]\nSortReference=Name\nSortDirection=dec\n",
                 "UserName", "dec", true, true},
        SortCase{"CapitalsAreNotKnown", "[UM_USERMANAGE]\nSortReference=weight\nSortDirection=DEC\n",
                 "UserName", "inc", true, true},
        SortCase{"SexAndAgeAreKnown", "[UM_USERMANAGE]\nSortReference=Age\nSortDirection=inc\n",
                 "Age", "inc", true, true},
        SortCase{"NullIsMissing", "[UM_USERMANAGE]\nSortReference=NULL\nSortDirection=NULL\n",
                 "UserName", "inc", true, true},
        SortCase{"Garbled", "\xff\xfe garbage\n[UM_USERMANAGE\nSortReference==\n", "UserName",
                 "inc", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApEnvironment, KeepsOtherSettings) {
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir / "config.ini",
                          "[AP_ENVIRONMENT]\nCSVExportDir=/home/a\n[UM_USERMANAGE]\nSortReference=x\n"));
    CApEnvironment env;
    env.Init(dir.path());
    EXPECT_EQ(env.ReadConfig("AP_ENVIRONMENT", "CSVExportDir"), "/home/a");
    env.SetSort("Weight", "dec");
    CApEnvironment again;
    again.Init(dir.path());
    EXPECT_EQ(again.SortReference(), "Weight");
    EXPECT_EQ(again.SortDirection(), "dec");
    EXPECT_EQ(again.ReadConfig("AP_ENVIRONMENT", "CSVExportDir"), "/home/a");
}

TEST(ApEnvironment, LongValuesAreCut) {
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir / "config.ini", "[AP_ENVIRONMENT]\nCSVExportDir=" +
                                                  std::string(5000, 'd') + "\n"));
    CApEnvironment env;
    env.Init(dir.path());
    EXPECT_EQ(env.ReadConfig("AP_ENVIRONMENT", "CSVExportDir"), std::string(2047, 'd'));
}

TEST(WorkDirectory, FollowsTheCurrentDirectory) {
    TempDir dir;
    test::ScopedCurrentDir cd(dir.path());
    CWorkDirectory work;
    std::filesystem::path path;
    ASSERT_TRUE(work.GetWorkDir(path));
    EXPECT_TRUE(std::filesystem::equivalent(path, dir.path()));
}

}  // namespace
}  // namespace stepora
