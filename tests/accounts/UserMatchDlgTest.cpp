// SPDX-License-Identifier: GPL-3.0-or-later
// The user match dialog, clicked offscreen with its questions and sub-dialogs scripted. The
// users it lists are MatchUserList's (widgets); a new user as the target, the graph window's.
#include <gtest/gtest.h>

#include "accounts/MatchUserListCtrl.h"
#include "accounts/PasswordCheckDlg.h"
#include "accounts/UserMatchDlg.h"
#include "store/UserStore.h"
#include "ui/MainWindowFixture.h"
#include "ui/Snapshot.h"

namespace stepora {
namespace {

using M = CUserMatchDlg;
using P = CPasswordCheckDlg;
using test::Click;

// A password prompt answered by typing (unless null) and clicking a button.
test::ModalScript::Step Type(const char* text, int button) {
    return [=](CDialogBase& d) { return text ? test::SetField(d, P::IDC_PASSWORD, text) : void(), Click(d, button); };
}

class UserMatchDlgTest : public test::MainWindowFixture {};

// A download (the device's profile always adopted) with every filter, a protected user
// chosen from the list, giving up asked first; then a CSV file of another user, which may
// keep the receiving user's profile, going to the current user.
TEST_F(UserMatchDlgTest, DownloadAndCsvImportChooseTheReceivingUser) {
    ASSERT_TRUE(Start());
    AddUsers(
        {{"Cur", 1, 70, 75}, {"Pat", 1, 104, 210, "pw"}, {"Sue", 1, 104, 300}, {"Tom", 1, 90, 210}, {"Ann", 0, 60, 70}, {"Eve"}});
    test::Snapshot snap("match-dialog");
    M match(TheUserStore());
    // A download of an imperial 104/210 block for 2008-05-10 .. 12.
    match.SetRequest({"---", 1, 104, 210, 39577, 39579, "Cur", 1, 70, 75, 0, 0, false}, false, true);
    answers_ = {kIdOk, kIdNo, kIdNo};  // one answer a box
    test::ModalScript script;
    script.Then([&](CDialogBase& d) {
        for (int filter :
             {M::IDC_SAME_UNIT, M::IDC_SAME_UNIT_WEIGHT, M::IDC_SAME_UNIT_STRIDE, M::IDC_ALL_USERS, M::IDC_SAME_PROFILE}) {
            Click(d, filter);
            snap.Step("filter " + std::to_string(filter), d);
        }
        Click(d, M::IDC_TO_SELECTED);  // nothing selected
        match.UserList()->selectRow(0);
        snap.Step("Pat selected", d);
        match.setResult(-1);                                       // a result the dialog keeps while it stays open
        Click(d, M::IDC_CANCEL);                                   // giving the download up is asked first: No
        for (int i = 0; i < 2; ++i) Click(d, M::IDC_TO_SELECTED);  // No; the password cancelled
        EXPECT_EQ(d.result(), -1);
        return Click(d, M::IDC_TO_SELECTED);  // a wrong password, then the right one
    });
    for (auto step : {Type(nullptr, P::IDC_CANCEL), Type("xx", P::IDC_OK), Type("pw", P::IDC_OK)}) script.Then(step);
    EXPECT_TRUE(match.Run() == QDialog::Accepted && match.ChosenName() == "Pat");

    match.SetRequest({"Bob", 1, 80, 200, 39577, 39579, "Cur", 1, 70, 75, 39500, 39578, false}, true, false);
    script.Then([&](CDialogBase& d) {
        Click(d, M::IDC_ADOPT_PROFILE);
        snap.Step("profile adopted", d);
        return Click(d, M::IDC_TO_CURRENT);
    });
    EXPECT_TRUE(match.Run() == QDialog::Accepted && match.ChosenName() == "Cur" && match.AdoptProfile());
    EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace stepora
