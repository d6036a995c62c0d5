// The main window's user list: rows, sorting, enabling, search, and what assistive
// technology can read of the window.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "mainwnd/AboutDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using test::UserSpec;
using Names = std::vector<std::string>;

class UserListTest : public test::MainWindowFixture {
protected:
    void ClickHeader(int column) {
        QHeaderView* header = dialog_->UserList()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }
    std::string Count() const {
        return dialog_->Control<QLabel>(CMainMenuDlg::IDC_COUNT)->text().toStdString();
    }
};

TEST_F(UserListTest, ShowsEveryRowFormat) {
    AddUsers({{"Metric", 0, 70, 172}, {"Imperial", 1, 154, 2750}, {"Unset", 1, 0, 0}});
    ASSERT_TRUE(Start());
    // Sorted by name, ascending, as a new config.ini says.
    EXPECT_EQ(ListedNames(), (Names{"Imperial", "Metric", "Unset"}));
    EXPECT_EQ(Column(CUserListCtrl::kWeight),
              (Names{"154 " + Text("MAINMENU_LST_BD"), "70 " + Text("MAINMENU_LST_KG"),
                     Text("MAINMENU_LST_NULL")}));
    EXPECT_EQ(Column(CUserListCtrl::kStride),
              (Names{"27.50 " + Text("MAINMENU_LST_INCH"), "172 " + Text("MAINMENU_LST_CM"),
                     Text("MAINMENU_LST_NULL")}));
    EXPECT_EQ(Count(), "3");
}

TEST_F(UserListTest, HeaderClicksSortByteWiseAndRememberTheSort) {
    AddUsers({{"Zoe", 0, 70, 60}, {"\xC3\x84rger", 0, 100, 75}, {"\xE6\x9D\x8E", 0, 0, 180},
              {"Bob", 1, 100, 2600}});
    ASSERT_TRUE(Start());
    const struct {
        int click;  // the list column clicked; -1: none, the order at start
        const char* reference;
        const char* direction;
        Names names;
    } steps[] = {
        // UTF-8 bytes: 'B' < 'Z' < 0xC3 (Ä) < 0xE6 (李).
        {-1, "UserName", "inc", {"Bob", "Zoe", "\xC3\x84rger", "\xE6\x9D\x8E"}},
        // "100 …" sorts before "70 …"; "100 lb" and "100 kg" keep the text order of units.
        {CUserListCtrl::kWeight, "Weight", "inc", {"Bob", "\xC3\x84rger", "Zoe", "\xE6\x9D\x8E"}},
        {CUserListCtrl::kWeight, "Weight", "dec", {"\xE6\x9D\x8E", "Zoe", "\xC3\x84rger", "Bob"}},
        {CUserListCtrl::kStride, "StepLen", "dec", {"\xC3\x84rger", "Zoe", "Bob", "\xE6\x9D\x8E"}},
        {CUserListCtrl::kName, "UserName", "dec", {"\xE6\x9D\x8E", "\xC3\x84rger", "Zoe", "Bob"}},
    };
    for (const auto& step : steps) {
        if (step.click >= 0) ClickHeader(step.click);
        EXPECT_EQ(ListedNames(), step.names) << step.reference << " " << step.direction;
        EXPECT_EQ(Config("UM_USERMANAGE", "SortReference"), step.reference);
        EXPECT_EQ(Config("UM_USERMANAGE", "SortDirection"), step.direction);
        EXPECT_EQ(dialog_->UserList()->horizontalHeader()->sortIndicatorSection(),
                  step.click >= 0 ? step.click : int(CUserListCtrl::kName));
    }
    // The column widths cannot be changed.
    EXPECT_EQ(dialog_->UserList()->horizontalHeader()->sectionResizeMode(CUserListCtrl::kName),
              QHeaderView::Fixed);
}

