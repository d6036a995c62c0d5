// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/DrawGraph.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "app/Format.h"
#include "app/QtText.h"
#include "graph/GraphExpDlg.h"
#include "graph/PeriodTexts.h"

namespace stepora {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kGrey(128, 128, 128);
const QColor kLightGrey(192, 192, 192);

// Screen readers announce the control as a chart.
QAccessibleInterface* ChartAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("stepora::CDrawGraph") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    return nullptr;
}

// The drawing primitives keep the pixel rules the geometry was made for: rectangles
// and ellipses end before their right and bottom edges, and so do straight lines.
QRect Inside(GraphRect r) {
    return QRect(r.left, r.top, r.width() - 1, r.height() - 1);
}

void Rectangle(QPainter& p, GraphRect r) {
    if (r.width() > 0 && r.height() > 0) p.drawRect(Inside(r));
}

void Ellipse(QPainter& p, GraphRect r) {
    if (r.width() > 0 && r.height() > 0) p.drawEllipse(Inside(r));
}

void Line(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;
    if (y1 == y2)
        x2 += x2 > x1 ? -1 : 1;
    else if (x1 == x2)
        y2 += y2 > y1 ? -1 : 1;
    p.drawLine(x1, y1, x2, y2);
}

void Line(QPainter& p, GraphPoint from, GraphPoint to) {
    Line(p, from.x, from.y, to.x, to.y);
}

QFont PointFont(int tenths) {
    QFont font = QApplication::font();
    font.setPointSizeF(std::max(tenths, 1) / 10.0);
    return font;
}

// Text drawn with its top-left corner at (x, y), always in black.
void Text(QPainter& p, GraphPoint at, const QString& text) {
    p.setPen(Qt::black);
    p.drawText(at.x, at.y + p.fontMetrics().ascent(), text);
}

int TextWidth(const QPainter& p, const QString& text) {
    return p.fontMetrics().horizontalAdvance(text);
}

struct FittedText {
    QString text;
    int room;
};

// The legend's sizes suit short captions; a longer text of a language would run out of
// the panel over the value labels, so the font shrinks until every text fits its room.
void SetFittedFont(QPainter& p, int tenths, std::initializer_list<FittedText> texts) {
    QFont font = PointFont(tenths);
    p.setFont(font);
    double scale = 1;
    for (const FittedText& fitted : texts) {
        const int width = TextWidth(p, fitted.text);
        if (width > fitted.room) scale = std::min(scale, std::max(fitted.room, 1) * 0.97 / width);
    }
    if (scale == 1) return;
    font.setPointSizeF(std::max(font.pointSizeF() * scale, 1.0));
    p.setFont(font);
}

// The frame, value grid, category grid and labels both plots share.
void DrawGrid(QPainter& p, GraphRect plot, GraphRect panel, const GraphData& data, uint32_t count) {
    const QPen solid(Qt::black, 1);
    const QPen dotted(kGrey, 1, Qt::DotLine);
    p.setFont(PointFont(85));
    const int textH = p.fontMetrics().height();
    for (int k = 0; k <= 5; ++k) {
        const int y = GridRowY(plot, k);
        p.setPen(k == 0 || k == 5 ? solid : dotted);
        Line(p, plot.left, y, plot.right - 1, y);
        const QString label = Qs(data.axisLabels[k]);
        Text(p, ValueLabelPos(plot, k, TextWidth(p, label), textH), label);
    }
    for (uint32_t j = 0; j <= count; ++j) {
        const int x = SlotX(plot, count, j);
        p.setPen(j == 0 || j == count ? solid : dotted);
        Line(p, x, plot.bottom - 1, x, plot.top + 1);
    }
    for (uint32_t j = 0; j < count; ++j) {
        const QString label = Qs(data.bars[j].label);
        Text(p, CategoryLabelPos(plot, panel, count, j, TextWidth(p, label)), label);
    }
}

void DrawGoalLine(QPainter& p, GraphRect plot, const GraphData& data) {
    const int y = GoalLineY(plot, data.goalValue, data.axisMax);
    p.setPen(QPen(kGreen, 1));
    Line(p, plot.left + 1, y, plot.right - 1, y);
}

