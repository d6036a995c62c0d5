#include "mainwnd/MainMenuDlg.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/MessageBox.h"
#include "app/AppGlobals.h"
#include "app/ProfileStrings.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "ui/MainWindowFixture.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using test::ScratchText;
using test::TempDir;

struct ItemKey {
    int id;
    const char* key;
};

// Every fixed menu item and the key of its text.
const ItemKey kItems[] = {
    {ID_FILE_EXIT, "MENU_ITEM1_EXIT"},   {ID_USER_IMPORT, "MENU_ITEM2_IMPORT"},
    {ID_USER_EXPORT, "MENU_ITEM2_EXPORT"}, {ID_USER_NEW, "MENU_ITEM2_NEW"},
    {ID_USER_DELETE, "MENU_ITEM2_DEL"},  {ID_USER_EDIT, "MENU_ITEM2_EDIT"},
    {ID_USER_LOGIN, "MENU_ITEM2_LOGIN"}, {ID_HELP_DOC, "MENU_ITEM4_DOC"},
    {ID_HELP_ABOUT, "MENU_ITEM4_ABOUT"},
};
const char* const kTitles[] = {"MENU_TITLE_FILE", "MENU_TITLE_USER", "MENU_TITLE_LANG",
                               "MENU_TITLE_HELP"};

