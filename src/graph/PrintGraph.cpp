// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PrintGraph.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

#include "app/LangTable.h"
#include "graph/PreviewFrame.h"
#include "graph/PrintLayout.h"

namespace stepora {

CPreviewFrame* PrintGraphPage(QWidget* frameControl, QWidget* owner, QPixmap& printPicture) {
    // The frame's rectangle of its window, with everything the window shows inside it: the
    // controls there are the frame's siblings, not its children.
    QWidget* window = frameControl ? frameControl->parentWidget() : nullptr;
    printPicture = !frameControl ? QPixmap()
                   : window      ? window->grab(frameControl->geometry())
                                 : frameControl->grab();

    std::vector<std::string> texts;
    for (unsigned key = PRINT_STR1; key <= PRINT_STR8; ++key)
        texts.push_back(GetLangString(static_cast<LangKey>(key)));

    // A copy per preview (pixmaps share their pixels): an older preview still open
    // prints the page it shows, not the newer capture.
    auto page = [picture = printPicture](QPainter& painter, const QRect& drawRect,
                                         QPrinter& printer, QWidget* pageOwner) {
        DrawPrintPicture(painter, drawRect, printer, pageOwner, picture);
    };
    auto* frame = new CPreviewFrame(page, owner ? owner->parentWidget() : nullptr, owner, 0, texts);
    frame->show();
    frame->raise();
    frame->activateWindow();
    return frame;
}

void DrawPrintPicture(QPainter& painter, const QRect& drawRect, QPrinter& printer,
                      const QWidget* owner, const QPixmap& picture) {
    if (picture.isNull()) return;
    const QSize size = picture.deviceIndependentSize().toSize();
    const QPaintDevice& screen = owner ? static_cast<const QPaintDevice&>(*owner) : picture;
    const PrintPlacement at = PlacePrintPicture(
        size.width(), size.height(), screen.logicalDpiX(), screen.logicalDpiY(),
        printer.logicalDpiX(), printer.logicalDpiY(), drawRect.width(), drawRect.height());
    if (at.width <= 0 || at.height <= 0) return;
    // Whole multiples stay sharp; other scales are smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          at.width % size.width() != 0 || at.height % size.height() != 0);
    painter.drawPixmap(QRect(drawRect.left() + at.x, drawRect.top() + at.y, at.width, at.height),
                       picture);
}

}  // namespace stepora
