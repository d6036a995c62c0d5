// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its menus and languages, and its message boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/FileChooser.h"
#include "app/ProfileStrings.h"
#include "mainwnd/UserListCtrl.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"
#include "ui/Snapshot.h"

namespace stepora {
namespace {

class MainWindowTest : public test::MainWindowFixture {
protected:
    // Chooses a language the way a user does: opens the Language menu and clicks the item.
    void ClickLanguage(int index) {
        QMenu* menu = dialog_->LanguageMenu();
        menu->popup(dialog_->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().value(index)).center());
        QCoreApplication::processEvents();
    }
    void ClickHeader(int column) {
        QHeaderView* header = dialog_->UserList()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(column) + 5, 5));
    }
    void ClickRow(int row, Qt::KeyboardModifiers keys = {}, bool twice = false) {
        CUserListCtrl* list = dialog_->UserList();
        QTest::mouseEvent(twice ? QTest::MouseDClick : QTest::MouseClick, list->viewport(), Qt::LeftButton, keys,
                          list->visualRect(list->model()->index(row, 0)).center());
    }
};

// What the main window shows through a session: the list sorted by header clicks (and the
// order remembered), the commands following the selection, a search, the keys, the menus
// in both languages, and a sort order config.ini does not take.
TEST_F(MainWindowTest, ListSortSelectionSearchAndLanguages) {
    AddUsers({{"Metric", 0, 70, 172}, {"Imperial", 1, 154, 2750}, {"Unset", 1, 0, 0}, {"anna"}, {"\xC3\x84rger"}});
    ASSERT_TRUE(test::WriteScratchLanguages(work_.path(), "de.ini"));
    ASSERT_TRUE(Start());
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    test::Snapshot snap("main-window");
    snap.Stabilise(work_.path().string(), "<work>");
    snap.Stabilise(STEPORA_VERSION, "<version>");
    auto step = [&](const std::string& heading) {
        snap.Step(heading, *dialog_);
        snap.Line("config: " + Config("UM_USERMANAGE", "SortReference") + " " + Config("UM_USERMANAGE", "SortDirection") +
                  ", language " + GetProfileString(work_ / "Language" / "Language.INI", "CurrentLanguage", "file", ""));
    };
    step("started in German");
    for (const char* heading : {"English chosen", "English chosen again"}) ClickLanguage(0), step(heading);
    for (int column : {CUserListCtrl::kStride, CUserListCtrl::kStride, CUserListCtrl::kWeight, CUserListCtrl::kName}) {
        ClickHeader(column);
        step("header " + std::to_string(column) + " clicked");
    }
    ClickRow(1);
    step("row 1 clicked");
    ClickRow(3, Qt::ControlModifier);
    step("row 3 added with Ctrl");
    ClickHeader(CUserListCtrl::kStride);
    step("sorted by stride: the two selected stay selected");
    test::ModalScript script;  // answers the graph window twice, and later the About box
    script.Then([](CDialogBase&) { return int(QDialog::Accepted); });
    ClickRow(0), ClickRow(0, {}, true);  // as Qt sees a double click: a click, then the second press
    step("row 0 double-clicked: logged in and back");
    script.Then([](CDialogBase&) { return int(QDialog::Accepted); });
    ClickRow(1), QTest::keyClick(dialog_->UserList(), Qt::Key_Return);
    step("Enter on row 1: logged in and back");
    // Enter searches, and runs no other command (no button is a default one).
    test::ScopedOverride chooser(&SetFileChooserOverride, FileChooserOverride([&](const FileChooserRequest&) {
        return snap.Line("file chooser"), std::optional<std::filesystem::path>();
    }));
    auto* search = dialog_->Control<QLineEdit>(CMainMenuDlg::IDC_SEARCH_TEXT);
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH)->click();
    step("search without a text");
    QTest::keyClicks(search, "AL");
    QTest::keyClick(search, Qt::Key_Return);
    step("search for AL with Enter");
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    step("Escape");
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_LISTALL)->setFocus();
    QTest::keyClick(dialog_->Control<QPushButton>(CMainMenuDlg::IDC_LISTALL), Qt::Key_Return);
    step("Enter on list all");
    // A choice config.ini does not take is lost at the end: the person is told.
    ASSERT_TRUE(std::filesystem::remove(work_ / "config.ini") && std::filesystem::create_directory(work_ / "config.ini"));
    ClickHeader(CUserListCtrl::kName);
    step("header clicked with config.ini a folder");
    // The guide of the current language, or a word that it cannot be opened; the About box.
    SetDocumentOpenerOverride([&](const QString& path) { return snap.Line("open " + path.toStdString()), false; });
    dialog_->MenuItem(ID_HELP_DOC)->trigger();
    SetDocumentOpenerOverride(nullptr);
    script.Then([](CDialogBase&) { return int(QDialog::Accepted); });
    dialog_->MenuItem(ID_HELP_ABOUT)->trigger();
}

