// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <map>
#include <string>

#include "app/LangTable.h"

class QDialog;
class QWidget;

namespace stepora {

enum class MsgButtons { Ok, OkCancel, YesNoCancel, YesNo };
enum class MsgIcon { None, Stop, Question, Warning, Information };

// Answers keep the numbers the buttons have always had.
enum MsgAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// What a message box shows, after retitling from the language table.
struct MessageBoxRequest {
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    std::string caption;
    std::map<int, std::string> buttonTexts;  // by answer id, with the "&" mnemonic
};

// The one place every message box of the program is built: the caption becomes the
// text of APP_NAME and each button "&" + the text of APP_YES / APP_NO / APP_OK /
// APP_CANCEL. When a text cannot be looked up, the language failure box that follows
// takes only the texts the table can still give (else plain ones), so it never recurses.
int DoMessageBox(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, QWidget* parent = nullptr);

// Tests answer message boxes: the responder sees the retitled box instead of a window.
using MessageBoxResponder = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxOverride(MessageBoxResponder responder);

// Every sub-dialog runs through here, so that tests can fill in and close dialogs.
using ModalHandler = std::function<int(QDialog&)>;
int RunModal(QDialog& dialog);
void SetRunModalOverride(ModalHandler handler);

// Installs the language-failure handler that shows its message in a stop box.
void InstallLanguageFailureBox();

}  // namespace stepora

namespace stepora {

// An OK-only message without an icon, the program's most common box.
inline void ShowMessage(const std::string& text, QWidget* parent) {
    DoMessageBox(text, MsgButtons::Ok, MsgIcon::None, parent);
}

// A choice that config.ini did not take is lost at the end of the run: the person is told.
void SayIfNotSaved(bool saved, QWidget* parent);

}  // namespace stepora
