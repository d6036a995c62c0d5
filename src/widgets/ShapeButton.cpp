// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ShapeButton.h"

#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace stepora {

// Captions and the focus mark: white on a dark face, black on a light one.
static QColor InkOn(const QColor& face) {
    return qGray(face.rgb()) < 128 ? Qt::white : Qt::black;
}

CShapeButton::CShapeButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    const QColor face = palette().color(QPalette::Button);
    std::fill(std::begin(colours_), std::end(colours_), face);
    ApplyShape();
}

bool CShapeButton::CapsuleFits(const QRect& client) {
    const int shortSide = std::min(client.width(), client.height());
    const int longSide = std::max(client.width(), client.height());
    return shortSide > 0 && longSide >= 2 * shortSide;
}

QRegion CShapeButton::ShapeRegion(Shape shape, const QRect& client) {
    // Right and bottom are exclusive, as in the arithmetic the shapes were drawn with.
    const int l = client.left(), t = client.top(), w = client.width(), h = client.height();
    const int r = l + w, b = t + h;
    switch (shape) {
        case Shape::Rectangle:
            return QRegion(client);
        case Shape::Ellipse:
            return QRegion(client, QRegion::Ellipse);
        case Shape::RoundRect: {
            const int e = std::min(w, h) / 2, half = e / 2;
            QRegion region(l + half, t, w - 2 * half, h);
            region += QRegion(l, t + half, w, h - 2 * half);
            for (const QPoint& corner :
                 {QPoint(l, t), QPoint(r - e, t), QPoint(l, b - e), QPoint(r - e, b - e)})
                region += QRegion(QRect(corner, QSize(e, e)), QRegion::Ellipse);
            return region;
        }
        case Shape::Capsule:
            if (w > h) {
                QRegion region(QRect(QPoint(l + h / 2, t), QPoint(r - h / 2 - 1, b - 1)));
                region += QRegion(QRect(l, t, h, h), QRegion::Ellipse);
                return region + QRegion(QRect(r - h, t, h, h), QRegion::Ellipse);
            } else {
                QRegion region(QRect(QPoint(l, t + w / 2), QPoint(r - 1, b - w / 2 - 1)));
                region += QRegion(QRect(l, t, w, w), QRegion::Ellipse);
                return region + QRegion(QRect(l, b - w, w, w), QRegion::Ellipse);
            }
        case Shape::LeftArrow:
            return QRegion(
                QPolygon({QPoint(l, t + h / 2), QPoint(l + w / 4, b), QPoint(l + w / 4, b - h / 5),
                          QPoint(r, b - h / 5), QPoint(r, t + h / 4), QPoint(l + w / 4, t + h / 4),
                          QPoint(l + w / 4, t)}));
        case Shape::RightArrow:
            return QRegion(
                QPolygon({QPoint(r, t + h / 2), QPoint(r - w / 4, b), QPoint(r - w / 4, b - h / 5),
                          QPoint(l, b - h / 5), QPoint(l, t + h / 4), QPoint(r - w / 4, t + h / 4),
                          QPoint(r - w / 4, t)}));
    }
    return QRegion(client);
}

QRegion CShapeButton::FocusLine(const QRegion& outline, int inset) {
    // The outline shrunk by `inset` pixels, then by one more: the difference is the line.
    const auto shrink = [](const QRegion& region, int by) {
        QRegion inner = region;
        for (const QPoint& shift : {QPoint(by, 0), QPoint(-by, 0), QPoint(0, by), QPoint(0, -by)})
            inner &= region.translated(shift);
        return inner;
    };
    const QRegion inner = shrink(outline, inset);
    return inner - shrink(inner, 1);
}

bool CShapeButton::SetShape(Shape shape) {
    if (shape == Shape::Capsule && !CapsuleFits(rect())) return false;
    shape_ = shape;
    ApplyShape();
    return true;
}

void CShapeButton::ApplyShape() {
    const QRect client = rect();
    // A capsule that no longer fits after a resize falls back to the plain rectangle
    // rather than a distorted outline.
    const bool fits = shape_ != Shape::Capsule || CapsuleFits(client);
    region_ = ShapeRegion(fits ? shape_ : Shape::Rectangle, client);
    centre_ = QPoint(client.left() + client.width() / 2, client.top() + client.height() / 2);
    if (shape_ == Shape::Rectangle || !fits)
        clearMask();
    else
        setMask(region_);
    if (hovering_ && !region_.contains(mapFromGlobal(QCursor::pos()))) hovering_ = false;
    update();
}

void CShapeButton::SetColours(QColor normal, QColor pressed, QColor hover, QColor disabled) {
    const QColor given[4] = {normal, pressed, hover, disabled};
    for (int i = 0; i < 4; ++i)
        if (given[i].isValid() && (given[i].rgb() & 0xFFFFFF) != 0) colours_[i] = given[i];
    update();
}

