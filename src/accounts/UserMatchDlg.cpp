// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/UserMatchDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "accounts/AccountDlgs.h"
#include "accounts/MatchUserListCtrl.h"
#include "accounts/PasswordCheckDlg.h"
#include "app/DialogUnits.h"
#include "app/Format.h"
#include "app/MessageBox.h"
#include "app/QtText.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

using M = CUserMatchDlg;
constexpr int kWidth = 457, kHeight = 361;

// One row of a panel: label and value side by side, centred.
constexpr int kLabelW = 40, kValueW = 71, kRowH = 20;

constexpr ControlSpec kControls[] = {
    {M::IDC_CURRENT_GROUP, Ctl::GroupBox, 7, 7, 141, 192, 0, USERMATCH_DLG_STR1},
    {M::IDC_CURRENT_NAME_LABEL, Ctl::Static, 15, 18, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR23},
    {M::IDC_CURRENT_NAME, Ctl::Static, 68, 18, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_CURRENT_TYPE_LABEL, Ctl::Static, 15, 49, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR27},
    {M::IDC_CURRENT_TYPE, Ctl::Static, 68, 49, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_CURRENT_WEIGHT_LABEL, Ctl::Static, 15, 79, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR28},
    {M::IDC_CURRENT_WEIGHT, Ctl::Static, 68, 79, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_CURRENT_STRIDE_LABEL, Ctl::Static, 15, 109, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR26},
    {M::IDC_CURRENT_STRIDE, Ctl::Static, 68, 109, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_CURRENT_BEGIN_LABEL, Ctl::Static, 15, 139, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR29},
    {M::IDC_CURRENT_BEGIN, Ctl::Static, 68, 139, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_CURRENT_FINAL_LABEL, Ctl::Static, 15, 169, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR30},
    {M::IDC_CURRENT_FINAL, Ctl::Static, 68, 169, kValueW, kRowH, kAlignCenter | kWrap},

    {M::IDC_INCOMING_GROUP, Ctl::GroupBox, 153, 7, 141, 192, 0, USERMATCH_DLG_STR2},
    {M::IDC_INCOMING_NAME_LABEL, Ctl::Static, 162, 18, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR15},
    {M::IDC_INCOMING_NAME, Ctl::Static, 206, 18, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_INCOMING_TYPE_LABEL, Ctl::Static, 162, 49, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR19},
    {M::IDC_INCOMING_TYPE, Ctl::Static, 206, 49, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_INCOMING_WEIGHT_LABEL, Ctl::Static, 162, 79, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR20},
    {M::IDC_INCOMING_WEIGHT, Ctl::Static, 206, 79, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_INCOMING_STRIDE_LABEL, Ctl::Static, 162, 109, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR18},
    {M::IDC_INCOMING_STRIDE, Ctl::Static, 206, 109, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_INCOMING_BEGIN_LABEL, Ctl::Static, 162, 139, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR21},
    {M::IDC_INCOMING_BEGIN, Ctl::Static, 206, 139, kValueW, kRowH, kAlignCenter | kWrap},
    {M::IDC_INCOMING_FINAL_LABEL, Ctl::Static, 162, 169, kLabelW, kRowH, kAlignCenter | kWrap,
     USERMATCH_DLG_STR22},
    {M::IDC_INCOMING_FINAL, Ctl::Static, 206, 169, kValueW, kRowH, kAlignCenter | kWrap},

    {M::IDC_FILTER_GROUP, Ctl::GroupBox, 296, 7, 154, 93, 0, USERMATCH_DLG_STR3},
    // One column in filter mode order: two columns cut the longer texts short.
    {M::IDC_SAME_PROFILE, Ctl::Radio, 304, 19, 142, 12, kGroup, USERMATCH_DLG_STR12},
    {M::IDC_SAME_UNIT, Ctl::Radio, 304, 34, 142, 12, 0, USERMATCH_DLG_STR8},
    {M::IDC_SAME_UNIT_WEIGHT, Ctl::Radio, 304, 49, 142, 12, 0, USERMATCH_DLG_STR9},
    {M::IDC_SAME_UNIT_STRIDE, Ctl::Radio, 304, 64, 142, 12, 0, USERMATCH_DLG_STR10},
    {M::IDC_ALL_USERS, Ctl::Radio, 304, 79, 142, 12, 0, USERMATCH_DLG_STR14},

    {0, Ctl::GroupBox, 295, 102, 155, 25},
    {M::IDC_ADOPT_PROFILE, Ctl::Check, 302, 109, 144, 12, 0, USERMATCH_DLG_STR31},
    {M::IDC_TO_SELECTED, Ctl::Button, 317, 130, 109, 16, 0, USERMATCH_DLG_STR4},
    {M::IDC_TO_NEW, Ctl::Button, 317, 148, 109, 16, 0, USERMATCH_DLG_STR6},
    {M::IDC_TO_CURRENT, Ctl::Button, 317, 166, 109, 16, 0, USERMATCH_DLG_STR5},
    {M::IDC_CANCEL, Ctl::Button, 317, 184, 109, 16, 0, USERMATCH_DLG_STR7},
    {M::IDC_USER_LIST, Ctl::Custom, 7, 203, 443, 151},
};

