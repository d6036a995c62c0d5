// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "widgets/DialogBase.h"

namespace stepora {

// Explains one bar of the graph: its title line and its value in words.
class CGraphExpDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 170;
    static constexpr int kTemplateWidth = 180;  // dialog units
    static constexpr int kTemplateHeight = 90;
    enum ControlId : int {
        IDC_CLOSE = 1029,
        IDC_TITLE_LINE = 1156,
        IDC_EXPLANATION = 1226,
    };

    explicit CGraphExpDlg(QWidget* parent = nullptr);

    // Shown the next time the dialog opens.
    void SetCaption(const std::string& text) { caption_ = text; }
    void SetTitleLine(const std::string& text) { titleLine_ = text; }
    void SetExplanation(const std::string& text) { explanation_ = text; }
    void ApplyTexts() override;

private:
    std::string caption_, titleLine_, explanation_;
};

}  // namespace stepora
