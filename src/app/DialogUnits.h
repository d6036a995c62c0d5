// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFont>
#include <QRect>
#include <QSize>

namespace stepora {

// Dialog layouts are given in dialog units of the dialog's font: a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

private:
    int baseX_;
    int baseY_;
};

// The font every dialog of the program is laid out in (the platform's UI font at 8 pt).
QFont DialogFont();

}  // namespace stepora
