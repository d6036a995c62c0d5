// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FilterEdits.h"

#include <QKeyEvent>
#include <QValidator>

namespace stepora {

namespace {

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool IsDecimalChar(char32_t c) {
    return IsDigit(c) || c == U'.';
}
bool IsNameChar(char32_t c) {
    switch (c) {
        case U'\\':
        case U'/':
        case U':':
        case U'*':
        case U'?':
        case U'"':
        case U'<':
        case U'>':
        case U'|':
            return false;
        default:
            return true;
    }
}

// Text a key would type; control characters (Backspace, Enter, Ctrl+V …) type nothing.
bool TypesText(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control) return false;
    return true;
}

class PasswordValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return CPasswordEdit::Fits(input) ? Acceptable : Invalid;
    }
};

}  // namespace

CFilterEdit::CFilterEdit(CharFilter accepts, QWidget* parent)
    : QLineEdit(parent), accepts_(accepts) {}

void CFilterEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (TypesText(text)) {
        for (const char32_t c : text.toUcs4()) {
            if (!accepts_(c)) {
                event->accept();  // swallowed: neither typed nor passed to the dialog
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

CDecimalEdit::CDecimalEdit(QWidget* parent) : CFilterEdit(IsDecimalChar, parent) {
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
}

CIntegerEdit::CIntegerEdit(QWidget* parent) : CFilterEdit(IsDigit, parent) {
    setInputMethodHints(Qt::ImhDigitsOnly);
}

CUserNameEdit::CUserNameEdit(QWidget* parent) : CFilterEdit(IsNameChar, parent) {
    setMaxLength(kMaxNameLength);
}

CPasswordEdit::CPasswordEdit(QWidget* parent) : QLineEdit(parent) {
    setEchoMode(QLineEdit::Password);
    setValidator(new PasswordValidator(this));
}

bool CPasswordEdit::Fits(const QString& password) {
    return password.toUcs4().size() <= kMaxCharacters && password.toUtf8().size() <= kMaxBytes;
}

}  // namespace stepora
