// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text crosses between the core (UTF-8 std::string, std::filesystem::path) and Qt here.
#include <QString>
#include <filesystem>
#include <string>

#include "app/LangTable.h"

namespace stepora {

inline QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string Us(const QString& text) {
    return text.toStdString();
}
inline QString LangText(LangKey key) {
    return Qs(GetLangString(key));
}
inline QString LangText(AddedKey key) {
    return Qs(GetLangString(key));
}

inline QString PathText(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}
inline std::filesystem::path PathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

}  // namespace stepora
