// SPDX-License-Identifier: GPL-3.0-or-later
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

const char* const AddedKeyNames[ADDED_KEY_COUNT] = {
#define ADDED_KEY(name, english) #name,
#include "app/AddedKeys.def"
#undef ADDED_KEY
};
const char* const AddedKeyEnglish[ADDED_KEY_COUNT] = {
#define ADDED_KEY(name, english) english,
#include "app/AddedKeys.def"
#undef ADDED_KEY
};

namespace {

constexpr const char* kNull = "NULL";
constexpr const char* kListFile = "Language.INI";

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
    std::_Exit(kLanguageExitCode);
}

// "de" of "de_DE.UTF-8@euro".
std::string LanguagePart(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@-"));
}

}  // namespace

LangTable::LangTable(const std::filesystem::path& currentDirectory) {
    if (currentDirectory.empty()) return;
    languageDir_ = currentDirectory / "Language";
    const auto config = languageDir_ / kListFile;
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
    currentPath_ = languageDir_ / currentFile_;
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
    currentPath_ = languageDir_ / currentFile_;
    checkedScope_ = 0;
    if (!WriteProfileString(languageDir_ / kListFile, "CurrentLanguage", "file", currentFile_))
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
    return key < LANG_KEY_COUNT ? GetText(key, KeyNames[key], text) : (text.clear(), false);
}

bool LangTable::GetString(AddedKey key, std::string& text) const {
    return key < ADDED_KEY_COUNT ? GetText(size_t(LANG_KEY_COUNT) + key, AddedKeyNames[key], text)
                                 : (text.clear(), false);
}

bool LangTable::GetText(size_t slot, const char* keyName, std::string& text) const {
    if (!valid_) return text.clear(), false;
    // Texts found in the file are remembered while the file stays the same; inside a read
    // scope it is looked at once.
    const uint64_t scope = ProfileReadScopeId();
    if (scope == 0 || scope != checkedScope_) {
        checkedGeneration_ = ProfileGeneration(CurrentFilePath());
        checkedScope_ = scope;
    }
    const uint64_t generation = checkedGeneration_;
    if (generation != 0 && generation == rememberedGeneration_ && remembered_[slot]) {
        text = *remembered_[slot];
        return true;
    }
    if (!ReadValue(CurrentFilePath(), "LanguageString", keyName, text)) return text.clear(), false;
    if (generation != 0) {
        if (generation != rememberedGeneration_) {
            remembered_.assign(size_t(LANG_KEY_COUNT) + ADDED_KEY_COUNT, std::nullopt);
            rememberedGeneration_ = generation;
        }
        remembered_[slot] = text;
    }
    return true;
}

std::string LangTable::GetLanguageLocale(uint32_t index) const {
    std::string locale;
    if (index >= languageCount_ ||
        !ReadValue(languageDir_ / kListFile, "LanguageList",
                   "LanguageLocale_" + std::to_string(index + 1), locale))
        locale.clear();
    return locale;
}

bool LangTable::Check(std::string& problem) const {
    const std::string list = "Language/" + std::string(kListFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(languageDir_ / kListFile, ec)) {
        problem = list + " is missing.";
        return false;
    }
    if (languageCount_ == 0) {
        problem = list + ": [LanguageList] lists no language (LanguageFile_1 and LanguageKeys_1).";
        return false;
    }
    if (!valid_) {
        problem = currentFile_.empty() || currentFile_ == kNull
                      ? list + ": [CurrentLanguage] has no file."
                      : list + ": [CurrentLanguage] file=" + currentFile_ +
                            " names no language of [LanguageList].";
        return false;
    }
    const std::string file = "Language/" + currentFile_;
    std::vector<std::string> texts;
    if (!GetProfileStrings(CurrentFilePath(), "LanguageString", KeyNames, kNull, texts)) {
        problem = file + " cannot be read.";
        return false;
    }
    std::vector<std::string> missing;
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == kNull) missing.push_back(KeyNames[i]);
    std::vector<const char*> keys;
    for (const auto& key : languageKeys_) keys.push_back(key.c_str());
    std::vector<std::string> names;
    GetProfileStrings(CurrentFilePath(), "LanguageName", keys, kNull, names);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == kNull) missing.push_back("[LanguageName] " + languageKeys_[i]);
    if (missing.empty()) return true;
    problem = file + ": there is no text for " + missing.front();
    if (missing.size() > 1) problem += " (and " + std::to_string(missing.size() - 1) + " more)";
    problem += ".";
    return false;
}

int LanguageForLocale(const LangTable& table, const std::string& locale) {
    const std::string wanted = LanguagePart(locale);
    uint32_t count = 0;
    if (wanted.empty() || !table.GetLanguageCount(count)) return -1;
    for (uint32_t i = 0; i < count; ++i) {
        const std::string own = table.GetLanguageLocale(i);
        if (!own.empty() && LanguagePart(own) == wanted) return static_cast<int>(i);
    }
    return -1;
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

std::string GetLangString(AddedKey key) {
    std::string text;
    if (g_table && g_table->GetString(key, text)) return text;
    return key < ADDED_KEY_COUNT ? AddedKeyEnglish[key] : std::string();
}

void FailLanguage(const std::string& message) {
    Fail(message.c_str());
}

std::string NamedMessage(LangKey key, const std::string& name) {
    return GetLangString(key) + "(" + name + ")";
}

std::string NamedMessage(AddedKey key, const std::string& name) {
    return GetLangString(key) + "(" + name + ")";
}

std::string FillIn(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t n = i + 1 < text.size() ? size_t(text[i + 1] - '1') : args.size();
        if (text[i] == '%' && n < args.size()) {
            out += args.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace stepora
