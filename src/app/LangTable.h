// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace stepora {

// One X-macro list yields both, so names and numbers cannot drift apart.
enum LangKey : uint32_t {
#define LANG_KEY(name) name,
#include "app/LangKeys.def"
#undef LANG_KEY
    LANG_KEY_COUNT
};
static_assert(LANG_KEY_COUNT == 494);
static_assert(APP_NAME == 55 && APPEDN_STR5 == 493);

extern const char* const KeyNames[494];

// Keys added since; each has an English text of its own to fall back on.
enum AddedKey : uint32_t {
#define ADDED_KEY(name, english) name,
#include "app/AddedKeys.def"
#undef ADDED_KEY
    ADDED_KEY_COUNT
};
extern const char* const AddedKeyNames[ADDED_KEY_COUNT];
extern const char* const AddedKeyEnglish[ADDED_KEY_COUNT];

// The installed languages and the current one. Texts are read from the current
// language's file on every lookup, so an edited file shows on the next lookup.
class LangTable {
public:
    static constexpr uint32_t kMaxLanguages = 256;

    // Reads <dir>/Language/Language.INI; creates nothing.
    explicit LangTable(const std::filesystem::path& currentDirectory);
    bool GetLanguageCount(uint32_t& count) const;
    bool GetCurrentLanguage(uint32_t& index) const;
    bool SetCurrentLanguage(uint32_t index);
    bool GetLanguageName(uint32_t index, std::string& name) const;
    bool GetString(uint32_t key, std::string& text) const;
    bool GetString(AddedKey key, std::string& text) const;
    // The locale language n is for ("de", "zh_CN"), from LanguageLocale_<n> of the list;
    // empty when the list gives none.
    std::string GetLanguageLocale(uint32_t index) const;

    // Whether every text and language name the program may ask for is there. When not,
    // `problem` names the file and what is wrong in it, for a person to mend.
    bool Check(std::string& problem) const;

    const std::filesystem::path& LanguageDir() const { return languageDir_; }

private:
    const std::filesystem::path& CurrentFilePath() const { return currentPath_; }
    // slot: the LangKey, or LANG_KEY_COUNT + the AddedKey.
    bool GetText(size_t slot, const char* keyName, std::string& text) const;

    bool valid_ = false;
    std::filesystem::path languageDir_;
    std::vector<std::string> languageFiles_;
    std::vector<std::string> languageKeys_;
    uint32_t languageCount_ = 0;
    std::string currentFile_;
    std::filesystem::path currentPath_;                           // languageDir_ / currentFile_
    mutable std::vector<std::optional<std::string>> remembered_;  // texts by slot
    mutable uint64_t rememberedGeneration_ = 0;  // of the current file, when they were read
    mutable uint64_t checkedScope_ = 0, checkedGeneration_ = 0;  // the file's, in that scope
    uint32_t currentIndex_ = 0;
};

// The language of the locale named `locale` (as LANG gives it, "de_DE.UTF-8"): the first
// listed language whose locale has the same language part; -1 when none has.
int LanguageForLocale(const LangTable& table, const std::string& locale);

// The program's table, installed once at start-up before any window exists.
void InstallLangTable(LangTable* table);
LangTable* ProgramLangTable();

// What a strict lookup does when it fails: show `message` and end the process. The
// default writes it to standard error; the user interface installs a message box.
// The process ends with kLanguageExitCode right after the handler returns.
using LangFailureHandler = void (*)(const char* message);
void SetLangFailureHandler(LangFailureHandler handler);

inline constexpr int kLanguageExitCode = 3;
inline constexpr const char* kLanguageErrorText = "Language config file error!";
inline constexpr const char* kLanguageUpdateErrorText = "Update language failed!";

// The strict forms on the program's table: they succeed or end the program.
bool StrictGetLanguageCount(uint32_t& count);  // a count of zero fails too
bool StrictGetCurrentLanguage(uint32_t& index);
bool StrictSetCurrentLanguage(uint32_t index);
bool StrictGetLanguageName(uint32_t index, std::string& name);
std::string GetLangString(LangKey key);   // the strict lookup on the program's table
std::string GetLangString(AddedKey key);  // the current language's text, else the English one
// A message that names a user or a file: the key's text, then "(", the name and ")".
std::string NamedMessage(LangKey key, const std::string& name);
std::string NamedMessage(AddedKey key, const std::string& name);
// A text with %1, %2 … replaced by `args` in one pass: what an argument brings in stays
// as it is, even a %.
std::string FillIn(const std::string& text, std::initializer_list<std::string> args);
// Shows `message` through the failure handler and ends the program.
[[noreturn]] void FailLanguage(const std::string& message);

}  // namespace stepora
