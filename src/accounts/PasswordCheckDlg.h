// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "widgets/DialogBase.h"

namespace stepora {

// Asks for the password of a protected user.
class CPasswordCheckDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 151;
    enum ControlId : int {
        IDC_USER_LINE = 1225,
        IDC_PASSWORD_LABEL = 1120,
        IDC_PASSWORD = 1049,
        IDC_OK = 1029,
        IDC_CANCEL = 1030,
    };

    explicit CPasswordCheckDlg(QWidget* parent = nullptr);

    // The line above the field, set before each opening.
    void SetUserLine(const std::string& text) { userLine_ = text; }
    const std::string& Password() const { return password_; }
    void ApplyTexts() override;

protected:
    void OnOpen() override;

private:
    std::string userLine_;
    std::string password_;
};

// The password check of the account flows with this dialog as its prompt.
bool CheckPassword(CPasswordCheckDlg& prompt, const std::string& stored,
                   const std::string& userLine, LangKey wrongKey, QWidget* parent,
                   bool askWhenEmpty = false);

}  // namespace stepora