class MainWindowTest : public test::MainWindowFixture {
protected:
    std::vector<std::string> MenuTitles() const {
        std::vector<std::string> titles;
        for (QAction* menu : dialog_->MenuBar()->actions()) titles.push_back(menu->text().toStdString());
        return titles;
    }
    struct LanguageItem {
        std::string name;
        int id;
        bool checked;
        bool operator==(const LanguageItem&) const = default;
    };
    std::vector<LanguageItem> LanguageItems() const {
        std::vector<LanguageItem> items;
        for (QAction* action : dialog_->LanguageMenu()->actions()) {
            EXPECT_TRUE(action->isCheckable());
            EXPECT_TRUE(action->actionGroup() && action->actionGroup()->isExclusive());
            items.push_back({action->text().toStdString(), action->data().toInt(), action->isChecked()});
        }
        return items;
    }
    void ExpectTexts(const std::string& prefix) const {
        std::vector<std::string> titles;
        for (const char* key : kTitles) titles.push_back(ScratchText(prefix, key));
        EXPECT_EQ(MenuTitles(), titles);
        for (const auto& item : kItems) {
            QAction* action = dialog_->MenuItem(item.id);
            ASSERT_NE(action, nullptr) << item.id;
            EXPECT_EQ(action->text().toStdString(), ScratchText(prefix, item.key)) << item.id;
        }
        EXPECT_EQ(dialog_->windowTitle().toStdString(), ScratchText(prefix, "MAINMENU_TITLE"));
    }
    std::string CurrentFileInIni() const {
        return GetProfileString(work_ / "Language" / "Language.INI", "CurrentLanguage", "file", "NULL");
    }
    // Chooses a language the way a user does: opens the Language menu and clicks the item.
    void ClickLanguage(int index) {
        QMenu* menu = dialog_->LanguageMenu();
        QAction* action = menu->actions().value(index);
        ASSERT_NE(action, nullptr);
        menu->popup(dialog_->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QCoreApplication::processEvents();
    }

};

TEST_F(MainWindowTest, BuildsItsMenusFromTheLanguageTable) {
    ASSERT_TRUE(Start());
    ExpectTexts("en");

    QMenu* userMenu = dialog_->MenuBar()->actions().at(1)->menu();
    std::vector<int> layout;  // item ids, 0 for a separator
    for (QAction* action : userMenu->actions()) {
        int id = 0;
        for (const auto& item : kItems)
            if (dialog_->MenuItem(item.id) == action) id = item.id;
        EXPECT_TRUE(id != 0 || action->isSeparator());
        layout.push_back(id);
    }
    EXPECT_EQ(layout, (std::vector<int>{ID_USER_IMPORT, ID_USER_EXPORT, 0, ID_USER_NEW, ID_USER_DELETE,
                                        ID_USER_EDIT, 0, ID_USER_LOGIN}));

    EXPECT_EQ(LanguageItems(), (std::vector<LanguageItem>{{test::kEnglishName, 0xFF00, true},
                                                          {test::kGermanName, 0xFF01, false}}));
    EXPECT_EQ(dialog_->MenuItem(0xFF01), dialog_->LanguageMenu()->actions().at(1));
}

TEST_F(MainWindowTest, StartsInTheLanguageLanguageIniNames) {
    ASSERT_TRUE(test::WriteScratchLanguages(work_.path(), "de.ini"));
    ASSERT_TRUE(Start());
    ExpectTexts("de");
    EXPECT_EQ(LanguageItems(), (std::vector<LanguageItem>{{test::kEnglishNameInGerman, 0xFF00, false},
                                                          {test::kGermanName, 0xFF01, true}}));
}

TEST_F(MainWindowTest, SwitchingLanguageRewritesLanguageIniAndTheTexts) {
    ASSERT_TRUE(Start());
    ClickLanguage(1);
    EXPECT_EQ(CurrentFileInIni(), "de.ini");
    ExpectTexts("de");
    EXPECT_EQ(LanguageItems(), (std::vector<LanguageItem>{{test::kEnglishNameInGerman, 0xFF00, false},
                                                          {test::kGermanName, 0xFF01, true}}));

    ClickLanguage(0);
    EXPECT_EQ(CurrentFileInIni(), "en.ini");
    ExpectTexts("en");
    EXPECT_EQ(LanguageItems().at(0), (LanguageItem{test::kEnglishName, 0xFF00, true}));

    // The rewritten file still lists both languages.
    LangTable reread(work_.path());
    uint32_t count = 0, current = 9;
    EXPECT_TRUE(reread.GetLanguageCount(count) && reread.GetCurrentLanguage(current));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(current, 0u);
}

TEST_F(MainWindowTest, ChoosingTheCurrentLanguageKeepsItChecked) {
    ASSERT_TRUE(Start());
    ClickLanguage(0);
    EXPECT_EQ(CurrentFileInIni(), "en.ini");
    EXPECT_EQ(LanguageItems().at(0), (LanguageItem{test::kEnglishName, 0xFF00, true}));
    EXPECT_FALSE(LanguageItems().at(1).checked);
}

TEST_F(MainWindowTest, AFailedLanguageSwitchReportsItAndEnds) {
    ASSERT_TRUE(Start());
    // Language.INI can no longer be written: its folder is gone.
    std::filesystem::rename(work_ / "Language", work_ / "Language.old");
    EXPECT_EXIT(
        {
            SetMessageBoxOverride([](const MessageBoxRequest& request) {
                std::fprintf(stderr, "box: text=%s\n", request.text.c_str());
                return static_cast<int>(kIdOk);
            });
            dialog_->OnCommand(ID_LANGUAGE_FIRST + 1);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "box: text=Update language failed!\n$");
}

TEST_F(MainWindowTest, EscapeIsSwallowedAndExitCloses) {
    ASSERT_TRUE(Start());
    bool shownAfterEscape = false;
    QTimer::singleShot(0, dialog_.get(), [&] {
        QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        QTest::keyClick(dialog_->Client(), Qt::Key_Escape);  // reaches the window from a child
        QCoreApplication::processEvents();
        shownAfterEscape = dialog_->isVisible();
        dialog_->MenuItem(ID_FILE_EXIT)->trigger();
    });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, dialog_.get(), [&] { dialog_->done(99); });
    safety.start(20000);
    EXPECT_EQ(dialog_->exec(), QDialog::Rejected);
    EXPECT_TRUE(shownAfterEscape);
}

TEST_F(MainWindowTest, UserGuideOpensTheCurrentLanguagesFileOrSaysItCannot) {
    ASSERT_TRUE(Start());
    std::vector<std::string> opened, boxes;
    bool openerSucceeds = true;
    SetDocumentOpenerOverride([&](const QString& path) {
        opened.push_back(path.toStdString());
        return openerSucceeds;
    });
    SetMessageBoxOverride([&](const MessageBoxRequest& request) {
        boxes.push_back(request.text);
        return static_cast<int>(kIdOk);
    });
    dialog_->MenuItem(ID_HELP_DOC)->trigger();
    openerSucceeds = false;
    dialog_->OnCommand(ID_HELP_DOC);
    SetDocumentOpenerOverride(nullptr);

    const std::string guide = (work_.path() / "doc" / ScratchText("en", "MAINMENU_STR26")).string();
    EXPECT_EQ(opened, (std::vector<std::string>{guide, guide}));
    EXPECT_EQ(boxes, std::vector<std::string>{ScratchText("en", "MAINMENU_STR27")});
}

TEST_F(MainWindowTest, TakesTheWindowIconFromPtn) {
    ASSERT_TRUE(std::filesystem::create_directory(work_ / "Ptn"));
    std::filesystem::copy_file(std::filesystem::path(STEPORA_DATA_DIR) / "Ptn" / "APPTitle.ico",
                               work_ / "Ptn" / "APPTitle.ico");
    ASSERT_TRUE(Start());
    const auto sizes = dialog_->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32))) << sizes.size();
}

TEST_F(MainWindowTest, StartsWithoutPictures) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(dialog_->windowIcon().availableSizes().isEmpty());
    // The sort settings were repaired into a new config.ini.
    EXPECT_EQ(GetProfileString(work_ / "config.ini", "UM_USERMANAGE", "SortReference", "NULL"), "UserName");
}

TEST_F(MainWindowTest, ClosesWhenTheWorkDirectoryIsGone) {
    auto gone = std::make_unique<TempDir>();
    test::ScopedCurrentDir cd(gone->path());
    gone.reset();  // the current directory no longer exists
    globals_ = std::make_unique<AppGlobals>();
    InstallLanguageFailureBox();

    std::string caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    SetRunModalOverride([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            caption = box->windowTitle().toStdString();
            text = box->text().toStdString();
            icon = box->icon();
        }
        return static_cast<int>(QDialog::Accepted);
    });
    dialog_ = std::make_unique<CMainMenuDlg>();
    EXPECT_FALSE(dialog_->OnInitDialog());
    EXPECT_EQ(caption, "System Error");
    EXPECT_EQ(text, "Fail to get AP's work directory, AP will be closed!");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace stepora
