#include "app/LangTable.h"

#include <cstdio>
#include <cstdlib>

#include "app/ProfileStrings.h"

namespace stepora {

const char* const KeyNames[494] = {
#define LANG_KEY(name) #name,
#include "app/LangKeys.def"
#undef LANG_KEY
};

namespace {

constexpr const char* kNull = "NULL";

bool ReadValue(const std::filesystem::path& file, const std::string& section,
               const std::string& key, std::string& value) {
    value = GetProfileString(file, section, key, kNull);
    return value != kNull;
}

LangTable* g_table = nullptr;

void DefaultFailure(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
}
LangFailureHandler g_failure = DefaultFailure;

[[noreturn]] void Fail(const char* message) {
    g_failure(message);
    std::_Exit(0);
}

}  // namespace

LangTable::LangTable(const std::filesystem::path& currentDirectory) {
    if (currentDirectory.empty()) return;
    languageDir_ = currentDirectory / "Language";
    std::error_code ec;
    if (!std::filesystem::is_directory(languageDir_, ec) &&
        !std::filesystem::create_directory(languageDir_, ec))
        return;

    const auto config = languageDir_ / "Language.INI";
    for (uint32_t n = 1; n <= kMaxLanguages; ++n) {
        std::string file, key;
        if (!ReadValue(config, "LanguageList", "LanguageFile_" + std::to_string(n), file)) break;
        languageFiles_.push_back(file);
        if (!ReadValue(config, "LanguageList", "LanguageKeys_" + std::to_string(n), key)) break;
        languageKeys_.push_back(key);
        ++languageCount_;
    }
    if (languageCount_ == 0) return;

    if (!ReadValue(config, "CurrentLanguage", "file", currentFile_)) return;
    for (uint32_t i = 0; i < languageCount_; ++i) {
        if (languageFiles_[i] == currentFile_) {
            currentIndex_ = i;
            valid_ = true;
            return;
        }
    }
}

bool LangTable::GetLanguageCount(uint32_t& count) const {
    if (!valid_) return false;
    count = languageCount_;
    return true;
}

bool LangTable::GetCurrentLanguage(uint32_t& index) const {
    if (!valid_) return false;
    index = currentIndex_;
    return true;
}

bool LangTable::SetCurrentLanguage(uint32_t index) {
    if (!valid_ || index >= languageCount_) return false;
    valid_ = false;
    currentFile_ = languageFiles_[index];
    if (!WriteProfileString(languageDir_ / "Language.INI", "CurrentLanguage", "file", currentFile_))
        return false;
    currentIndex_ = index;
    valid_ = true;
    return true;
}

bool LangTable::GetLanguageName(uint32_t index, std::string& name) const {
    if (!valid_ || index >= languageCount_) return false;
    return ReadValue(CurrentFilePath(), "LanguageName", languageKeys_[index], name);
}

bool LangTable::GetString(uint32_t key, std::string& text) const {
    text.clear();
    if (!valid_ || key >= LANG_KEY_COUNT) return false;
    if (!ReadValue(CurrentFilePath(), "LanguageString", KeyNames[key], text)) {
        text.clear();
        return false;
    }
    return true;
}

void InstallLangTable(LangTable* table) {
    g_table = table;
}
LangTable* ProgramLangTable() {
    return g_table;
}

void SetLangFailureHandler(LangFailureHandler handler) {
    g_failure = handler ? handler : DefaultFailure;
}

bool StrictGetLanguageCount(uint32_t& count) {
    if (g_table && g_table->GetLanguageCount(count) && count > 0) return true;
    Fail(kLanguageErrorText);
}

bool StrictGetCurrentLanguage(uint32_t& index) {
    if (g_table && g_table->GetCurrentLanguage(index)) return true;
    Fail(kLanguageErrorText);
}

bool StrictSetCurrentLanguage(uint32_t index) {
    if (g_table && g_table->SetCurrentLanguage(index)) return true;
    Fail(kLanguageUpdateErrorText);
}

bool StrictGetLanguageName(uint32_t index, std::string& name) {
    if (g_table && g_table->GetLanguageName(index, name)) return true;
    Fail(kLanguageErrorText);
}

std::string GetLangString(LangKey key) {
    std::string text;
    if (g_table && g_table->GetString(key, text)) return text;
    Fail(kLanguageErrorText);
}

}  // namespace stepora