void CShapeButton::SetCaption(const QString& caption) {
    setText(caption);
    repaint();
}

void CShapeButton::SetEdgeWidth(int width) {
    edgeWidth_ = std::clamp(width, 1, 2);
    update();
}

QSize CShapeButton::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return QSize(metrics.horizontalAdvance(text()) + 16, metrics.height() + 10);
}

void CShapeButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    ApplyShape();
}

void CShapeButton::SetHovering(bool hovering) {
    if (hovering == hovering_) return;
    hovering_ = hovering;
    update();
}

// Hover follows the outline, not the rectangle. Nothing here grabs the mouse, so the
// button never keeps it after the pointer has left.
void CShapeButton::mouseMoveEvent(QMouseEvent* event) {
    SetHovering(region_.contains(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

void CShapeButton::enterEvent(QEnterEvent* event) {
    SetHovering(region_.contains(event->position().toPoint()));
    QAbstractButton::enterEvent(event);
}

void CShapeButton::leaveEvent(QEvent* event) {
    SetHovering(false);
    QAbstractButton::leaveEvent(event);
}

void CShapeButton::changeEvent(QEvent* event) {
    // A disabled button hears no leave event; it must not come back hovering.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) hovering_ = false;
    QAbstractButton::changeEvent(event);
}

bool CShapeButton::hitButton(const QPoint& pos) const {
    return region_.contains(pos);
}

void CShapeButton::PaintEdge(QPainter& painter, bool sunken) const {
    struct Band {
        int shift;
        QPalette::ColorRole raised, sunken;
    };
    static constexpr Band kDouble[] = {{2, QPalette::Light, QPalette::Shadow},
                                       {-2, QPalette::Dark, QPalette::Midlight},
                                       {1, QPalette::Midlight, QPalette::Dark},
                                       {-1, QPalette::Shadow, QPalette::Light}};
    static constexpr Band kSingle[] = {{1, QPalette::Light, QPalette::Shadow},
                                       {-1, QPalette::Shadow, QPalette::Light}};
    auto paint = [&](const auto& bands) {
        for (const Band& band : bands) {
            const QRegion edge = region_ - region_.translated(band.shift, band.shift);
            const QColor colour = palette().color(sunken ? band.sunken : band.raised);
            for (const QRect& part : edge) painter.fillRect(part, colour);
        }
    };
    if (edgeWidth_ == 2)
        paint(kDouble);
    else
        paint(kSingle);
}

QImage CShapeButton::RenderFace(State state) const {
    const qreal ratio = devicePixelRatioF();
    QImage face(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(ratio);
    face.fill(Qt::black);
    QPainter painter(&face);
    PaintFace(painter, state);
    return face;
}

void CShapeButton::PaintFace(QPainter& painter, State state) const {
    for (const QRect& part : region_) painter.fillRect(part, colours_[state]);

    painter.setFont(font());
    const QFontMetrics metrics(font());
    QPoint anchor(centre_.x(), centre_.y() + metrics.height() / 2);
    if (state == Pressed) anchor += QPoint(edgeWidth_, edgeWidth_);
    // Centred horizontally on the anchor, which is the baseline.
    const QPoint origin(anchor.x() - metrics.horizontalAdvance(text()) / 2, anchor.y());
    // The faces have fixed colours, so the captions do too: the palette's text colour of
    // a dark theme would vanish on a light face.
    if (state == Disabled) {
        painter.setPen(Qt::white);
        painter.drawText(origin + QPoint(1, 1), text());
        painter.setPen(QColor(128, 128, 128));
    } else {
        painter.setPen(InkOn(colours_[state]));
    }
    painter.drawText(origin, text());
    PaintEdge(painter, state == Pressed);
}

void CShapeButton::paintEvent(QPaintEvent*) {
    State state = Normal;
    if (!isEnabled())
        state = Disabled;
    else if (isDown())
        state = Pressed;
    else if (hovering_)
        state = Hover;
    QPainter painter(this);
    painter.setClipRegion(region_);
    // A page being printed gets the drawing itself, so the caption stays text.
    if (painter.paintEngine() && painter.paintEngine()->type() != QPaintEngine::Raster)
        return PaintFace(painter, state);
    // Composed off screen, then copied in one piece, clipped to the outline.
    painter.drawImage(0, 0, RenderFace(state));
    if (hasFocus()) {
        // Dotted, in the caption's ink, so it shows on every face.
        const QBrush dots(InkOn(colours_[state]), Qt::Dense4Pattern);
        for (const QRect& part : FocusLine(region_, edgeWidth_ + 2)) painter.fillRect(part, dots);
    }
}

}  // namespace stepora
