// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

#include "widgets/DialogBase.h"

namespace stepora {

// The About box: the logo and the program's version.
class CAboutDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 100;
    enum ControlId : int { IDC_VERSION = 1221, IDC_LOGO = 1224, IDOK = 1 };
    static constexpr const char* kVersion = STEPORA_VERSION;

    explicit CAboutDlg(const std::filesystem::path& ptnDir, QWidget* parent = nullptr);
    void ApplyTexts() override;

private:
    std::filesystem::path ptnDir_;
};

}  // namespace stepora
