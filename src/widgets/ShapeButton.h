// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractButton>
#include <QColor>
#include <QRegion>

namespace stepora {

// A push button whose outline may be an ellipse, a rounded rectangle, a capsule or an
// arrow, painted in one colour per state with a 3D edge that follows the outline. The
// caption is the button's text(), so accessibility reads it like any button's. A
// checkable one is checked by its window alone (a click does not toggle it), and assistive
// technology hears that state. The button with the focus shows a dotted line inside its
// outline.
class CShapeButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Shape { Rectangle, Ellipse, RoundRect, Capsule, LeftArrow, RightArrow };
    enum State { Normal, Pressed, Hover, Disabled };

    explicit CShapeButton(QWidget* parent = nullptr);

    // A one-pixel line `inset` pixels inside an outline, where the focus is shown.
    static QRegion FocusLine(const QRegion& outline, int inset);
    // A capsule needs its long side at least twice its short side.
    static bool CapsuleFits(const QRect& client);
    // The outline of a shape in a client rectangle. A capsule that does not fit gives the
    // capsule arithmetic anyway; SetShape refuses it before it gets here.
    static QRegion ShapeRegion(Shape shape, const QRect& client);

    // Outlines the button on its current rectangle (and again after every resize).
    // A capsule that does not fit is refused and the previous shape stays.
    bool SetShape(Shape shape);
    bool SetEllipse() { return SetShape(Shape::Ellipse); }
    bool SetRoundRect() { return SetShape(Shape::RoundRect); }
    bool SetCapsule() { return SetShape(Shape::Capsule); }
    bool SetLeftArrow() { return SetShape(Shape::LeftArrow); }
    bool SetRightArrow() { return SetShape(Shape::RightArrow); }
    Shape CurrentShape() const { return shape_; }
    const QRegion& Region() const { return region_; }

    // Black (RGB 0) or an invalid colour leaves that state's colour as it was.
    void SetColours(QColor normal, QColor pressed, QColor hover, QColor disabled);
    QColor StateColour(State state) const { return colours_[state]; }

    void SetCaption(const QString& caption);
    void SetEdgeWidth(int width);  // 1 or 2
    int EdgeWidth() const { return edgeWidth_; }
    bool IsHovering() const { return hovering_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void nextCheckState() override {}

private:
    void ApplyShape();
    void SetHovering(bool hovering);
    QImage RenderFace(State state) const;
    void PaintFace(QPainter& painter, State state) const;
    void PaintEdge(QPainter& painter, bool sunken) const;

    Shape shape_ = Shape::Rectangle;
    QRegion region_;
    QPoint centre_;
    QColor colours_[4];
    int edgeWidth_ = 1;
    bool hovering_ = false;
};

}  // namespace stepora
