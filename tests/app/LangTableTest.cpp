#include "app/LangTable.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/ProfileStrings.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ConfigCase {
    const char* name;
    const char* languageIni;  // nullptr: no Language.INI
    bool valid;
    uint32_t count;
    uint32_t current;
};

class LangTableConfig : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(LangTableConfig, ReadsTheLanguageList) {
    const ConfigCase& c = GetParam();
    TempDir dir;
    if (c.languageIni) {
        ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI", c.languageIni));
    }
    LangTable table(dir.path());
    uint32_t count = 99, current = 99;
    EXPECT_EQ(table.GetLanguageCount(count), c.valid);
    EXPECT_EQ(table.GetCurrentLanguage(current), c.valid);
    if (c.valid) {
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(current, c.current);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Language"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LangTableConfig,
    ::testing::Values(
        ConfigCase{"NoConfigFile", nullptr, false, 0, 0},
        ConfigCase{"TwoLanguages",
                   "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\n"
                   "LanguageFile_2=de.ini\nLanguageKeys_2=DE\n[CurrentLanguage]\nfile=de.ini\n",
                   true, 2, 1},
        ConfigCase{"ThirdKeyMissing",
                   "[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_2=b\n"
                   "LanguageKeys_2=B\nLanguageFile_3=c\n[CurrentLanguage]\nfile=a\n",
                   true, 2, 0},
        ConfigCase{"GapEndsTheList",
                   "[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_3=c\n"
                   "LanguageKeys_3=C\n[CurrentLanguage]\nfile=a\n",
                   true, 1, 0},
        ConfigCase{"CurrentDiffersInCase",
                   "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\n"
                   "[CurrentLanguage]\nfile=EN.ini\n",
                   false, 0, 0},
        ConfigCase{"CurrentMissing", "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\n",
                   false, 0, 0},
        ConfigCase{"CurrentIsNull",
                   "[LanguageList]\nLanguageFile_1=NULL\nLanguageKeys_1=EN\n"
                   "[CurrentLanguage]\nfile=NULL\n",
                   false, 0, 0},
        ConfigCase{"NoLanguage", "[CurrentLanguage]\nfile=en.ini\n", false, 0, 0},
        ConfigCase{"FirstOfDuplicateFiles",
                   "[LanguageList]\nLanguageFile_1=x\nLanguageKeys_1=X\nLanguageFile_2=x\n"
                   "LanguageKeys_2=Y\n[CurrentLanguage]\nfile=x\n",
                   true, 2, 0},
        ConfigCase{"Garbage", "\xff\xfe\x00\x01[[[]]]===\n", false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LangTable, StopsAfter256Languages) {
    TempDir dir;
    std::string ini = "[LanguageList]\n";
    for (int n = 1; n <= 300; ++n)
        ini += "LanguageFile_" + std::to_string(n) + "=f" + std::to_string(n) + "\nLanguageKeys_" +
               std::to_string(n) + "=K" + std::to_string(n) + "\n";
    ini += "[CurrentLanguage]\nfile=f256\n";
    ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI", ini));
    LangTable table(dir.path());
    uint32_t count = 0, current = 0;
    ASSERT_TRUE(table.GetLanguageCount(count));
    EXPECT_EQ(count, 256u);
    ASSERT_TRUE(table.GetCurrentLanguage(current));
    EXPECT_EQ(current, 255u);
}

class LangTableLookup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI",
                              "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\n"
                              "LanguageFile_2=de.ini\nLanguageKeys_2=DE\n"
                              "[CurrentLanguage]\nfile=en.ini\n"));
        ASSERT_TRUE(WriteFile(dir / "Language" / "en.ini",
                              "[LanguageName]\nEN=English\nDE=German\n[LanguageString]\n"
                              "MENU_TITLE_FILE=File\nAPP_NAME=Stepora\nAPP_YES=NULL\n"
                              "APPEDN_STR5=Last\n"));
        ASSERT_TRUE(WriteFile(dir / "Language" / "de.ini",
                              "[LanguageName]\nEN=Englisch\nDE=Deutsch\n[LanguageString]\n"
                              "MENU_TITLE_FILE=Datei\n"));
    }
    TempDir dir;
};

