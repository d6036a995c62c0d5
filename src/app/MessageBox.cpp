#include "app/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

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
            return {{kIdOk, QMessageBox::Ok, APP_OK, "&OK"}, {kIdCancel, QMessageBox::Cancel, APP_CANCEL, "&Cancel"}};
        case MsgButtons::YesNoCancel:
            return {{kIdYes, QMessageBox::Yes, APP_YES, "&Yes"},
                    {kIdNo, QMessageBox::No, APP_NO, "&No"},
                    {kIdCancel, QMessageBox::Cancel, APP_CANCEL, "&Cancel"}};
        case MsgButtons::YesNo:
            return {{kIdYes, QMessageBox::Yes, APP_YES, "&Yes"}, {kIdNo, QMessageBox::No, APP_NO, "&No"}};
    }
    return {};
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Stop: return QMessageBox::Critical;
        case MsgIcon::Question: return QMessageBox::Question;
        case MsgIcon::Warning: return QMessageBox::Warning;
        case MsgIcon::Information: return QMessageBox::Information;
        case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

bool g_retitling = false;

void ShowLanguageFailure(const char* message) {
    if (!qApp) {
        std::fprintf(stderr, "%s\n", message);
        return;
    }
    DoMessageBox(message, MsgButtons::Ok, MsgIcon::Stop);
}

}  // namespace

int DoMessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon, QWidget* parent) {
    MessageBoxRequest request{text, buttons, icon, kFallbackCaption, {}};
    const auto specs = ButtonsOf(buttons);
    for (const auto& spec : specs) request.buttonTexts[spec.id] = spec.fallback;
    if (!g_retitling) {
        // A failed lookup in here shows the failure box (not retitled) and ends the program.
        g_retitling = true;
        request.caption = GetLangString(APP_NAME);
        for (const auto& spec : specs) request.buttonTexts[spec.id] = "&" + GetLangString(spec.key);
        g_retitling = false;
    }

    if (Responder()) return Responder()(request);

    QMessageBox box(QtIcon(icon), QString::fromStdString(request.caption),
                    QString::fromStdString(text), QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::ApplicationModal);
    std::map<QAbstractButton*, int> ids;
    for (const auto& spec : specs) {
        QPushButton* button = box.addButton(spec.button);
        button->setText(QString::fromStdString(request.buttonTexts[spec.id]));
        ids[button] = spec.id;
    }
    box.exec();
    auto found = ids.find(box.clickedButton());
    if (found != ids.end()) return found->second;
    // Closed from the title bar: the answer of the box's cancelling button.
    for (const auto& spec : specs)
        if (spec.id == kIdCancel || spec.id == kIdNo) return spec.id;
    return kIdOk;
}

void SetMessageBoxResponder(MessageBoxResponder responder) { Responder() = std::move(responder); }

int RunModal(QDialog& dialog) {
    if (Handler()) return Handler()(dialog);
    return dialog.exec();
}

void SetModalHandler(ModalHandler handler) { Handler() = std::move(handler); }

void InstallLanguageFailureBox() { SetLangFailureHandler(ShowLanguageFailure); }

}  // namespace stepora
