// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QPainter;
class QPixmap;
class QPrinter;
class QRect;
class QWidget;

namespace stepora {

class CPreviewFrame;

// The print command of the graph window: captures frameControl (its own pixels, not what
// lies over it) into printPicture, replacing the previous picture, and opens a print
// preview of it owned by `owner`. Each preview keeps the picture it was opened with, so
// what it prints is what it shows even after a later print command.
CPreviewFrame* PrintGraphPage(QWidget* frameControl, QWidget* owner, QPixmap& printPicture);

// Draws the picture centred in drawRect, at a whole multiple of its screen size when that
// fits (the screen resolution is the owner's), else as large as fits.
void DrawPrintPicture(QPainter& painter, const QRect& drawRect, QPrinter& printer,
                      const QWidget* owner, const QPixmap& picture);

}  // namespace stepora