TEST_F(MainWindowTest, AFailedLanguageSwitchReportsItAndEnds) {
    ASSERT_TRUE(Start());
    std::filesystem::rename(work_ / "Language", work_ / "Gone");  // Language.INI cannot be written
    EXPECT_EXIT(
        {
            SetMessageBoxOverride([](const MessageBoxRequest& request) {
                std::fprintf(stderr, "box: text=%s\n", request.text.c_str());
                return static_cast<int>(kIdOk);
            });
            dialog_->OnCommand(ID_LANGUAGE_FIRST + 1);
            std::exit(99);
        },
        ::testing::ExitedWithCode(kLanguageExitCode), "box: text=Update language failed!\n$");
}

using MessageBoxTest = test::MainWindowFixture;

// Calls `act` with the message box once it is up, from inside its modal loop.
void WhenBoxShows(const std::function<void(QMessageBox&)>& act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            timer->deleteLater(), timer->stop(), act(*box);
    });
    timer->start(5);
}

TEST_F(MessageBoxTest, EachButtonSetShowsItsTextsAndAnswersItsIds) {
    ASSERT_TRUE(Start());
    SetMessageBoxOverride(nullptr);  // real boxes
    const std::map<int, std::pair<QMessageBox::StandardButton, std::string>> buttons = {
        {kIdOk, {QMessageBox::Ok, "&" + Text("APP_OK")}},
        {kIdCancel, {QMessageBox::Cancel, "&" + Text("APP_CANCEL")}},
        {kIdYes, {QMessageBox::Yes, "&" + Text("APP_YES")}},
        {kIdNo, {QMessageBox::No, "&" + Text("APP_NO")}}};
    const std::tuple<MsgButtons, std::vector<int>, int> sets[] = {
        // the answers, the one of Escape
        {MsgButtons::Ok, {kIdOk}, kIdOk},
        {MsgButtons::OkCancel, {kIdOk, kIdCancel}, kIdCancel},
        {MsgButtons::YesNo, {kIdYes, kIdNo}, kIdNo},
        {MsgButtons::YesNoCancel, {kIdYes, kIdNo, kIdCancel}, kIdCancel}};
    for (const auto& [set, answers, escape] : sets) {
        for (const int id : answers) {
            WhenBoxShows([&](QMessageBox& box) {
                EXPECT_EQ(box.windowTitle().toStdString(), test::ScratchText("en", "APP_NAME"));
                EXPECT_EQ(box.icon(), QMessageBox::Warning);
                EXPECT_EQ(box.buttons().size(), answers.size());
                QAbstractButton* button = box.button(buttons.at(id).first);
                EXPECT_EQ(button ? button->text().toStdString() : "", buttons.at(id).second);
                button ? button->click() : box.reject();
            });
            EXPECT_EQ(DoMessageBox("Save?", set, MsgIcon::Warning), id);
        }
        // Escape, and a box closed without any button (as a window manager may close it).
        for (auto close :
             {+[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, +[](QMessageBox& box) { box.done(0); }}) {
            WhenBoxShows(close);
            EXPECT_EQ(DoMessageBox("Continue?", set), escape) << int(set);
        }
    }
}

}  // namespace
}  // namespace stepora
