// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "accounts/UserMatchRequest.h"
#include "widgets/DialogBase.h"

namespace stepora {

class CAddUserDlg;
class CMatchUserListCtrl;
class CPasswordCheckDlg;
class UserStore;

// Lets the person choose who receives incoming data: the current user, a listed user
// (filtered by the incoming profile), or a new user.
class CUserMatchDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 161;
    enum ControlId : int {
        IDC_CURRENT_GROUP = 1174,
        IDC_CURRENT_NAME_LABEL = 1196,
        IDC_CURRENT_NAME = 1197,
        IDC_CURRENT_TYPE_LABEL = 1164,
        IDC_CURRENT_TYPE = 1169,
        IDC_CURRENT_WEIGHT_LABEL = 1167,
        IDC_CURRENT_WEIGHT = 1172,
        IDC_CURRENT_STRIDE_LABEL = 1168,
        IDC_CURRENT_STRIDE = 1173,
        IDC_CURRENT_BEGIN_LABEL = 1188,
        IDC_CURRENT_BEGIN = 1189,
        IDC_CURRENT_FINAL_LABEL = 1190,
        IDC_CURRENT_FINAL = 1191,
        IDC_INCOMING_GROUP = 1176,
        IDC_INCOMING_NAME_LABEL = 1198,
        IDC_INCOMING_NAME = 1199,
        IDC_INCOMING_TYPE_LABEL = 1177,
        IDC_INCOMING_TYPE = 1182,
        IDC_INCOMING_WEIGHT_LABEL = 1180,
        IDC_INCOMING_WEIGHT = 1185,
        IDC_INCOMING_STRIDE_LABEL = 1181,
        IDC_INCOMING_STRIDE = 1186,
        IDC_INCOMING_BEGIN_LABEL = 1192,
        IDC_INCOMING_BEGIN = 1193,
        IDC_INCOMING_FINAL_LABEL = 1194,
        IDC_INCOMING_FINAL = 1195,
        IDC_FILTER_GROUP = 1175,
        IDC_SAME_UNIT_WEIGHT = 1161,  // filter mode 2
        IDC_SAME_UNIT_STRIDE = 1162,  // 3
        IDC_SAME_PROFILE = 1163,      // 0
        IDC_SAME_UNIT = 1187,         // 1
        IDC_ALL_USERS = 1200,         // 4
        IDC_ADOPT_PROFILE = 1216,
        IDC_TO_SELECTED = 1029,
        IDC_TO_NEW = 1031,
        IDC_TO_CURRENT = 1030,
        IDC_CANCEL = 1032,
        IDC_USER_LIST = 1158,
    };

    explicit CUserMatchDlg(UserStore& store, QWidget* parent = nullptr);
    ~CUserMatchDlg() override;

    // Set before each opening. A download passes adopt checked and disabled (it always
    // takes over the device's profile); the CSV import enabled and unchecked.
    void SetRequest(const UserMatchRequest& request, bool adoptEnabled, bool adoptChecked);
    // After OK: who receives the data, and whether that user takes over its profile.
    std::string ChosenName() const { return chosenName_; }
    bool AdoptProfile() const { return adoptProfile_; }

    CMatchUserListCtrl* UserList() const { return list_; }
    int FilterMode() const { return filterMode_; }
    void ApplyTexts() override;

public slots:
    // Escape and the window's close come here too: giving up the data is always asked.
    void reject() override;

protected:
    void OnOpen() override;

private:
    void FillPanels();
    void ReloadList();
    void UpdateSelectedEnabling();
    void OnFilterClicked(int radioId);
    void OnToSelected();
    void OnToCurrent();
    void OnToNew();

    UserStore& store_;
    CMatchUserListCtrl* list_;
    CPasswordCheckDlg* passwordDlg_;
    CAddUserDlg* addUserDlg_;
    UserMatchRequest request_;
    int filterMode_ = 0;
    bool adoptEnabled_ = false, adoptProfile_ = false;
    std::string chosenName_;
};

}  // namespace stepora
