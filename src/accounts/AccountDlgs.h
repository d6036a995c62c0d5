// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <span>
#include <string>

#include "widgets/DialogBase.h"

namespace stepora {

// What distinguishes the add-user and the edit-user dialog: their template, texts and
// messages. Both take a name and a password typed twice.
struct AccountDlgTemplate {
    std::span<const ControlSpec> controls;
    int width, height, pointSize;
    LangKey title;
    int nameLabel, name, password1Label, password1, password2Label, password2, ok, cancel;
    LangKey emptyNameMessage, mismatchMessage;
};

class CAccountDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CAccountDlg(const AccountDlgTemplate& layout, QWidget* parent = nullptr);

    // The values the dialog opens with and, after OK, the accepted ones.
    std::string acceptedName;
    std::string acceptedPassword;

protected:
    void OnOpen() override;

private:
    void OnOk();
    const AccountDlgTemplate& layout_;
};

// Template 138.
class CAddUserDlg : public CAccountDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 138;
    enum ControlId : int {
        IDC_HEADER = 1100,
        IDC_NAME_LABEL = 1094,
        IDC_NAME = 1097,
        IDC_PASSWORD1_LABEL = 1095,
        IDC_PASSWORD1 = 1098,
        IDC_PASSWORD2_LABEL = 1096,
        IDC_PASSWORD2 = 1099,
        IDC_NOTE = 1101,
        IDC_OK = 1105,
        IDC_CANCEL = 1106,
    };
    explicit CAddUserDlg(QWidget* parent = nullptr);
};

// Template 139.
class CEditUserDlg : public CAccountDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 139;
    enum ControlId : int {
        IDC_NAME_LABEL = 1108,
        IDC_NAME = 1114,
        IDC_PASSWORD1_LABEL = 1109,
        IDC_PASSWORD1 = 1115,
        IDC_PASSWORD2_LABEL = 1110,
        IDC_PASSWORD2 = 1116,
        IDC_NOTE = 1111,
        IDC_OK = 1112,
        IDC_CANCEL = 1113,
    };
    explicit CEditUserDlg(QWidget* parent = nullptr);
};

}  // namespace stepora