TEST_F(UserListTest, EnablesTheCommandsBySelectionAndUserCount) {
    const int commands[] = {CMainMenuDlg::IDC_IMPORT, CMainMenuDlg::IDC_EXPORT,
                            CMainMenuDlg::IDC_ADD,    CMainMenuDlg::IDC_EDIT,
                            CMainMenuDlg::IDC_DELETE, CMainMenuDlg::IDC_LOGIN};
    const int items[] = {ID_USER_IMPORT, ID_USER_EXPORT, ID_USER_NEW,
                         ID_USER_EDIT,   ID_USER_DELETE, ID_USER_LOGIN};
    auto enabled = [&] {
        std::string flags;
        for (size_t i = 0; i < std::size(commands); ++i) {
            EXPECT_EQ(CommandEnabled(commands[i]), dialog_->MenuItem(items[i])->isEnabled());
            flags += CommandEnabled(commands[i]) ? '1' : '0';
        }
        return flags;
    };
    //                     import export add edit delete login
    ASSERT_TRUE(Start());
    EXPECT_EQ(enabled(), "101000");
    EXPECT_TRUE(CommandEnabled(CMainMenuDlg::IDC_SEARCH) &&
                CommandEnabled(CMainMenuDlg::IDC_LISTALL));
    EXPECT_EQ(Count(), "0");

    AddUsers({{"Ann"}, {"Ben"}, {"Cid"}});
    dialog_->ReloadAll();
    EXPECT_EQ(enabled(), "101000");
    SelectRows({1});
    EXPECT_EQ(enabled(), "111111");
    SelectRows({0, 2});
    EXPECT_EQ(enabled(), "101010");

    // 1000 users: no user may be added or imported.
    const std::string bytes = test::ReadFile(work_ / "User" / "Ann.usr");
    for (int i = 3; i < 1000; ++i)
        ASSERT_TRUE(test::WriteFile(work_ / "User" / ("U" + std::to_string(i) + ".usr"), bytes));
    dialog_->ReloadAll();
    EXPECT_EQ(Count(), "1000");
    EXPECT_EQ(enabled(), "000000");
    SelectRows({5});
    EXPECT_EQ(enabled(), "010111");
}

TEST_F(UserListTest, SearchListsMatchesAndKeepsTheCount) {
    AddUsers({{"Alice"}, {"Sal"}, {"Bob"}});
    ASSERT_TRUE(Start());
    auto* search = dialog_->Control<QLineEdit>(CMainMenuDlg::IDC_SEARCH_TEXT);

    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH)->click();
    QTest::keyClicks(search, "AL");
    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_SEARCH)->click();
    EXPECT_EQ(ListedNames(), (Names{"Alice", "Sal"}));
    EXPECT_EQ(Count(), "3");
    EXPECT_EQ(boxes_, (Names{Text("MAINMENU_STR1"), Text("MAINMENU_STR23") + "2"}));

    dialog_->Control<QPushButton>(CMainMenuDlg::IDC_LISTALL)->click();
    EXPECT_EQ(ListedNames(), (Names{"Alice", "Bob", "Sal"}));
    EXPECT_TRUE(search->text().isEmpty());
}

// Every control a person can use must be found and read by a screen reader.
void ExpectNamedControls(QWidget* window) {
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(window)) continue;
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
        if (!node) continue;
        switch (node->role()) {
            case QAccessible::PushButton:
            case QAccessible::EditableText:
            case QAccessible::ComboBox:
            case QAccessible::Table:
            case QAccessible::List:
            case QAccessible::RadioButton:
            case QAccessible::CheckBox:
                ++checked;
                EXPECT_FALSE(node->text(QAccessible::Name).trimmed().isEmpty())
                    << widget->metaObject()->className() << " in "
                    << window->windowTitle().toStdString();
                break;
            default: break;
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_FALSE(window->windowTitle().isEmpty());
}

TEST_F(UserListTest, EveryControlHasAnAccessibleName) {
    AddUsers({{"Ann", 0, 60, 70}});
    ASSERT_TRUE(Start());
    ExpectNamedControls(dialog_.get());
    {
        test::ModalScript script;
        script.Then([](CDialogBase& about) {
            EXPECT_NE(about.Control<QLabel>(CAboutDlg::IDC_VERSION)->text().toStdString().find("3.0.0.0"),
                      std::string::npos);
            ExpectNamedControls(&about);
            return static_cast<int>(QDialog::Accepted);
        });
        dialog_->OnCommand(ID_HELP_ABOUT);
        EXPECT_TRUE(script.Done());
    }
}

}  // namespace
}  // namespace stepora