void DrawLineGraph(QPainter& p, GraphRect plot, GraphRect panel, const GraphData& data,
                   uint32_t count) {
    DrawGrid(p, plot, panel, data, count);
    GraphPoint previous;
    for (uint32_t j = 0; j < count; ++j) {
        const GraphPoint centre = PointCentre(plot, count, j, data.bars[j].value, data.axisMax);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(kBlue);
        Ellipse(p, {centre.x - 2, centre.y - 2, centre.x + 2, centre.y + 2});
        if (j > 0) {
            p.setPen(QPen(kBlue, 1));
            Line(p, previous, centre);
        }
        previous = centre;
    }
    DrawGoalLine(p, plot, data);
}

void DrawBarGraph(QPainter& p, GraphRect plot, GraphRect panel, const GraphData& data,
                  uint32_t count) {
    DrawGrid(p, plot, panel, data, count);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kBlue);
    for (uint32_t j = 0; j < count; ++j) {
        const BarGeometry bar =
            CalcBar(plot, count, j, data.bars[j].value, data.goalValue, data.axisMax);
        Rectangle(p, bar.bar);
        if (bar.hasGreen)
            p.fillRect(QRect(bar.green.left, bar.green.top, bar.green.width(), bar.green.height()),
                       kGreen);
    }
    DrawGoalLine(p, plot, data);
}

void DrawLegend(QPainter& p, GraphRect a, const GraphData& data) {
    LegendGeometry legend = CalcLegend(a);
    const QString title = Qs(data.valueTitle);
    SetFittedFont(p, legend.titleTenths, {{title, legend.titleRoom}});
    Text(p, LegendTitlePos(a, TextWidth(p, title), p.fontMetrics().height()), title);

    const QString lineTexts[2] = {LangText(DRAWGRAPH_STR1), LangText(DRAWGRAPH_STR2)};
    const QString boxTexts[2] = {LangText(DRAWGRAPH_STR3), LangText(DRAWGRAPH_STR4)};
    const QString unit = Qs(data.unitText), goal = Qs(data.goalTitle);
    SetFittedFont(p, legend.textTenths,
                  {{lineTexts[0], legend.labelRoom},
                   {lineTexts[1], legend.labelRoom},
                   {boxTexts[0], legend.labelRoom},
                   {boxTexts[1], legend.labelRoom},
                   {unit, legend.unitRoom},
                   {goal, legend.goalRoom}});
    const int textH = p.fontMetrics().height();
    // Rows stand apart by the height the texts really take: glyphs a fallback font draws
    // (Chinese ones, say) stand taller than the legend font's own line.
    int lineH = textH;
    for (const QString& text : {lineTexts[0], lineTexts[1], boxTexts[0], boxTexts[1]})
        lineH = std::max(lineH, p.fontMetrics().boundingRect(text).height());
    legend = CalcLegend(a, lineH);
    const QColor colours[2] = {kGreen, kBlue};
    for (int row = 0; row < 2; ++row) {
        const auto& line = legend.lines[row];
        p.setPen(QPen(colours[row], 1));
        p.setBrush(colours[row]);
        Ellipse(p, line.dot1);
        Ellipse(p, line.dot2);
        Line(p, {line.dot1.left + 2, line.dot1.top + 2}, {line.dot2.left + 2, line.dot2.top + 2});
        Text(p, {legend.labelX, line.labelCentreY - textH / 2}, lineTexts[row]);
    }
    for (int row = 0; row < 2; ++row) {
        const GraphRect box = legend.boxes[row];
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(colours[row]);
        Rectangle(p, box);
        Text(p, {legend.labelX, box.top + (box.height() - textH) / 2}, boxTexts[row]);
    }
    p.setPen(QPen(Qt::black, 1));
    Line(p, legend.footerTop, legend.footerCorner);
    Line(p, legend.footerCorner, legend.footerEnd);
    Text(p, {legend.unitCentreX - TextWidth(p, unit) / 2, legend.footerTop.y - textH}, unit);
    Text(p, {legend.footerEnd.x, legend.footerEnd.y - textH / 2}, goal);
}

QString ValueText(double value) {
    std::string text = Format("%.3f", value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return Qs(text);
}

}  // namespace

