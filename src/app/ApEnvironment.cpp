// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApEnvironment.h"

#include <array>
#include <vector>

#include "app/LangTable.h"
#include "app/ProfileStrings.h"

namespace stepora {
namespace {
constexpr const char* kSortSection = "UM_USERMANAGE";
constexpr std::array<const char*, 5> kSortReferences = {"UserName", "Sex", "Age", "Weight",
                                                        "StepLen"};
constexpr const char* kFolderSection = "AP_ENVIRONMENT";

const char* FolderKey(CApEnvironment::Folder folder) {
    switch (folder) {
        case CApEnvironment::Folder::UserImport:
            return "UserImportDir";
        case CApEnvironment::Folder::UserExport:
            return "UserExportDir";
        case CApEnvironment::Folder::CsvImport:
            return "CSVImportDir";
        case CApEnvironment::Folder::CsvExport:
            break;
    }
    return "CSVExportDir";
}
}  // namespace

std::string CApEnvironment::ReadConfig(const std::string& section, const std::string& key) const {
    std::string value = GetProfileString(ConfigPath(), section, key, "NULL");
    if (value.size() >= kConfigValueLimit) value.resize(kConfigValueLimit - 1);
    return value;
}

bool CApEnvironment::WriteConfig(const std::string& section, const std::string& key,
                                 const std::string& value) const {
    return WriteProfileString(ConfigPath(), section, key, value);
}

std::filesystem::path CApEnvironment::RememberedFolder(Folder folder) const {
    const std::string value = ReadConfig(kFolderSection, FolderKey(folder));
    return value == "NULL" ? std::filesystem::path() : std::filesystem::path(value);
}

bool CApEnvironment::RememberFolder(Folder folder, const std::string& value) const {
    return WriteConfig(kFolderSection, FolderKey(folder), value);
}

std::string CApEnvironment::NotSavedMessage() const {
    return NamedMessage(MAINMENU_STR42, ConfigPath().string());
}

std::string CApEnvironment::FolderToRemember(const std::filesystem::path& file) {
    std::string folder = file.parent_path().string();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder.size() >= kConfigValueLimit ? std::string() : folder;
}

void CApEnvironment::Init(const std::filesystem::path& workDir) {
    workDir_ = workDir;

    // What is missing or unknown is written back, in one write (its result ignored).
    std::vector<std::pair<std::string, std::string>> repaired;
    sortReference_ = ReadConfig(kSortSection, "SortReference");
    bool known = false;
    for (const char* name : kSortReferences) known = known || sortReference_ == name;
    if (!known) {
        sortReference_ = "UserName";
        repaired.emplace_back("SortReference", sortReference_);
    }

    sortDirection_ = ReadConfig(kSortSection, "SortDirection");
    if (sortDirection_ != "inc" && sortDirection_ != "dec") {
        sortDirection_ = "inc";
        repaired.emplace_back("SortDirection", sortDirection_);
    }
    if (!repaired.empty()) WriteProfileStrings(ConfigPath(), kSortSection, repaired);
}

bool CApEnvironment::SetSort(const std::string& reference, const std::string& direction) {
    sortReference_ = reference;
    sortDirection_ = direction;
    // One write: a sort order is never half saved.
    const std::pair<std::string, std::string> sort[] = {{"SortReference", sortReference_},
                                                        {"SortDirection", sortDirection_}};
    return WriteProfileStrings(ConfigPath(), kSortSection, sort);
}

}  // namespace stepora
