// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLineEdit>

namespace stepora {

// A line edit that drops typed characters its filter refuses. Only typed characters are
// filtered: pasting, shortcuts, Backspace, Delete and the arrows pass unchanged.
class CFilterEdit : public QLineEdit {
    Q_OBJECT
public:
    using CharFilter = bool (*)(char32_t);
    CFilterEdit(CharFilter accepts, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CharFilter accepts_;
};

// Digits and the full stop.
class CDecimalEdit : public CFilterEdit {
    Q_OBJECT
public:
    explicit CDecimalEdit(QWidget* parent = nullptr);
};

// Digits only.
class CIntegerEdit : public CFilterEdit {
    Q_OBJECT
public:
    explicit CIntegerEdit(QWidget* parent = nullptr);
};

// Everything but the characters a file name may not hold; 16 characters at most.
class CUserNameEdit : public CFilterEdit {
    Q_OBJECT
public:
    static constexpr int kMaxNameLength = 16;
    explicit CUserNameEdit(QWidget* parent = nullptr);
};

// A password of at most 12 characters whose UTF-8 form fits the 15 bytes a user file
// stores: a typed or pasted change beyond either limit is not taken, so a password is
// never cut short when it is stored.
class CPasswordEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kMaxCharacters = 12;
    static constexpr int kMaxBytes = 15;
    explicit CPasswordEdit(QWidget* parent = nullptr);
    static bool Fits(const QString& password);
};

}  // namespace stepora
