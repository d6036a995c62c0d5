#include "app/LangTable.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

TEST(LangTable, ReadsTheLanguageListAndTheCurrentLanguage) {
    const struct {
        const char* ini;  // nullptr: no Language.INI
        uint32_t count, current;  // count 0: no valid table
    } cases[] = {
        {nullptr, 0, 0},
        {"[LanguageList]\nLanguageFile_1=en\nLanguageKeys_1=EN\nLanguageFile_2=de\nLanguageKeys_2=DE\n"
         "[CurrentLanguage]\nfile=de\n", 2, 1},
        {"[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_2=b\n[CurrentLanguage]\nfile=a\n", 1, 0},
        {"[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_3=c\nLanguageKeys_3=C\n"
         "[CurrentLanguage]\nfile=c\n", 0, 0},  // a gap ends the list
        {"[LanguageList]\nLanguageFile_1=en\nLanguageKeys_1=EN\n[CurrentLanguage]\nfile=EN\n", 0, 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.ini) { ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI", c.ini)); }
        LangTable table(dir.path());
        uint32_t count = 0, current = 0;
        EXPECT_EQ(table.GetLanguageCount(count) && table.GetCurrentLanguage(current), c.count > 0) << c.ini;
        EXPECT_EQ(count * 1000 + current, c.count * 1000 + c.current) << c.ini;
        EXPECT_TRUE(fs::is_directory(dir / "Language"));
    }
}

void WriteLanguages(const TempDir& dir) {
    ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI",
                          "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\nLanguageFile_2=de.ini\n"
                          "LanguageKeys_2=DE\n[CurrentLanguage]\nfile=en.ini\n"));
    ASSERT_TRUE(WriteFile(dir / "Language" / "en.ini",
                          "[LanguageName]\nEN=English\nDE=German\n[LanguageString]\n"
                          "MENU_TITLE_FILE=File\nAPP_YES=NULL\nAPPEDN_STR5=Last\n"));
    ASSERT_TRUE(WriteFile(dir / "Language" / "de.ini",
                          "[LanguageName]\nDE=Deutsch\n[LanguageString]\nMENU_TITLE_FILE=Datei\n"));
}

// A strict lookup that fails ends the program with exit code 0 after its message.
TEST(LangTable, TextsAndNamesComeFromTheCurrentLanguageFileAndStrictLookupsEndTheProgram) {
    TempDir dir;
    WriteLanguages(dir);
    std::string text = "junk";
    {
        LangTable table(dir.path());
        for (const auto& [key, want] : {std::pair<uint32_t, std::string>{MENU_TITLE_FILE, "File"},
                                        {APPEDN_STR5, "Last"}, {APP_YES, ""}, {APP_NO, ""}, {494, ""}}) {
            EXPECT_EQ(table.GetString(key, text), !want.empty()) << key;  // NULL counts as missing
            EXPECT_EQ(text, want);
        }
        EXPECT_TRUE(table.GetLanguageName(1, text) && text == "German");
        EXPECT_FALSE(table.SetCurrentLanguage(2));
        ASSERT_TRUE(table.SetCurrentLanguage(1));
        EXPECT_TRUE(table.GetLanguageName(1, text) && text == "Deutsch");
    }
    LangTable again(dir.path());  // the switch was written
    uint32_t current = 0;
    EXPECT_TRUE(again.GetCurrentLanguage(current) && current == 1);
    InstallLangTable(&again);
    EXPECT_EQ(GetLangString(MENU_TITLE_FILE), "Datei");
    EXPECT_EXIT(GetLangString(APP_NO), ::testing::ExitedWithCode(0), kLanguageErrorText);
    EXPECT_EXIT(StrictSetCurrentLanguage(7), ::testing::ExitedWithCode(0), kLanguageUpdateErrorText);
    fs::remove_all(dir / "Language");  // nowhere to write a switch: the table is no longer valid
    EXPECT_FALSE(again.SetCurrentLanguage(0) || again.GetCurrentLanguage(current));
    EXPECT_EXIT(StrictGetLanguageCount(current), ::testing::ExitedWithCode(0), kLanguageErrorText);
    InstallLangTable(nullptr);
}

// The shipped languages: a text for every key, and the CSV texts that export writes and
// import expects agree.
TEST(LangTable, EveryShippedLanguageHasEveryKey) {
    TempDir dir;  // a copy, since switching languages rewrites Language.INI
    fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language", fs::copy_options::recursive);
    LangTable table(dir.path());
    uint32_t count = 0, current = 99;
    ASSERT_TRUE(table.GetLanguageCount(count) && count >= 2);
    EXPECT_TRUE(table.GetCurrentLanguage(current) && current == 0);  // English first and current
    for (uint32_t lang = 0; lang < count; ++lang) {
        ASSERT_TRUE(table.SetCurrentLanguage(lang));
        std::string text;
        for (uint32_t other = 0; other < count; ++other)
            EXPECT_TRUE(table.GetLanguageName(other, text)) << "language " << lang << " names " << other;
        for (uint32_t key = 0; key < LANG_KEY_COUNT; ++key) {
            ASSERT_TRUE(table.GetString(key, text)) << "language " << lang << " lacks " << KeyNames[key];
            EXPECT_TRUE(!text.empty() && text.front() != ' ') << KeyNames[key];
            EXPECT_EQ(text.find('%'), std::string::npos) << KeyNames[key];  // texts are never formats
        }
        auto get = [&](LangKey key) { return table.GetString(key, text) ? text : "?"; };
        EXPECT_EQ(get(CSV_STR35), get(CSV_STR4)) << "language " << lang;
        EXPECT_EQ(get(CSV_STR36), get(CSV_STR5)) << "language " << lang;
        EXPECT_TRUE(fs::is_regular_file(fs::path(STEPORA_DATA_DIR) / "doc" / get(MAINMENU_STR26))) << text;
    }
}

}  // namespace
}  // namespace stepora