CDrawGraph::CDrawGraph(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(ChartAccessible);
        return true;
    }();
    (void)factoryInstalled;
    setMouseTracking(true);
}

void CDrawGraph::SetGraphData(const GraphData* data) {
    data_ = data;
    Refresh();
}

void CDrawGraph::CalcLayout() {
    const QRect r = rect();
    layout_ = CalcGraphLayout({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
}

void CDrawGraph::Refresh() {
    UpdateAccessibleTexts();
    update();
}

uint32_t CDrawGraph::BarCount() const {
    return data_ ? std::min(data_->barCount, kMaxBars) : 0;
}

void CDrawGraph::UpdateAccessibleTexts() {
    setAccessibleName(data_ ? Qs(data_->valueTitle) : QString());
    setAccessibleDescription(data_ && BarCount() > 0 ? DescribeGraph(*data_) : QString());
}

void CDrawGraph::Paint(QPainter& p, uint32_t count) const {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kLightGrey);
    Rectangle(p, layout_.client);
    p.setBrush(Qt::white);
    const GraphRect a = layout_.legend;
    if (a.width() > 0 && a.height() > 0)
        p.drawRoundedRect(Inside(a), a.width() / 8 / 2.0, a.height() / 8 / 2.0);
    const GraphRect upper = TrimPlot(layout_.upperPlot, count);
    const GraphRect lower = TrimPlot(layout_.lowerPlot, count);
    Rectangle(p, upper);
    Rectangle(p, lower);
    DrawLineGraph(p, upper, layout_.upperPanel, *data_, count);
    DrawBarGraph(p, lower, layout_.lowerPanel, *data_, count);
    DrawLegend(p, a, *data_);
}

void CDrawGraph::paintEvent(QPaintEvent*) {
    const uint32_t count = BarCount();
    if (count == 0) return;
    QPainter target(this);
    // A page being printed gets the drawing itself: lines and text, sharp at any resolution.
    if (target.paintEngine() && target.paintEngine()->type() != QPaintEngine::Raster)
        return Paint(target, count);
    // Composed off-screen and shown in one copy, so a repaint never flickers.
    const qreal ratio = devicePixelRatioF();
    QImage buffer(size() * ratio, QImage::Format_RGB32);
    if (buffer.isNull()) return;
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(palette().window().color());
    {
        QPainter p(&buffer);
        Paint(p, count);
    }
    target.drawImage(0, 0, buffer);
}

void CDrawGraph::mouseMoveEvent(QMouseEvent* event) {
    // Over the plots even without bars: hovering does not look at the data.
    const QPoint at = event->position().toPoint();
    const uint32_t count = BarCount();
    const bool overPlot = TrimPlot(layout_.upperPlot, count).contains(at.x(), at.y()) ||
                          TrimPlot(layout_.lowerPlot, count).contains(at.x(), at.y());
    const Qt::CursorShape shape = overPlot ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (cursor().shape() != shape) setCursor(shape);
    QWidget::mouseMoveEvent(event);
}

void CDrawGraph::mousePressEvent(QMouseEvent* event) {
    const uint32_t count = BarCount();
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (count == 0) return;
    const QPoint at = event->position().toPoint();
    GraphRect plot = TrimPlot(layout_.upperPlot, count);
    if (!plot.contains(at.x(), at.y())) plot = TrimPlot(layout_.lowerPlot, count);
    if (!plot.contains(at.x(), at.y())) return;
    const int bar = HitBar(plot, count, at.x());
    if (bar < 0) return;
    CGraphExpDlg detail(window());
    const BarDetailTexts texts = BarDetail(*data_, uint32_t(bar));
    detail.SetCaption(texts.caption);
    detail.SetTitleLine(texts.title);
    detail.SetExplanation(texts.text);
    detail.Run();
}

QString DescribeGraph(const GraphData& data) {
    QStringList parts;
    const uint32_t count = std::min(data.barCount, kMaxBars);
    for (uint32_t j = 0; j < count; ++j)
        parts << Qs(data.bars[j].label) + ": " + ValueText(data.bars[j].value);
    parts << Qs(data.goalTitle) + ": " + ValueText(data.goalValue);
    return parts.join("; ");
}

}  // namespace stepora
