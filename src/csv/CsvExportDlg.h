// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>

#include "widgets/DialogBase.h"

namespace stepora {

// Asks for the days, the folder and the file name of a CSV export.
class CCsvExportDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 162;
    enum ControlId : int {
        IDC_BROWSE = 1029,
        IDC_OK = 1030,
        IDC_CANCEL = 1031,
        IDC_FILE_NAME = 1050,
        IDC_TITLE = 1156,
        IDC_FROM_YEAR = 1198,
        IDC_FROM_MONTH = 1199,
        IDC_FROM_DAY = 1200,
        IDC_TO_YEAR = 1201,
        IDC_TO_MONTH = 1202,
        IDC_TO_DAY = 1203,
        IDC_FROM_LABEL = 1204,
        IDC_FROM_YEAR_LABEL = 1205,
        IDC_FROM_MONTH_LABEL = 1206,
        IDC_FROM_DAY_LABEL = 1207,
        IDC_TO_LABEL = 1208,
        IDC_TO_YEAR_LABEL = 1209,
        IDC_TO_MONTH_LABEL = 1210,
        IDC_TO_DAY_LABEL = 1211,
        IDC_FOLDER_LABEL = 1212,
        IDC_FILE_NAME_LABEL = 1213,
        IDC_FOLDER = 1214,
    };

    explicit CCsvExportDlg(QWidget* parent = nullptr);

    // The user's first and last stored day, set before each opening.
    void SetStoredDays(uint32_t firstDay, uint32_t lastDay);
    // After OK.
    uint32_t FromDay() const { return fromDay_; }
    uint32_t ToDay() const { return toDay_; }
    const std::filesystem::path& ExportPath() const { return exportPath_; }

    void ApplyTexts() override;

protected:
    void OnOpen() override;

private:
    void OnBrowse();
    void OnOk();

    uint32_t firstDay_ = 0, lastDay_ = 0, fromDay_ = 0, toDay_ = 0;
    std::filesystem::path exportPath_;
};

}  // namespace stepora
