// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

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

}  // namespace stepora
