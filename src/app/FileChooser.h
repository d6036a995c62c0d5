// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace stepora {

// What the program asks of a file or folder chooser.
struct FileChooserRequest {
    enum Kind { OpenFile, ChooseFolder, SaveFile };
    FileChooserRequest(Kind kind = OpenFile, std::string title = {},
                       std::filesystem::path startDir = {}, std::string filter = {},
                       std::string defaultSuffix = {})
        : kind(kind),
          title(std::move(title)),
          startDir(std::move(startDir)),
          filter(std::move(filter)),
          defaultSuffix(std::move(defaultSuffix)) {}
    Kind kind;
    std::string title;
    std::filesystem::path startDir;  // empty, or a folder that does not exist: the home folder
    std::string filter;         // name filter of an OpenFile or SaveFile, as "User file (*.usr)"
    std::string defaultSuffix;  // SaveFile: added to a name typed without one, as "pdf"
};

// Shows the platform's file dialog (or folder browser) and returns the chosen path, or
// nothing when the person cancelled; a SaveFile asks before it replaces a file. Tests
// script it with SetFileChooserOverride.
std::optional<std::filesystem::path> ChooseFile(const FileChooserRequest& request,
                                                QWidget* parent = nullptr);

using FileChooserOverride =
    std::function<std::optional<std::filesystem::path>(const FileChooserRequest&)>;
void SetFileChooserOverride(FileChooserOverride chooser);

}  // namespace stepora
