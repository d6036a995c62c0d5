// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WorkDirectory.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace stepora {

CWorkDirectory::CWorkDirectory() {
    std::error_code ec;
    auto dir = std::filesystem::current_path(ec);
    if (ec || dir.empty()) return;
    path_ = dir;
    captured_ = true;
}

bool CWorkDirectory::GetWorkDir(std::filesystem::path& path) const {
    if (!captured_) {
        path.clear();
        return false;
    }
    path = path_;
    return true;
}

std::string MissingFromWorkDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(dir / "Language" / "Language.INI", ec)
               ? std::string()
               : "Language/Language.INI";
}

bool MakeUserFolder(const std::filesystem::path& userDir, std::string& why) {
    why.clear();
    if (::mkdir(userDir.c_str(), 0777) == 0) return true;
    const int error = errno;
    struct stat st {};
    if (error == EEXIST && ::stat(userDir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        why = "a file of that name is in the way";
        return false;
    }
    why = std::strerror(error);
    return false;
}

bool IsFirstStart(const std::filesystem::path& dir) {
    std::error_code ec;
    return !std::filesystem::exists(std::filesystem::symlink_status(dir / "config.ini", ec));
}

}  // namespace stepora
