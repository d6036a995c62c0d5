#pragma once
#include <QLineEdit>
namespace stepora {
class CDecimalEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
};
class CIntegerEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
};
class CUserNameEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
};
class CPasswordEdit : public QLineEdit {
public:
    explicit CPasswordEdit(QWidget* p = nullptr) : QLineEdit(p) {
        setEchoMode(Password);
        setMaxLength(12);
    }
};
}  // namespace stepora
