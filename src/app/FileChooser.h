// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/FileChooserRequest.h"

class QWidget;

namespace stepora {

// Shows the platform's file dialog (or folder browser) and returns the chosen path, or
// nothing when the person cancelled; a SaveFile asks before it replaces a file. Tests
// script it with SetFileChooserOverride.
std::optional<std::filesystem::path> ChooseFile(const FileChooserRequest& request,
                                                QWidget* parent = nullptr);

using FileChooserOverride =
    std::function<std::optional<std::filesystem::path>(const FileChooserRequest&)>;
void SetFileChooserOverride(FileChooserOverride chooser);

}  // namespace stepora
