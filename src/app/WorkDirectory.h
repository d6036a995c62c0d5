// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace stepora {

// The current directory at the moment the program started: the root of config.ini and
// of the User, Ptn and doc folders.
class CWorkDirectory {
public:
    CWorkDirectory();
    bool GetWorkDir(std::filesystem::path& path) const;

private:
    std::filesystem::path path_;
    bool captured_ = false;
};

// What a folder lacks to be a work directory ("Language/Language.INI"), or an empty
// text when it is one. The launcher makes one from the installed template.
std::string MissingFromWorkDirectory(const std::filesystem::path& dir);

// Makes the folder of the user files when it is missing (a fresh work directory has
// none). False, with the reason in `why`, when it is not there and cannot be made.
bool MakeUserFolder(const std::filesystem::path& userDir, std::string& why);

// The program writes config.ini on every start, so a work directory without one has
// never seen the program.
bool IsFirstStart(const std::filesystem::path& dir);

}  // namespace stepora
