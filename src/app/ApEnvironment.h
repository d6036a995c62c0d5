// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace stepora {

// The program's settings: the work directory every window builds its paths from, and
// the user list's sort settings kept in config.ini.
class CApEnvironment {
public:
    static constexpr size_t kConfigValueLimit = 2048;  // longer values are cut to 2047 bytes

    // Stores the work directory, then reads SortReference and SortDirection and writes
    // back the defaults for values that are missing or not among the known ones.
    void Init(const std::filesystem::path& workDir);

    const std::filesystem::path& WorkDir() const { return workDir_; }
    std::filesystem::path ConfigPath() const { return workDir_ / "config.ini"; }
    std::filesystem::path PtnDir() const { return workDir_ / "Ptn"; }
    std::filesystem::path UserDir() const { return workDir_ / "User"; }
    std::filesystem::path DocDir() const { return workDir_ / "doc"; }

    const std::string& SortReference() const { return sortReference_; }
    const std::string& SortDirection() const { return sortDirection_; }
    // Replaces both settings and writes both to config.ini; false when they were not written.
    bool SetSort(const std::string& reference, const std::string& direction);

    // config.ini access with the program's rules: the default "NULL" means missing.
    std::string ReadConfig(const std::string& section, const std::string& key) const;
    bool WriteConfig(const std::string& section, const std::string& key,
                     const std::string& value) const;
    // The folders the file choosers start in, one per kind of file.
    enum class Folder { UserImport, UserExport, CsvImport, CsvExport };
    // The folder last remembered for that chooser; empty when none is.
    std::filesystem::path RememberedFolder(Folder folder) const;
    // Remembers a folder for the next choice; false when config.ini was not written.
    bool RememberFolder(Folder folder, const std::string& value) const;
    // What the person is told when a setting could not be written: it names config.ini.
    std::string NotSavedMessage() const;
    // How the folder of a chosen file is remembered: with its closing separator, or empty
    // when it would not fit a config value.
    static std::string FolderToRemember(const std::filesystem::path& file);

private:
    std::filesystem::path workDir_ = " ";
    std::string sortReference_ = " ";
    std::string sortDirection_ = " ";
};

}  // namespace stepora
