#pragma once
#include <string>

#include "widgets/DialogBase.h"

namespace stepora {

// The window in which one logged-in user works.
class CUseGraphDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;
    static constexpr int kTemplateWidth = 620;  // dialog units
    static constexpr int kTemplateHeight = 400;
    enum ControlId : int {
        IDC_CLOSE = 1048,
        IDC_NAME_LABEL = 1086,
        IDC_USER_NAME = 1146,
    };

    explicit CUseGraphDlg(QWidget* parent = nullptr);

    // The user the window shows; set by the main window before it runs the window.
    void SetUserName(const std::string& name) { userName_ = name; }
    const std::string& UserName() const { return userName_; }
    void ApplyTexts() override;

private:
    std::string userName_;
};

}  // namespace stepora
