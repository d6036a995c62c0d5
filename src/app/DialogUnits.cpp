// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

namespace stepora {

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    baseX_ = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

}  // namespace stepora