TEST_F(LangTableLookup, AnswersTextsByKeyName) {
    LangTable table(dir.path());
    std::string text = "junk";
    EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text));
    EXPECT_EQ(text, "File");
    EXPECT_TRUE(table.GetString(APPEDN_STR5, text));
    EXPECT_EQ(text, "Last");
    EXPECT_FALSE(table.GetString(APP_YES, text));  // NULL counts as missing
    EXPECT_EQ(text, "");
    text = "junk";
    EXPECT_FALSE(table.GetString(APP_NO, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(table.GetString(494, text));
    EXPECT_FALSE(table.GetString(0xFFFFFFFFu, text));
}

TEST_F(LangTableLookup, NamesComeFromTheCurrentLanguage) {
    LangTable table(dir.path());
    std::string name;
    EXPECT_TRUE(table.GetLanguageName(1, name));
    EXPECT_EQ(name, "German");
    EXPECT_FALSE(table.GetLanguageName(2, name));
    ASSERT_TRUE(table.SetCurrentLanguage(1));
    EXPECT_TRUE(table.GetLanguageName(1, name));
    EXPECT_EQ(name, "Deutsch");
    EXPECT_FALSE(table.SetCurrentLanguage(2));
}

TEST_F(LangTableLookup, SwitchIsWrittenAndSurvivesARestart) {
    {
        LangTable table(dir.path());
        ASSERT_TRUE(table.SetCurrentLanguage(1));
        std::string text;
        EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text));
        EXPECT_EQ(text, "Datei");
    }
    EXPECT_EQ(GetProfileString(dir / "Language" / "Language.INI", "CurrentLanguage", "file", ""),
              "de.ini");
    LangTable again(dir.path());
    uint32_t current = 0;
    ASSERT_TRUE(again.GetCurrentLanguage(current));
    EXPECT_EQ(current, 1u);
    EXPECT_EQ(GetProfileString(dir / "Language" / "Language.INI", "LanguageList",
                               "LanguageKeys_2", ""),
              "DE");
}

TEST_F(LangTableLookup, FailedSwitchLeavesTheTableInvalid) {
    LangTable table(dir.path());
    std::filesystem::remove_all(dir / "Language");  // nowhere to write Language.INI
    EXPECT_FALSE(table.SetCurrentLanguage(1));
    uint32_t count = 0;
    EXPECT_FALSE(table.GetLanguageCount(count));
    std::string text;
    EXPECT_FALSE(table.GetString(MENU_TITLE_FILE, text));
}

TEST_F(LangTableLookup, EditedLanguageFileShowsAtOnce) {
    LangTable table(dir.path());
    std::string text;
    ASSERT_TRUE(table.GetString(MENU_TITLE_FILE, text));
    ASSERT_TRUE(WriteFile(dir / "Language" / "en.ini",
                          "[LanguageString]\nMENU_TITLE_FILE=Fyle\n"));
    ASSERT_TRUE(table.GetString(MENU_TITLE_FILE, text));
    EXPECT_EQ(text, "Fyle");
}

TEST(LangKeys, NamesAndNumbersAgree) {
    EXPECT_STREQ(KeyNames[MENU_TITLE_FILE], "MENU_TITLE_FILE");
    EXPECT_STREQ(KeyNames[55], "APP_NAME");
    EXPECT_STREQ(KeyNames[60], "MAINMENU_STR1");
    EXPECT_STREQ(KeyNames[98], "CSVEXPORT_DLG_STR1");
    EXPECT_STREQ(KeyNames[118], "GRAPHEXP_DLG_STR1");
    EXPECT_STREQ(KeyNames[131], "USERMATCH_DLG_STR1");
    EXPECT_STREQ(KeyNames[224], "USEGRAPH_OPTIOS_STR1");
    EXPECT_STREQ(KeyNames[268], "USEGRAPH_STR1");
    EXPECT_STREQ(KeyNames[434], "USEGRAPH_STR167");
    EXPECT_STREQ(KeyNames[435], "CSV_STR1");
    EXPECT_STREQ(KeyNames[481], "PRINT_STR1");
    EXPECT_STREQ(KeyNames[493], "APPEDN_STR5");
    EXPECT_EQ(CSV_STR35, 469);
}

// The strict lookups end the program with exit code 0 after the message.
class StrictLookup : public LangTableLookup {};

TEST_F(StrictLookup, FailureEndsTheProcess) {
    LangTable table(dir.path());
    InstallLangTable(&table);
    EXPECT_EQ(GetLangString(MENU_TITLE_FILE), "File");
    EXPECT_EXIT(GetLangString(APP_NO), ::testing::ExitedWithCode(0), "Language config file error!");
    EXPECT_EXIT(GetLangString(APP_YES), ::testing::ExitedWithCode(0), "Language config file error!");
    std::string name;
    EXPECT_EXIT(StrictGetLanguageName(5, name), ::testing::ExitedWithCode(0),
                "Language config file error!");
    EXPECT_EXIT(StrictSetCurrentLanguage(7), ::testing::ExitedWithCode(0),
                "Update language failed!");
    InstallLangTable(nullptr);
    EXPECT_EXIT(GetLangString(MENU_TITLE_FILE), ::testing::ExitedWithCode(0),
                "Language config file error!");
}

TEST(StrictLookupInvalid, ZeroLanguagesFail) {
    TempDir dir;
    LangTable table(dir.path());
    InstallLangTable(&table);
    uint32_t count = 0;
    EXPECT_EXIT(StrictGetLanguageCount(count), ::testing::ExitedWithCode(0),
                "Language config file error!");
    InstallLangTable(nullptr);
}

}  // namespace
}  // namespace stepora
