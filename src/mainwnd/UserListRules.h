// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the main window's user list and command enabling, apart from any widget.
#include <array>
#include <cstdint>
#include <string>

#include "store/UserFile.h"
#include "store/UserStore.h"

namespace stepora {

// The texts of a user's row in columns 1 to 3: name, weight, step length.
std::array<std::string, 3> UserRowTexts(const std::string& name, const UserFileHeader& header);

// The list column a sort reference names (1 to 3), or 0 for a reference that names none
// ("Sex" and "Age"): the rows then stay in load order.
int SortColumn(const std::string& reference);
// The reference that names a column 1 to 3.
const char* SortReferenceOf(int column);

// Shown texts are compared byte by byte, as unsigned characters; "inc" sorts ascending,
// anything else descending.
bool SortsBefore(const std::string& a, const std::string& b, const std::string& direction);

struct SortSettings {
    std::string reference;
    std::string direction;
    bool operator==(const SortSettings&) const = default;
};
// A click on a column header: the sorted column toggles its direction, another column
// becomes the sorted one keeping the direction, column 0 changes nothing.
SortSettings SortAfterHeaderClick(int column, const SortSettings& current);

// Which of the six user commands may run.
struct CommandEnabling {
    bool import = false, exportUser = false, add = false, edit = false, remove = false,
         login = false;
    bool operator==(const CommandEnabling&) const = default;
};
// After a reload, from the number of users in the store (a reloaded list has no
// selection yet, so the four row commands are off).
CommandEnabling EnablingAfterReload(uint32_t users);
// At a selection change: edit, export and login need exactly one selected row.
CommandEnabling EnablingForSelection(CommandEnabling current, int selected);

}  // namespace stepora
