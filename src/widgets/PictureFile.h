#pragma once
#include <QLabel>
#include <filesystem>
namespace stepora {
inline bool DrawPictureFile(QLabel*, const std::filesystem::path&) {
    return false;
}
}  // namespace stepora
