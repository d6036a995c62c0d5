#include "app/WorkDirectory.h"

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

}  // namespace stepora
