// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <vector>

#include "app/AppGlobals.h"
#include "app/LangTable.h"

namespace stepora {
namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}
ModalHandler& Handler() {
    static ModalHandler handler;
    return handler;
}

// Caption of a box shown while its own texts could not be looked up.
constexpr const char* kFallbackCaption = "Stepora";

struct ButtonSpec {
    int id;
    QMessageBox::StandardButton button;
    LangKey key;
    const char* fallback;  // shown while the language table cannot be read
};

std::vector<ButtonSpec> ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {{kIdOk, QMessageBox::Ok, APP_OK, "&OK"}};
        case MsgButtons::OkCancel:
            return {{kIdOk, QMessageBox::Ok, APP_OK, "&OK"},
                    {kIdCancel, QMessageBox::Cancel, APP_CANCEL, "&Cancel"}};
        case MsgButtons::YesNoCancel:
            return {{kIdYes, QMessageBox::Yes, APP_YES, "&Yes"},
                    {kIdNo, QMessageBox::No, APP_NO, "&No"},
                    {kIdCancel, QMessageBox::Cancel, APP_CANCEL, "&Cancel"}};
        case MsgButtons::YesNo:
            return {{kIdYes, QMessageBox::Yes, APP_YES, "&Yes"},
                    {kIdNo, QMessageBox::No, APP_NO, "&No"}};
    }
    return {};
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Stop:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

MessageBoxRequest PlainRequest(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    MessageBoxRequest request{text, buttons, icon, kFallbackCaption, {}};
    for (const auto& entry : ButtonsOf(buttons)) request.buttonTexts[entry.id] = entry.fallback;
    return request;
}

int ShowRequest(const MessageBoxRequest& request, QWidget* parent) {
    if (Responder()) return Responder()(request);

    const auto buttonList = ButtonsOf(request.buttons);
    QMessageBox box(QtIcon(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::ApplicationModal);
    std::map<QAbstractButton*, int> ids;
    for (const auto& entry : buttonList) {
        QPushButton* button = box.addButton(entry.button);
        button->setText(QString::fromStdString(request.buttonTexts.at(entry.id)));
        ids[button] = entry.id;
    }
    box.exec();
    auto found = ids.find(box.clickedButton());
    if (found != ids.end()) return found->second;
    // Closed without a button: the answer of the box's cancelling button, Cancel before No.
    int answer = kIdOk;
    for (const auto& entry : buttonList)
        if (entry.id == kIdCancel || (entry.id == kIdNo && answer == kIdOk)) answer = entry.id;
    return answer;
}

// The language failure box takes whatever texts the table can still give, through the
// lookups that never fail loudly: a strict lookup in here would replace the message
// (an unwritable Language.INI would read "Language config file error!") or recurse.
void ShowLanguageFailure(const char* message) {
    // Said on standard error too: started from a terminal, that is where people look.
    std::fprintf(stderr, "stepora: %s\n", message);
    if (!qApp) return;
    MessageBoxRequest request = PlainRequest(message, MsgButtons::Ok, MsgIcon::Stop);
    if (const LangTable* table = ProgramLangTable()) {
        std::string text;
        if (table->GetString(APP_NAME, text)) request.caption = text;
        if (table->GetString(APP_OK, text)) request.buttonTexts[kIdOk] = "&" + text;
    }
    ShowRequest(request, nullptr);
}

}  // namespace

int DoMessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon, QWidget* parent) {
    // A failed lookup here shows the language failure box and ends the program.
    MessageBoxRequest request = PlainRequest(text, buttons, icon);
    request.caption = GetLangString(APP_NAME);
    for (const auto& entry : ButtonsOf(buttons))
        request.buttonTexts[entry.id] = "&" + GetLangString(entry.key);
    return ShowRequest(request, parent);
}

void SetMessageBoxOverride(MessageBoxResponder responder) {
    Responder() = std::move(responder);
}

int RunModal(QDialog& dialog) {
    if (Handler()) return Handler()(dialog);
    return dialog.exec();
}

void SetRunModalOverride(ModalHandler handler) {
    Handler() = std::move(handler);
}

void InstallLanguageFailureBox() {
    SetLangFailureHandler(ShowLanguageFailure);
}

}  // namespace stepora

namespace stepora {

void SayIfNotSaved(bool saved, QWidget* parent) {
    if (!saved) ShowMessage(Globals().apEnvironment.NotSavedMessage(), parent);
}

}  // namespace stepora
