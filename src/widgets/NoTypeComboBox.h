// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

namespace stepora {

// A drop-down list without keyboard search: typed characters are swallowed, in the box
// and in its open list alike. Items are chosen with the arrow, page, Home and End keys,
// F4 / Alt+Down, or the mouse.
//
// Assistive technology hears it by its accessible name when it has one. (Qt's own
// interface gives a combo box on Linux its current value as its name, so lists that
// differ only in what they choose would all sound alike.)
class CNoTypeComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CNoTypeComboBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (IsTyped(event))
            event->accept();
        else
            QComboBox::keyPressEvent(event);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && IsTyped(static_cast<QKeyEvent*>(event)))
            return true;
        return QComboBox::eventFilter(watched, event);
    }

private:
    // Space keeps opening the list, as it does in every drop-down list.
    static bool IsTyped(const QKeyEvent* event) {
        const QString text = event->text();
        if (text.isEmpty() || text == QStringLiteral(" ")) return false;
        for (const QChar c : text)
            if (c.category() == QChar::Other_Control) return false;
        return true;
    }
};

}  // namespace stepora
