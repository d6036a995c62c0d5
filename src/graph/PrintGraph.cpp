// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PrintGraph.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <limits>

#include "app/LangTable.h"
#include "graph/PreviewFrame.h"
#include "graph/PrintLayout.h"

namespace stepora {

struct PrintPicture::Replay {
    QTransform base;   // the painter's transform when the picture began to play
    double fontScale;  // recorded resolution over the page's: point sizes keep their pixels
};

namespace {

using Op = PrintPicture::Op;

// Keeps every drawing command as the painter call that repeats it. Text is kept as its
// string, font and baseline: a run of a fallback font (Chinese glyphs in a Latin font, say)
// comes back on the same baseline, where a QPicture would move it down.
class RecordingEngine final : public QPaintEngine {
public:
    explicit RecordingEngine(std::vector<Op>& ops) : QPaintEngine(AllFeatures), ops_(ops) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override {
        const DirtyFlags dirty = s.state();
        if (dirty & DirtyPen) Add([pen = s.pen()](QPainter& p, auto&) { p.setPen(pen); });
        if (dirty & DirtyBrush) Add([brush = s.brush()](QPainter& p, auto&) { p.setBrush(brush); });
        if (dirty & DirtyBrushOrigin)
            Add([at = s.brushOrigin()](QPainter& p, auto&) { p.setBrushOrigin(at); });
        if (dirty & DirtyBackground)
            Add([brush = s.backgroundBrush()](QPainter& p, auto&) { p.setBackground(brush); });
        if (dirty & DirtyBackgroundMode)
            Add([mode = s.backgroundMode()](QPainter& p, auto&) { p.setBackgroundMode(mode); });
        // The transform before the clip: a clip is given in the transform of its moment.
        if (dirty & DirtyTransform)
            Add([t = s.transform()](QPainter& p, const PrintPicture::Replay& r) {
                p.setWorldTransform(t * r.base);
            });
        if (dirty & DirtyClipRegion)
            Add([region = s.clipRegion(), op = s.clipOperation()](QPainter& p, auto&) {
                p.setClipRegion(region, op);
            });
        if (dirty & DirtyClipPath)
            Add([path = s.clipPath(), op = s.clipOperation()](QPainter& p, auto&) {
                p.setClipPath(path, op);
            });
        if (dirty & DirtyClipEnabled)
            Add([on = s.isClipEnabled()](QPainter& p, auto&) { p.setClipping(on); });
        if (dirty & DirtyHints)
            Add([hints = s.renderHints()](QPainter& p, auto&) {
                p.setRenderHints(~QPainter::RenderHints(), false);
                p.setRenderHints(hints, true);
            });
        if (dirty & DirtyCompositionMode)
            Add([mode = s.compositionMode()](QPainter& p, auto&) { p.setCompositionMode(mode); });
        if (dirty & DirtyOpacity)
            Add([opacity = s.opacity()](QPainter& p, auto&) { p.setOpacity(opacity); });
    }

    void drawPath(const QPainterPath& path) override {
        Add([path](QPainter& p, auto&) { p.drawPath(path); });
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        Add([polygon = QPolygonF(QList<QPointF>(points, points + count)), mode](QPainter& p,
                                                                                auto&) {
            switch (mode) {
                case PolylineMode:
                    return p.drawPolyline(polygon);
                case ConvexMode:
                    return p.drawConvexPolygon(polygon);
                case OddEvenMode:
                    return p.drawPolygon(polygon, Qt::OddEvenFill);
                case WindingMode:
                    return p.drawPolygon(polygon, Qt::WindingFill);
            }
        });
    }
    void drawRects(const QRectF* rects, int count) override {
        Add([list = QList<QRectF>(rects, rects + count)](QPainter& p, auto&) {
            p.drawRects(list.constData(), int(list.size()));
        });
    }
    void drawLines(const QLineF* lines, int count) override {
        Add([list = QList<QLineF>(lines, lines + count)](QPainter& p, auto&) {
            p.drawLines(list.constData(), int(list.size()));
        });
    }
    void drawEllipse(const QRectF& rect) override {
        Add([rect](QPainter& p, auto&) { p.drawEllipse(rect); });
    }
    void drawPoints(const QPointF* points, int count) override {
        Add([list = QList<QPointF>(points, points + count)](QPainter& p, auto&) {
            p.drawPoints(list.constData(), int(list.size()));
        });
    }
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
        Add([=](QPainter& p, auto&) { p.drawPixmap(rect, pixmap, source); });
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override {
        Add([=](QPainter& p, auto&) { p.drawImage(rect, image, source, flags); });
    }
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& at) override {
        Add([=](QPainter& p, auto&) { p.drawTiledPixmap(rect, pixmap, at); });
    }
    void drawTextItem(const QPointF& baseline, const QTextItem& item) override {
        Add([baseline, font = item.font(), text = item.text()](QPainter& p,
                                                               const PrintPicture::Replay& r) {
            // The print preview keeps its pages as QPictures too; on the screen the outlines
            // of the text keep it in place there.
            if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Picture) {
                QPainterPath outline;
                outline.addText(baseline, font, text);
                const bool smooth = p.testRenderHint(QPainter::Antialiasing);
                p.setRenderHint(QPainter::Antialiasing);
                p.fillPath(outline, p.pen().brush());
                return p.setRenderHint(QPainter::Antialiasing, smooth);
            }
            QFont scaled = font;
            if (scaled.pointSizeF() > 0) scaled.setPointSizeF(scaled.pointSizeF() * r.fontScale);
            p.setFont(scaled);
            p.drawText(baseline, text);
        });
    }

private:
    void Add(Op op) { ops_.push_back(std::move(op)); }
    std::vector<Op>& ops_;
};

