// The language files shipped in data/Language: every listed language has a text for every
// key, every text survives the INI reader unchanged, and the texts that CSV export writes
// and CSV import expects agree.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/LangTable.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;

TEST(LanguageFiles, EveryLanguageHasEveryKey) {
    // A copy, since switching languages rewrites Language.INI.
    test::TempDir dir;
    fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", dir / "Language", fs::copy_options::recursive);
    LangTable table(dir.path());
    uint32_t count = 0;
    ASSERT_TRUE(table.GetLanguageCount(count));
    ASSERT_GE(count, 2u);
    uint32_t current = 99;
    ASSERT_TRUE(table.GetCurrentLanguage(current));
    EXPECT_EQ(current, 0u);  // English first and current

    for (uint32_t lang = 0; lang < count; ++lang) {
        ASSERT_TRUE(table.SetCurrentLanguage(lang));
        for (uint32_t other = 0; other < count; ++other) {
            std::string name;
            EXPECT_TRUE(table.GetLanguageName(other, name)) << "language " << lang << " names " << other;
        }
        std::string text;
        for (uint32_t key = 0; key < LANG_KEY_COUNT; ++key) {
            ASSERT_TRUE(table.GetString(key, text)) << "language " << lang << " lacks " << KeyNames[key];
            EXPECT_FALSE(text.empty()) << KeyNames[key];
            EXPECT_EQ(text.find('%'), std::string::npos) << KeyNames[key];  // texts are never formats
            EXPECT_NE(text.front(), ' ') << KeyNames[key];
        }
        auto get = [&](LangKey key) {
            std::string t;
            table.GetString(key, t);
            return t;
        };
        EXPECT_EQ(get(CSV_STR35), get(CSV_STR4)) << "language " << lang;
        EXPECT_EQ(get(CSV_STR36), get(CSV_STR5)) << "language " << lang;
        EXPECT_TRUE(fs::is_regular_file(fs::path(STEPORA_DATA_DIR) / "doc" / get(MAINMENU_STR26)))
            << "user guide " << get(MAINMENU_STR26);
    }
}

}  // namespace
}  // namespace stepora
