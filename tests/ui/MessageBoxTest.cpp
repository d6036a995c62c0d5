#include "app/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/LangTable.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using test::ScratchText;
using test::TempDir;
using ButtonTexts = std::map<int, std::string>;

std::string En(const char* key) { return ScratchText("en", key); }

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::UiTestApp();
        ASSERT_TRUE(test::WriteScratchLanguages(dir_.path()));
    }
    void TearDown() override {
        SetMessageBoxOverride(nullptr);
        InstallLangTable(nullptr);
        SetLangFailureHandler(nullptr);
    }
    // Installs the table of the work folder, as the program does at start-up.
    void InstallTable() {
        table_ = std::make_unique<LangTable>(dir_.path());
        InstallLangTable(table_.get());
        InstallLanguageFailureBox();
    }
    // Rewrites one line of the English file.
    void EditEnglish(const std::string& from, const std::string& to) {
        const auto file = dir_ / "Language" / "en.ini";
        std::string text = test::ReadFile(file);
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        ASSERT_TRUE(test::WriteFile(file, text));
    }

    TempDir dir_;
    std::unique_ptr<LangTable> table_;
};

struct ButtonsCase {
    const char* name;
    MsgButtons buttons;
    ButtonTexts texts;  // by answer id
    int escapeAnswer;   // what closing the box with Escape answers
    friend void PrintTo(const ButtonsCase& c, std::ostream* os) { *os << c.name; }
};

const ButtonsCase kButtonCases[] = {
    {"Ok", MsgButtons::Ok, {{kIdOk, "&" + En("APP_OK")}}, kIdOk},
    {"OkCancel", MsgButtons::OkCancel,
     {{kIdOk, "&" + En("APP_OK")}, {kIdCancel, "&" + En("APP_CANCEL")}}, kIdCancel},
    {"YesNo", MsgButtons::YesNo, {{kIdYes, "&" + En("APP_YES")}, {kIdNo, "&" + En("APP_NO")}}, kIdNo},
    {"YesNoCancel", MsgButtons::YesNoCancel,
     {{kIdYes, "&" + En("APP_YES")}, {kIdNo, "&" + En("APP_NO")}, {kIdCancel, "&" + En("APP_CANCEL")}},
     kIdCancel},
};

class MessageBoxButtons : public MessageBoxTest,
                          public ::testing::WithParamInterface<ButtonsCase> {};

TEST_P(MessageBoxButtons, ResponderSeesTheRetitledBox) {
    InstallTable();
    MessageBoxRequest seen;
    SetMessageBoxOverride([&](const MessageBoxRequest& request) {
        seen = request;
        return kIdCancel;
    });
    EXPECT_EQ(DoMessageBox("Delete the user?", GetParam().buttons, MsgIcon::Question), kIdCancel);
    EXPECT_EQ(seen.text, "Delete the user?");
    EXPECT_EQ(seen.icon, MsgIcon::Question);
    EXPECT_EQ(seen.caption, En("APP_NAME"));
    EXPECT_EQ(seen.buttonTexts, GetParam().texts);
}

// Calls `act` with the message box once it is up, from inside its modal loop.
class WhenBoxShows {
public:
    explicit WhenBoxShows(std::function<void(QMessageBox&)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer_.stop();
                act(*box);
            }
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

ButtonTexts TextsOf(const QMessageBox& box) {
    ButtonTexts texts;
    for (QAbstractButton* button : box.buttons()) {
        const int id = box.standardButton(button) == QMessageBox::Ok       ? kIdOk
                       : box.standardButton(button) == QMessageBox::Cancel ? kIdCancel
                       : box.standardButton(button) == QMessageBox::Yes    ? kIdYes
                       : box.standardButton(button) == QMessageBox::No     ? kIdNo
                                                                           : -1;
        texts[id] = button->text().toStdString();
    }
    return texts;
}

TEST_P(MessageBoxButtons, EachButtonAnswersItsId) {
    InstallTable();
    for (const auto& [id, text] : GetParam().texts) {
        ButtonTexts shown;
        std::string caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenBoxShows click([&, text = text](QMessageBox& box) {
            shown = TextsOf(box);
            caption = box.windowTitle().toStdString();
            icon = box.icon();
            for (QAbstractButton* button : box.buttons())
                if (button->text().toStdString() == text) button->click();
        });
        EXPECT_EQ(DoMessageBox("Save?", GetParam().buttons, MsgIcon::Warning), id) << text;
        EXPECT_EQ(shown, GetParam().texts);
        EXPECT_EQ(caption, En("APP_NAME"));
        EXPECT_EQ(icon, QMessageBox::Warning);
    }
}

TEST_P(MessageBoxButtons, EscapeGivesTheCancellingAnswer) {
    InstallTable();
    WhenBoxShows escape([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(DoMessageBox("Continue?", GetParam().buttons), GetParam().escapeAnswer);
}

INSTANTIATE_TEST_SUITE_P(Sets, MessageBoxButtons, ::testing::ValuesIn(kButtonCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageBoxTest, ShowsTheLanguageTextsAsTheyAreNow) {
    InstallTable();
    EditEnglish("APP_NAME=en APP_NAME\n", "APP_NAME=Stepora Schrittzähler\n");
    std::string caption;
    SetMessageBoxOverride([&](const MessageBoxRequest& request) {
        caption = request.caption;
        return kIdOk;
    });
    DoMessageBox("Done.");
    EXPECT_EQ(caption, "Stepora Schrittzähler");
}

// A box whose own texts cannot be looked up must show the language error once, plainly
// captioned, and end the program with exit code 0 instead of retitling that error box.
struct BrokenCase {
    const char* name;
    const char* from;  // line of en.ini replaced ...
    const char* to;    // ... by this
    const char* box;   // the one box shown
    friend void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }
};

class MessageBoxBrokenLanguage : public MessageBoxTest,
                                 public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(MessageBoxBrokenLanguage, ShowsTheLanguageErrorOnceAndEnds) {
    EditEnglish(GetParam().from, GetParam().to);
    EXPECT_EXIT(
        {
            InstallTable();
            SetMessageBoxOverride([](const MessageBoxRequest& request) {
                static int boxes = 0;
                std::string buttons;
                for (const auto& [id, text] : request.buttonTexts) buttons += text;
                std::fprintf(stderr, "box %d: caption=%s text=%s buttons=%s\n", ++boxes,
                             request.caption.c_str(), request.text.c_str(), buttons.c_str());
                return kIdOk;
            });
            DoMessageBox("Delete the user?", MsgButtons::YesNo);
            std::fprintf(stderr, "returned\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), std::string("box 1: ") + GetParam().box + "\n$");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxBrokenLanguage,
    ::testing::Values(
        BrokenCase{"CaptionMissing", "APP_NAME=en APP_NAME\n", "",
                   "caption=Stepora text=Language config file error! buttons=&en APP_OK"},
        BrokenCase{"ButtonIsNull", "APP_NO=en APP_NO\n", "APP_NO=NULL\n",
                   "caption=en APP_NAME text=Language config file error! buttons=&en APP_OK"},
        BrokenCase{"NoTexts", "[LanguageString]", "[Other]",
                   "caption=Stepora text=Language config file error! buttons=&OK"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace stepora
