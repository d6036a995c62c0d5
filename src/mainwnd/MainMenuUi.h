// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

#include "mainwnd/UserListRules.h"

namespace stepora {

class CMainMenuDlg;

// The main window's state as the list and the commands change it: texts, the user
// count, which commands may run, and the two pictures.
class CMainMenuUi {
public:
    void Bind(CMainMenuDlg* dialog, const std::filesystem::path& ptnDir);
    // Caption, labels and button texts from the language table.
    void ApplyWindowTexts();
    void ShowCount(int count);
    // Each user command's button and its User menu item together.
    void SetEnabling(const CommandEnabling& enabling);
    CommandEnabling Enabling() const { return enabling_; }
    void EnableSearch(bool enable);
    void EnableListAll(bool enable);
    void DrawPictures();

private:
    CMainMenuDlg* dialog_ = nullptr;
    std::filesystem::path ptnDir_;
    CommandEnabling enabling_;
};

}  // namespace stepora
