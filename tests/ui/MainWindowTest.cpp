// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its menus and languages, and its message boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/ProfileStrings.h"
#include "mainwnd/UserListCtrl.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using Names = std::vector<std::string>;

class MainWindowTest : public test::MainWindowFixture {
protected:
    // The menu titles, the User menu (a separator as ""), the window title, then the language
    // items, "*" marking the checked one.
    Names Menus() const {
        Names texts;
        for (QAction* menu : dialog_->MenuBar()->actions()) texts.push_back(menu->text().toStdString());
        for (QAction* item : dialog_->MenuBar()->actions().at(1)->menu()->actions())
            texts.push_back(item->text().toStdString());
        texts.push_back(dialog_->windowTitle().toStdString());
        for (QAction* item : dialog_->LanguageMenu()->actions()) {
            EXPECT_TRUE(item->isCheckable() && item->actionGroup()->isExclusive());
            EXPECT_EQ(dialog_->MenuItem(ID_LANGUAGE_FIRST + texts.size() - 13), item);
            texts.push_back(item->text().toStdString() + (item->isChecked() ? "*" : ""));
        }
        return texts;
    }
    static Names Expected(const std::string& prefix, const std::string& english, const std::string& german) {
        Names texts;
        for (const char* key :
             {"MENU_TITLE_FILE", "MENU_TITLE_USER", "MENU_TITLE_LANG", "MENU_TITLE_HELP", "MENU_ITEM2_IMPORT",
              "MENU_ITEM2_EXPORT", "", "MENU_ITEM2_NEW", "MENU_ITEM2_DEL", "MENU_ITEM2_EDIT", "",
              "MENU_ITEM2_LOGIN", "MAINMENU_TITLE"})
            texts.push_back(*key ? test::ScratchText(prefix, key) : "");
        return texts.push_back(english), texts.push_back(german), texts;
    }
    // Chooses a language the way a user does: opens the Language menu and clicks the item.
    void ClickLanguage(int index) {
        QMenu* menu = dialog_->LanguageMenu();
        menu->popup(dialog_->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions().value(index)).center());
        QCoreApplication::processEvents();
    }
};

// The texts come from the language Language.INI names; a click on a language rewrites it
// and every text, and a click on the current one keeps it checked.
TEST_F(MainWindowTest, MenusFollowTheChosenLanguage) {
    ASSERT_TRUE(test::WriteScratchLanguages(work_.path(), "de.ini"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Menus(), Expected("de", test::kEnglishNameInGerman, std::string(test::kGermanName) + "*"));
    EXPECT_EQ(dialog_->MenuItem(ID_FILE_EXIT)->text().toStdString(), "de MENU_ITEM1_EXIT");
    for (int click = 0; click < 2; ++click) {
        ClickLanguage(0);
        EXPECT_EQ(GetProfileString(work_ / "Language" / "Language.INI", "CurrentLanguage", "file", ""),
                  "en.ini");
        EXPECT_EQ(Menus(), Expected("en", std::string(test::kEnglishName) + "*", test::kGermanName));
    }
    // A screen reader finds a name for every control a person can use.
    for (QWidget* control : dialog_->findChildren<QWidget*>()) {
        const bool usable = qobject_cast<QPushButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                            control == dialog_->UserList();
        const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        EXPECT_TRUE(!usable || !control->isVisibleTo(dialog_.get()) || !name.trimmed().isEmpty())
            << control->metaObject()->className();
    }
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

TEST_F(MainWindowTest, UserGuideOpensTheCurrentLanguagesFileOrSaysItCannot) {
    ASSERT_TRUE(Start());
    Names opened;
    SetDocumentOpenerOverride(
        [&](const QString& path) { return opened.push_back(path.toStdString()), opened.size() == 2; });
    dialog_->MenuItem(ID_HELP_DOC)->trigger();  // fails
    dialog_->OnCommand(ID_HELP_DOC);
    SetDocumentOpenerOverride(nullptr);
    const std::string guide = (work_.path() / "doc" / Text("MAINMENU_STR26")).string();
    EXPECT_EQ(opened, (Names{guide, guide}));
    EXPECT_EQ(boxes_, Names{Text("MAINMENU_STR27")});
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
        WhenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        EXPECT_EQ(DoMessageBox("Continue?", set), escape);
    }
}

}  // namespace
}  // namespace stepora