// The radio button of each filter mode, in mode order.
constexpr int kModeRadios[] = {M::IDC_SAME_PROFILE, M::IDC_SAME_UNIT, M::IDC_SAME_UNIT_WEIGHT,
                               M::IDC_SAME_UNIT_STRIDE, M::IDC_ALL_USERS};

// Label and value of each panel row, current user's panel then the incoming one.
constexpr int kPanelRows[][2] = {
    {M::IDC_CURRENT_NAME_LABEL, M::IDC_CURRENT_NAME},
    {M::IDC_CURRENT_TYPE_LABEL, M::IDC_CURRENT_TYPE},
    {M::IDC_CURRENT_WEIGHT_LABEL, M::IDC_CURRENT_WEIGHT},
    {M::IDC_CURRENT_STRIDE_LABEL, M::IDC_CURRENT_STRIDE},
    {M::IDC_CURRENT_BEGIN_LABEL, M::IDC_CURRENT_BEGIN},
    {M::IDC_CURRENT_FINAL_LABEL, M::IDC_CURRENT_FINAL},
    {M::IDC_INCOMING_NAME_LABEL, M::IDC_INCOMING_NAME},
    {M::IDC_INCOMING_TYPE_LABEL, M::IDC_INCOMING_TYPE},
    {M::IDC_INCOMING_WEIGHT_LABEL, M::IDC_INCOMING_WEIGHT},
    {M::IDC_INCOMING_STRIDE_LABEL, M::IDC_INCOMING_STRIDE},
    {M::IDC_INCOMING_BEGIN_LABEL, M::IDC_INCOMING_BEGIN},
    {M::IDC_INCOMING_FINAL_LABEL, M::IDC_INCOMING_FINAL},
};

bool ToDate(uint32_t dayNumber, std::string& text) {
    uint32_t year = 0, month = 0, day = 0, weekday = 0;
    if (dayNumber == 0 || !DayCalendar().DayToDate(dayNumber, year, month, day, weekday))
        return false;
    text = Format("%u-%u-%u", year, month, day);
    return true;
}

struct PanelValues {
    int name, type, weight, stride, begin, final;
};
constexpr PanelValues kCurrentPanel{M::IDC_CURRENT_NAME,   M::IDC_CURRENT_TYPE,
                                    M::IDC_CURRENT_WEIGHT, M::IDC_CURRENT_STRIDE,
                                    M::IDC_CURRENT_BEGIN,  M::IDC_CURRENT_FINAL};
constexpr PanelValues kIncomingPanel{M::IDC_INCOMING_NAME,   M::IDC_INCOMING_TYPE,
                                     M::IDC_INCOMING_WEIGHT, M::IDC_INCOMING_STRIDE,
                                     M::IDC_INCOMING_BEGIN,  M::IDC_INCOMING_FINAL};

void Show(LangKey key, QWidget* parent) {
    ShowMessage(GetLangString(key), parent);
}

bool Ask(const std::string& text, QWidget* parent) {
    return DoMessageBox(text, MsgButtons::YesNo, MsgIcon::Question, parent) == kIdYes;
}

}  // namespace

CUserMatchDlg::CUserMatchDlg(UserStore& store, QWidget* parent)
    : CDialogBase(parent),
      store_(store),
      list_(new CMatchUserListCtrl(this)),
      passwordDlg_(new CPasswordCheckDlg(this)),
      addUserDlg_(new CAddUserDlg(this)) {
    // A window without a caption bar; it keeps its title for assistive technology.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    AddCustomControl(IDC_USER_LIST, list_);
    BuildControls(kControls);
    SetTitleKey(USERMATCH_DLG_STR32);

    for (int mode = 0; mode < int(std::size(kModeRadios)); ++mode)
        connect(Control<QRadioButton>(kModeRadios[mode]), &QRadioButton::clicked, this,
                [this, mode] { OnFilterClicked(mode); });
    connect(Control<QCheckBox>(IDC_ADOPT_PROFILE), &QCheckBox::toggled, this,
            [this](bool checked) { adoptProfile_ = checked; });
    connect(Control<QPushButton>(IDC_TO_SELECTED), &QPushButton::clicked, this,
            [this] { OnToSelected(); });
    connect(Control<QPushButton>(IDC_TO_CURRENT), &QPushButton::clicked, this,
            [this] { OnToCurrent(); });
    connect(Control<QPushButton>(IDC_TO_NEW), &QPushButton::clicked, this, [this] { OnToNew(); });
    connect(Control<QPushButton>(IDC_CANCEL), &QPushButton::clicked, this, [this] { reject(); });
}

CUserMatchDlg::~CUserMatchDlg() = default;

void CUserMatchDlg::SetRequest(const UserMatchRequest& request, bool adoptEnabled,
                               bool adoptChecked) {
    request_ = request;
    adoptEnabled_ = adoptEnabled;
    adoptProfile_ = adoptChecked;
    filterMode_ = CMatchUserListCtrl::kSameProfile;
    chosenName_.clear();
}

