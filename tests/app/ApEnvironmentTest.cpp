// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/ProfileStrings.h"
#include "app/WorkDirectory.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using test::TempDir;

// config.ini is written on every start, so only its absence makes a first start; a User
// folder that cannot be made says why.
TEST(WorkDirectory, FirstStartAndAUserFolderThatCannotBeMade) {
    TempDir dir;
    EXPECT_TRUE(IsFirstStart(dir.path()));
    ASSERT_TRUE(test::WriteFile(dir / "config.ini", ""));
    EXPECT_FALSE(IsFirstStart(dir.path()));
    std::string why;
    EXPECT_FALSE(MakeUserFolder(dir / "gone" / "User", why));
    EXPECT_EQ(why, std::strerror(ENOENT));
}

// Missing or unknown sort settings are replaced by the defaults and written back.
TEST(ApEnvironment, SortSettingsAreRepairedAndWrittenBack) {
    const struct {
        const char* config;  // nullptr: no config.ini
        const char *reference, *direction;
    } cases[] = {
        {nullptr, "UserName", "inc"},
        {"[UM_USERMANAGE]\nSortReference=Age\nSortDirection=dec\n", "Age", "dec"},
        {"[UM_USERMANAGE]\nSortReference=weight\nSortDirection=DEC\n", "UserName", "inc"},  // case counts
        {"[UM_USERMANAGE]\nSortReference=NULL\nSortDirection=dec\n", "UserName", "dec"},
        {"\xff\xfe garbage\n[UM_USERMANAGE\nSortReference==\n", "UserName", "inc"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.config) {
            ASSERT_TRUE(test::WriteFile(dir / "config.ini", c.config));
        }
        CApEnvironment env;
        env.Init(dir.path());
        EXPECT_EQ(env.SortReference() + " " + env.SortDirection(), std::string(c.reference) + " " + c.direction);
        EXPECT_EQ(env.ReadConfig("UM_USERMANAGE", "SortReference") + " " + env.ReadConfig("UM_USERMANAGE", "SortDirection"),
                  std::string(c.reference) + " " + c.direction);
    }
}

// A value of the limit or longer is cut to one byte less; other settings stay.
TEST(ApEnvironment, LongValuesAreCutAndOtherSettingsKept) {
    TempDir dir;
    const std::string limit(CApEnvironment::kConfigValueLimit, 'd');
    ASSERT_TRUE(test::WriteFile(dir / "config.ini", "[AP_ENVIRONMENT]\nCSVExportDir=" + limit + "\n"));
    CApEnvironment env;
    env.Init(dir.path());
    env.SetSort("Weight", "dec");
    CApEnvironment again;
    again.Init(dir.path());
    EXPECT_EQ(again.SortReference() + " " + again.SortDirection(), "Weight dec");
    EXPECT_EQ(again.ReadConfig("AP_ENVIRONMENT", "CSVExportDir"), limit.substr(1));
}

}  // namespace
}  // namespace stepora
