// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

namespace stepora {

// A drop-down list without keyboard search: typed characters are swallowed, in the box
// and in its open list alike. Items are chosen with the arrow, page, Home and End keys,
// F4 / Alt+Down, or the mouse.
class CNoTypeComboBox : public QComboBox {
public:
    explicit CNoTypeComboBox(QWidget* parent = nullptr) : QComboBox(parent) {
        setEditable(false);
        view()->installEventFilter(this);
    }

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
