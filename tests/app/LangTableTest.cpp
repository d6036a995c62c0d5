// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LangTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/ProfileStrings.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

// What is wrong at start-up is named with its file, so that a person can mend it.
TEST(LangTable, ReadsTheLanguageListAndTheCurrentLanguage) {
    const struct {
        const char* ini;          // nullptr: no Language.INI
        uint32_t count, current;  // count 0: no valid table
        const char* problem;
    } cases[] = {
        {nullptr, 0, 0, "Language/Language.INI is missing."},
        {"[LanguageList]\nLanguageFile_1=en\nLanguageKeys_1=EN\nLanguageFile_2=de\nLanguageKeys_2=DE\n"
         "[CurrentLanguage]\nfile=de\n",
         2, 1, "Language/de cannot be read."},
        {"[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_2=b\n[CurrentLanguage]\nfile=a\n", 1, 0,
         "Language/a cannot be read."},
        {"[LanguageList]\nLanguageFile_1=a\nLanguageKeys_1=A\nLanguageFile_3=c\nLanguageKeys_3=C\n"
         "[CurrentLanguage]\nfile=c\n",
         0, 0, "[CurrentLanguage] file=c names no language"},  // a gap ends the list
        {"[LanguageList]\nLanguageFile_1=en\nLanguageKeys_1=EN\n[CurrentLanguage]\nfile=EN\n", 0, 0, "file=EN names"},
        {"[LanguageList]\nLanguageFile_1=en\n", 0, 0, "Language/Language.INI: [LanguageList] lists no language"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.ini) {
            ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI", c.ini));
        }
        LangTable table(dir.path());
        uint32_t count = 0, current = 0;
        EXPECT_EQ(table.GetLanguageCount(count) && table.GetCurrentLanguage(current), c.count > 0) << c.ini;
        EXPECT_EQ(count * 1000 + current, c.count * 1000 + c.current) << c.ini;
        EXPECT_EQ(fs::exists(dir / "Language"), c.ini != nullptr);  // nothing is made
        std::string problem;
        EXPECT_FALSE(table.Check(problem));
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

void WriteLanguages(const TempDir& dir) {
    ASSERT_TRUE(WriteFile(dir / "Language" / "Language.INI",
                          "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\nLanguageFile_2=de.ini\n"
                          "LanguageKeys_2=DE\n[CurrentLanguage]\nfile=en.ini\n"));
    ASSERT_TRUE(WriteFile(dir / "Language" / "en.ini",
                          "[LanguageName]\nEN=English\nDE=German\n[LanguageString]\n"
                          "MENU_TITLE_FILE=File\nAPP_YES=NULL\nAPPEDN_STR5=Last\n"));
    ASSERT_TRUE(WriteFile(dir / "Language" / "de.ini", "[LanguageName]\nDE=Deutsch\n[LanguageString]\nMENU_TITLE_FILE=Datei\n"));
}

// A strict lookup that fails ends the program with its own exit code after its message.
TEST(LangTable, TextsAndNamesComeFromTheCurrentLanguageFileAndStrictLookupsEndTheProgram) {
    TempDir dir;
    WriteLanguages(dir);
    std::string text = "junk";
    {
        LangTable table(dir.path());
        for (const auto& [key, want] : {std::pair<uint32_t, std::string>{MENU_TITLE_FILE, "File"},
                                        {APPEDN_STR5, "Last"},
                                        {APP_YES, ""},
                                        {APP_NO, ""},
                                        {494, ""}}) {
            EXPECT_EQ(table.GetString(key, text), !want.empty()) << key;  // NULL counts as missing
            EXPECT_EQ(text, want);
        }
        EXPECT_TRUE(table.GetLanguageName(1, text) && text == "German");
        EXPECT_TRUE(!table.Check(text) && text == "Language/en.ini: there is no text for MENU_TITLE_USER (and 491 more).");
        EXPECT_FALSE(table.SetCurrentLanguage(2));
        ASSERT_TRUE(table.SetCurrentLanguage(1));
        EXPECT_TRUE(table.GetLanguageName(1, text) && text == "Deutsch");
    }
    LangTable again(dir.path());  // the switch was written
    uint32_t current = 0;
    EXPECT_TRUE(again.GetCurrentLanguage(current) && current == 1);
    InstallLangTable(&again);
    EXPECT_EQ(GetLangString(MENU_TITLE_FILE), "Datei");
    // A key added since falls back to its English text when the file lacks it.
    ASSERT_TRUE(WriteFile(dir / "Language" / "de.ini",
                          "[LanguageName]\nDE=Deutsch\n[LanguageString]\nMENU_TITLE_FILE=Datei\nPRINT_STR9=PDF\n"));
    EXPECT_EQ(GetLangString(PRINT_STR9), "PDF");
    EXPECT_EQ(GetLangString(CSV_STR47), AddedKeyEnglish[CSV_STR47]);
    EXPECT_EXIT(GetLangString(APP_NO), ::testing::ExitedWithCode(kLanguageExitCode), kLanguageErrorText);
    EXPECT_EXIT(StrictSetCurrentLanguage(7), ::testing::ExitedWithCode(kLanguageExitCode), kLanguageUpdateErrorText);
    fs::remove_all(dir / "Language");  // nowhere to write a switch: the table is no longer valid
    EXPECT_FALSE(again.SetCurrentLanguage(0) || again.GetCurrentLanguage(current));
    EXPECT_EXIT(StrictGetLanguageCount(current), ::testing::ExitedWithCode(kLanguageExitCode), kLanguageErrorText);
    InstallLangTable(nullptr);
}

// Texts are remembered while their file stays the same: a person's edit shows at the
// next lookup, and inside one refresh (a read scope) a write by the program at once.
TEST(LangTable, RememberedTextsFollowTheirFile) {
    TempDir dir;
    WriteLanguages(dir);
    LangTable table(dir.path());
    const fs::path english = dir / "Language" / "en.ini";
    std::string text;
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));  // old enough to be kept parsed
    EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text) && text == "File") << text;
    ASSERT_TRUE(WriteFile(english, "[LanguageString]\nMENU_TITLE_FILE=Fichier\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text) && text == "Fichier") << text;
    const ProfileReadScope refresh;
    EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text) && text == "Fichier") << text;
    ASSERT_TRUE(WriteProfileString(english, "LanguageString", "MENU_TITLE_FILE", "Datei"));
    EXPECT_TRUE(table.GetString(MENU_TITLE_FILE, text) && text == "Datei") << text;
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
        std::string problem;
        EXPECT_TRUE(table.Check(problem)) << problem;
        for (uint32_t key = 0; key < ADDED_KEY_COUNT; ++key)
            EXPECT_TRUE(table.GetString(AddedKey(key), text)) << "language " << lang << " lacks " << AddedKeyNames[key];
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
    // A first start follows the desktop's locale when a language is there for it.
    for (const auto& [locale, language] : {std::pair{"de_DE.UTF-8", 1},
                                           {"zh_CN.UTF-8", 2},
                                           {"zh_TW", 2},
                                           {"en_GB.UTF-8", 0},
                                           {"fr_FR.UTF-8", -1},
                                           {"C.UTF-8", -1},
                                           {"", -1}})
        EXPECT_EQ(LanguageForLocale(table, locale), language) << locale;
}

}  // namespace
}  // namespace stepora
