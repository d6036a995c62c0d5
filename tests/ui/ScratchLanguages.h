// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace stepora::test {

// A Language folder with two complete languages, en.ini (key EN) and de.ini (key DE).
// Every text is the file's prefix, a space and the key name ("en MENU_TITLE_FILE"), so a
// test sees which key each text came from (the CSV unit words of lines excepted: they are
// those the import expects); the language names are real words.
inline constexpr const char* kEnglishName = "English";
inline constexpr const char* kGermanName = "Deutsch";
inline constexpr const char* kEnglishNameInGerman = "Englisch";

bool WriteScratchLanguages(const std::filesystem::path& workDir, const std::string& current = "en.ini");

// The text a scratch language file gives a key: "en" or "de", a space, the key name.
std::string ScratchText(const std::string& prefix, const char* keyName);

}  // namespace stepora::test
