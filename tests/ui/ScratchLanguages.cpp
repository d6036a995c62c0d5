// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ScratchLanguages.h"

#include "app/LangTable.h"
#include "support/TempDir.h"

namespace stepora::test {

std::string ScratchText(const std::string& prefix, const char* keyName) {
    return prefix + " " + keyName;
}

namespace {
std::string LanguageFile(const std::string& prefix, const char* englishName) {
    std::string text = "[LanguageName]\nEN=" + std::string(englishName) + "\nDE=" + kGermanName + "\n[LanguageString]\n";
    for (const char* key : KeyNames) {
        // As in every shipped language, the unit words written into CSV lines are the ones
        // the import expects, so what is exported comes back.
        const std::string name = key;
        const char* shown = name == "CSV_STR35" ? "CSV_STR4" : name == "CSV_STR36" ? "CSV_STR5" : key;
        text += name + "=" + ScratchText(prefix, shown) + "\n";
    }
    return text;
}
}  // namespace

bool WriteScratchLanguages(const std::filesystem::path& workDir, const std::string& current) {
    const auto dir = workDir / "Language";
    return WriteFile(dir / "Language.INI",
                     "[LanguageList]\nLanguageFile_1=en.ini\nLanguageKeys_1=EN\n"
                     "LanguageFile_2=de.ini\nLanguageKeys_2=DE\n[CurrentLanguage]\nfile=" +
                         current + "\n") &&
           WriteFile(dir / "en.ini", LanguageFile("en", kEnglishName)) &&
           WriteFile(dir / "de.ini", LanguageFile("de", kEnglishNameInGerman));
}

}  // namespace stepora::test