void CUserMatchDlg::ApplyTexts() {
    CDialogBase::ApplyTexts();
    setAccessibleDescription(LangText(USERMATCH_DLG_STR33));
    list_->setAccessibleName(LangText(USERMATCH_DLG_STR3));
    // A value stands beside its label: it is described by its panel and label.
    for (size_t i = 0; i < std::size(kPanelRows); ++i) {
        const int group = i < std::size(kPanelRows) / 2 ? IDC_CURRENT_GROUP : IDC_INCOMING_GROUP;
        Control<QLabel>(kPanelRows[i][1])
            ->setAccessibleDescription(Control<QGroupBox>(group)->title() + ' ' +
                                       Control<QLabel>(kPanelRows[i][0])->text());
    }
    FillPanels();
}

void CUserMatchDlg::OnOpen() {
    Control<QRadioButton>(kModeRadios[filterMode_])->setChecked(true);
    auto* adopt = Control<QCheckBox>(IDC_ADOPT_PROFILE);
    adopt->setChecked(adoptProfile_);
    adopt->setEnabled(adoptEnabled_);
    Control<QPushButton>(IDC_TO_CURRENT)->setEnabled(!request_.unitsDiffer);
    ReloadList();
    UpdateSelectedEnabling();
}

void CUserMatchDlg::FillPanels() {
    auto fill = [this](const PanelValues& ids, const std::string& name, uint32_t unit,
                       uint32_t weight, uint32_t stride, uint32_t first, uint32_t last) {
        const bool imperial = IsImperial(unit);
        std::string begin, final;
        // Both dates or neither: a range with one end unknown says nothing.
        if (!ToDate(first, begin) || !ToDate(last, final)) begin = final = "---";
        const std::string texts[] = {
            name,
            GetLangString(imperial ? USERMATCH_DLG_STR35 : USERMATCH_DLG_STR34),
            WeightText(weight),
            StrideText(unit, stride),
            begin,
            final,
        };
        const int controls[] = {ids.name, ids.type, ids.weight, ids.stride, ids.begin, ids.final};
        for (size_t i = 0; i < std::size(controls); ++i)
            Control<QLabel>(controls[i])->setText(Qs(texts[i]));
    };
    const UserMatchRequest& r = request_;
    fill(kCurrentPanel, r.currentUser, r.currentUnit, r.currentWeight, r.currentStride,
         r.currentFirstDay, r.currentLastDay);
    fill(kIncomingPanel, r.fileUser, r.fileUnit, r.fileWeight, r.fileStride, r.fileFirstDay,
         r.fileLastDay);
}

void CUserMatchDlg::ReloadList() {
    list_->SetFilter(filterMode_, request_.fileUnit, request_.fileWeight, request_.fileStride);
    list_->Reload(store_);
}

void CUserMatchDlg::UpdateSelectedEnabling() {
    // Among users of the incoming unit system a listed user may always be chosen; in the
    // other views a unit mismatch keeps the choice closed.
    const bool enabled = filterMode_ == CMatchUserListCtrl::kSameUnit ? list_->RowCount() > 0
                                                                      : !request_.unitsDiffer;
    Control<QPushButton>(IDC_TO_SELECTED)->setEnabled(enabled);
}

void CUserMatchDlg::OnFilterClicked(int mode) {
    filterMode_ = mode;
    ReloadList();
    UpdateSelectedEnabling();
}

void CUserMatchDlg::OnToSelected() {
    const std::string name = list_->SelectedName();
    if (name.empty()) return Show(USERMATCH_DLG_STR37, this);
    if (!Ask(NamedMessage(USERMATCH_DLG_STR38, name), this)) return;
    UserFileHeader header;
    if (!store_.ReadHeader(name, header)) return Show(USERMATCH_DLG_STR39, this);
    if (!CheckPassword(*passwordDlg_, HeaderPassword(header),
                       NamedMessage(USERMATCH_DLG_STR40, name), USERMATCH_DLG_STR42, this))
        return Show(USERMATCH_DLG_STR41, this);
    chosenName_ = name;
    accept();
}

void CUserMatchDlg::OnToCurrent() {
    if (!Ask(GetLangString(USERMATCH_DLG_STR36), this)) return;
    chosenName_ = request_.currentUser;
    accept();
}

void CUserMatchDlg::OnToNew() {
    // The count of the last list reload, which enumerates every user.
    if (store_.GetCount() >= kMaxUsers) return Show(USERMATCH_DLG_STR43, this);
    addUserDlg_->acceptedName.clear();
    addUserDlg_->acceptedPassword.clear();
    if (addUserDlg_->Run() != QDialog::Accepted) return;
    const std::string& name = addUserDlg_->acceptedName;
    // A pasted name can hold what typing cannot; the store refuses it.
    if (!store_.Create(name, addUserDlg_->acceptedPassword)) return Show(USERMATCH_DLG_STR44, this);
    chosenName_ = name;
    accept();
}

void CUserMatchDlg::reject() {
    if (Ask(GetLangString(USERMATCH_DLG_STR45), this)) QDialog::reject();
}

}  // namespace stepora
