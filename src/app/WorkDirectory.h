#pragma once
#include <filesystem>

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

}  // namespace stepora