// A device of the window's size and resolution that records what is painted on it.
class RecordingDevice final : public QPaintDevice {
public:
    RecordingDevice(QSize size, int dpiX, int dpiY, std::vector<Op>& ops)
        : size_(size), dpiX_(dpiX), dpiY_(dpiY), engine_(ops) {}
    ~RecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return size_.width();
            case PdmHeight:
                return size_.height();
            case PdmWidthMM:
                return qRound(size_.width() * 25.4 / dpiX_);
            case PdmHeightMM:
                return qRound(size_.height() * 25.4 / dpiY_);
            case PdmNumColors:
                return std::numeric_limits<int>::max();
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return dpiX_;
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return dpiY_;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return 0;
        }
    }

private:
    QSize size_;
    int dpiX_, dpiY_;
    mutable RecordingEngine engine_;
};

}  // namespace

PrintPicture PrintPicture::Record(QWidget* frameControl) {
    PrintPicture picture;
    if (!frameControl) return picture;
    // The controls the frame surrounds are its siblings, not its children.
    QWidget* window = frameControl->parentWidget();
    QWidget* source = window ? window : frameControl;
    const QRect area = window ? frameControl->geometry() : frameControl->rect();
    if (area.isEmpty()) return picture;
    auto ops = std::make_shared<std::vector<Op>>();
    picture.dpiX_ = source->logicalDpiX();
    picture.dpiY_ = source->logicalDpiY();
    RecordingDevice device(area.size(), picture.dpiX_, picture.dpiY_, *ops);
    QPainter painter(&device);
    source->render(&painter, QPoint(0, 0), QRegion(area),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    picture.ops_ = std::move(ops);
    picture.size_ = area.size();
    return picture;
}

void PrintPicture::Play(QPainter& painter) const {
    const QPaintDevice* device = painter.device();
    if (!ops_ || !device || device->logicalDpiY() <= 0) return;
    painter.save();
    const Replay replay{painter.worldTransform(), double(dpiY_) / device->logicalDpiY()};
    for (const Op& op : *ops_) op(painter, replay);
    painter.restore();
}

CPreviewFrame* PrintGraphPage(QWidget* frameControl, QWidget* owner, PrintPicture& printPicture) {
    printPicture = PrintPicture::Record(frameControl);

    std::vector<std::string> texts;
    for (unsigned key = PRINT_STR1; key <= PRINT_STR8; ++key)
        texts.push_back(GetLangString(static_cast<LangKey>(key)));

    // A copy per preview (the commands are shared): an older preview still open prints the
    // page it shows, not the newer recording.
    auto page = [picture = printPicture](QPainter& painter, const QRect& drawRect, QPrinter&,
                                         QWidget* pageOwner) {
        DrawPrintPicture(painter, drawRect, pageOwner, picture);
    };
    auto* frame = new CPreviewFrame(page, owner ? owner->parentWidget() : nullptr, owner, 0, texts);
    frame->show();
    frame->raise();
    frame->activateWindow();
    return frame;
}

void DrawPrintPicture(QPainter& painter, const QRect& drawRect, const QWidget* owner,
                      const PrintPicture& picture) {
    const QPaintDevice* page = painter.device();
    const QSize size = picture.Size();
    if (picture.IsNull() || size.isEmpty() || !page) return;
    const int screenDpiX = owner ? owner->logicalDpiX() : picture.DpiX();
    const int screenDpiY = owner ? owner->logicalDpiY() : picture.DpiY();
    const PrintPlacement at =
        PlacePrintPicture(size.width(), size.height(), screenDpiX, screenDpiY, page->logicalDpiX(),
                          page->logicalDpiY(), drawRect.width(), drawRect.height());
    if (at.width <= 0 || at.height <= 0) return;
    painter.save();
    painter.translate(drawRect.left() + at.x, drawRect.top() + at.y);
    painter.scale(double(at.width) / size.width(), double(at.height) / size.height());
    painter.setClipRect(QRect(QPoint(0, 0), size));
    picture.Play(painter);
    painter.restore();
}

}  // namespace stepora
