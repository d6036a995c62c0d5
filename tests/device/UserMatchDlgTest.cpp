// The user match dialog, clicked offscreen with its questions and sub-dialogs scripted.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <algorithm>

#include "device/UserMatchDlg.h"
#include "mainwnd/AccountDlgs.h"
#include "mainwnd/PasswordCheckDlg.h"
#include "store/UserStore.h"
#include "ui/MainWindowFixture.h"
#include "widgets/MatchUserListCtrl.h"

namespace stepora {
namespace {

using M = CUserMatchDlg;
using P = CPasswordCheckDlg;
using A = CAddUserDlg;
using Texts = std::vector<std::string>;
using test::Click;

// A sub-dialog answered by typing into a field (unless null) and clicking a button.
test::ModalScript::Step Type(const char* text, int field, int button) {
    return [=](CDialogBase& d) { return text ? test::SetField(d, field, text) : void(), Click(d, button); };
}

class UserMatchDlgTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(Start());
        match_ = std::make_unique<M>(TheUserStore());
    }
    void TearDown() override { match_.reset(), MainWindowFixture::TearDown(); }

    // Opens the dialog as a download of an imperial 104/210 block for 2008-05-10 .. 12 does
    // (the current user "Cur" metric when `mismatch`); the steps answer it and its sub-dialogs.
    int Open(bool mismatch, std::vector<test::ModalScript::Step> steps) {
        match_->SetRequest({"---", 1, 104, 210, 39577, 39579, "Cur", !mismatch, 70, 75, 0, 0, mismatch}, false, true);
        test::ModalScript script;
        for (auto& step : steps) script.Then(step);
        const int result = match_->Run();
        EXPECT_TRUE(script.Done());
        return result;
    }
    void MarkOpen() { match_->setResult(-1); }  // a result the dialog keeps while it stays open
    bool Enabled(int id) { return match_->ControlWidget(id)->isEnabled(); }
    std::string Value(int id) { return match_->Control<QLabel>(id)->text().toStdString(); }
    Texts Listed() {
        Texts names;
        for (int row = 0; row < match_->UserList()->RowCount(); ++row)
            names.push_back(match_->UserList()->item(row, 0)->text().toStdString());
        return std::sort(names.begin(), names.end()), names;
    }

    std::unique_ptr<M> match_;
};

TEST_F(UserMatchDlgTest, UnitMismatchClosesTheChoicesThatKeepTheCurrentUnits) {
    AddUsers({{"Cur", 0, 70, 75, ""}, {"Imp", 1, 104, 210, ""}, {"Imp2", 1, 104, 200, ""}, {"Imp3", 1, 90, 210, ""}});
    Open(true, {[&](CDialogBase& d) {
        EXPECT_FALSE(Enabled(M::IDC_TO_CURRENT) || Enabled(M::IDC_ADOPT_PROFILE));
        EXPECT_TRUE(d.Control<QAbstractButton>(M::IDC_ADOPT_PROFILE)->isChecked());
        EXPECT_EQ(Texts({Value(M::IDC_INCOMING_STRIDE), Value(M::IDC_INCOMING_BEGIN), Value(M::IDC_CURRENT_FINAL)}),
                  Texts({"2.10", "2008-5-10", "---"}));
        const struct { int radio; Texts listed; bool selectable; } steps[] = {
            {0, {"Imp"}, false}, {M::IDC_SAME_UNIT, {"Imp", "Imp2", "Imp3"}, true},
            {M::IDC_SAME_UNIT_WEIGHT, {"Imp", "Imp2"}, false}, {M::IDC_SAME_UNIT_STRIDE, {"Imp", "Imp3"}, false},
            {M::IDC_ALL_USERS, {"Cur", "Imp", "Imp2", "Imp3"}, false}, {M::IDC_SAME_PROFILE, {"Imp"}, false}};
        for (const auto& step : steps) {
            if (step.radio) Click(d, step.radio);
            EXPECT_EQ(Listed(), step.listed) << step.radio;
            EXPECT_EQ(Enabled(M::IDC_TO_SELECTED), step.selectable) << step.radio;
        }
        return int(QDialog::Rejected);
    }});
}

TEST_F(UserMatchDlgTest, AProtectedUserFromTheListIsAskedForItsPassword) {
    AddUsers({{"Cur", 1, 70, 75, ""}, {"Pat", 1, 104, 210, "pw"}});
    answers_ = {kIdOk, kIdNo};  // one answer a box
    const int result = Open(false, {[&](CDialogBase& d) {
        Click(d, M::IDC_TO_SELECTED);  // nothing selected
        match_->UserList()->selectRow(0);
        MarkOpen();
        for (int i = 0; i < 2; ++i) Click(d, M::IDC_TO_SELECTED);  // No; the password cancelled
        EXPECT_EQ(d.result(), -1);
        return Click(d, M::IDC_TO_SELECTED);  // a wrong password, then the right one
    }, Type(nullptr, 0, P::IDC_CANCEL), Type("xx", P::IDC_PASSWORD, P::IDC_OK), Type("pw", P::IDC_PASSWORD, P::IDC_OK)});
    EXPECT_TRUE(result == QDialog::Accepted && match_->ChosenName() == "Pat");
    const std::string ask = NamedMessage(USERMATCH_DLG_STR38, "Pat");
    EXPECT_EQ(boxes_, Texts({Text("USERMATCH_DLG_STR37"), ask, ask, Text("USERMATCH_DLG_STR41"), ask,
                             Text("USERMATCH_DLG_STR42")}));
}

TEST_F(UserMatchDlgTest, NewUserUpToAThousandAndGivingUpIsAsked) {
    AddUsers({{"Cur", 1, 104, 210, ""}});
    const std::string bytes = test::ReadFile(work_ / "User" / "Cur.usr");
    for (int i = 1; i < 1000; ++i) ASSERT_TRUE(test::WriteFile(work_ / "User" / ("U" + std::to_string(i) + ".usr"), bytes));
    answers_ = {kIdOk, kIdOk, kIdNo, kIdNo};
    const int result = Open(false, {[&](CDialogBase& d) {
        Click(d, M::IDC_TO_NEW);  // a thousand users
        std::filesystem::remove(work_ / "User" / "U1.usr");
        Click(d, M::IDC_ALL_USERS);  // counts again
        MarkOpen();
        Click(d, M::IDC_TO_NEW);  // cancelled
        Click(d, M::IDC_TO_NEW);  // a name no file may have
        QTest::keyClick(&d, Qt::Key_Escape);  // No
        Click(d, M::IDC_CANCEL);  // No
        EXPECT_EQ(d.result(), -1);
        return Click(d, M::IDC_TO_NEW);
    }, Type(nullptr, 0, A::IDC_CANCEL), Type("a:b", A::IDC_NAME, A::IDC_OK), Type("Neu", A::IDC_NAME, A::IDC_OK)});
    EXPECT_TRUE(result == QDialog::Accepted && match_->ChosenName() == "Neu" && TheUserStore().Exists("Neu"));
    EXPECT_EQ(boxes_, Texts({Text("USERMATCH_DLG_STR43"), Text("USERMATCH_DLG_STR44"), Text("USERMATCH_DLG_STR45"),
                             Text("USERMATCH_DLG_STR45")}));
    EXPECT_EQ(Open(false, {[&](CDialogBase& d) { return Click(d, M::IDC_CANCEL); }}), QDialog::Rejected);
}

}  // namespace
}  // namespace stepora
