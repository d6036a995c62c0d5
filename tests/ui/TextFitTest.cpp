// Every shipped language's texts fit the main window's controls: nothing is cut short.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

#include "app/AppGlobals.h"
#include "app/MessageBox.h"
#include "app/ProfileStrings.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "support/TempDir.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

class TextFit : public ::testing::TestWithParam<const char*> {};

TEST_P(TextFit, MainWindowTextsFitTheirControls) {
    test::UiTestApp();
    test::TempDir work;
    std::filesystem::copy(std::filesystem::path(STEPORA_DATA_DIR) / "Language", work / "Language",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(work / "User");
    ASSERT_TRUE(WriteProfileString(work / "Language" / "Language.INI", "CurrentLanguage", "file",
                                   GetParam()));
    test::ScopedCurrentDir cd(work.path());
    AppGlobals globals;
    CMainMenuDlg window;
    ASSERT_TRUE(window.OnInitDialog());

    int checked = 0;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        // A text too long for its button is shown shortened; its whole text stays its name.
        const QString text = button->accessibleName().isEmpty() ? button->text()
                                                                : button->accessibleName();
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = button->rect();
        const int room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
        EXPECT_LE(button->fontMetrics().horizontalAdvance(QString(text).remove('&')), room)
            << text.toStdString();
        ++checked;
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const QRect needed =
            label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.height(), label->contentsRect().height()) << label->text().toStdString();
        ++checked;
    }
    QHeaderView* header = window.UserList()->horizontalHeader();
    for (int section = 0; section < header->count(); ++section) {
        const QString text = window.UserList()->horizontalHeaderItem(section)->text();
        EXPECT_LE(header->fontMetrics().horizontalAdvance(text) + 24, header->sectionSize(section))
            << text.toStdString();
    }
    EXPECT_GE(checked, 12);
}

INSTANTIATE_TEST_SUITE_P(Shipped, TextFit,
                         ::testing::Values("English.ini", "Deutsch.ini", "Chinese.ini"));

}  // namespace
}  // namespace stepora
