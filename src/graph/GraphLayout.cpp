// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/GraphLayout.h"

#include <algorithm>
#include <cmath>

namespace stepora {
namespace {

// Truncates toward zero; a value far outside the plot (or not a number) is held at a
// size no painter overflows on.
int Trunc(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -1e8, 1e8));
}

GraphRect PlotIn(GraphRect panel) {
    const int w = panel.width(), h = panel.height();
    GraphRect plot;
    plot.left = panel.left + (w % 33) / 2 + 2 * (w / 33);
    plot.right = plot.left + 31 * (w / 33);
    plot.top = panel.top + ((h - 10) % 6) / 2 + 5;
    plot.bottom = plot.top + 5 * ((h - 10) / 6);
    return plot;
}

// The width as the unsigned count it always was; a collapsed plot has none.
uint32_t UnsignedWidth(GraphRect plot) {
    return static_cast<uint32_t>(std::max(plot.width(), 0));
}

}  // namespace

GraphLayout CalcGraphLayout(GraphRect client) {
    const int l = client.left, t = client.top, r = client.right, b = client.bottom;
    GraphLayout layout;
    layout.client = client;
    layout.legend = {l + 3, t + 3, l + (r - l) / 5, b - 3};
    const int top = t + 3;
    const int mid = top + ((b - 3) - top) / 2;
    const int panelLeft = l + (r - l) / 5 + 2;
    layout.upperPanel = {panelLeft, top, r, mid};
    layout.lowerPanel = {panelLeft, mid, r, mid + (mid - top)};
    layout.upperPlot = PlotIn(layout.upperPanel);
    layout.lowerPlot = PlotIn(layout.lowerPanel);
    return layout;
}

GraphRect TrimPlot(GraphRect plot, uint32_t barCount) {
    if (barCount == 0) return plot;
    plot.right = plot.left + static_cast<int>(UnsignedWidth(plot) / barCount * barCount);
    return plot;
}

int SlotWidth(GraphRect plot, uint32_t barCount) {
    return barCount == 0 ? 0 : static_cast<int>(UnsignedWidth(plot) / barCount);
}

int SlotX(GraphRect plot, uint32_t barCount, uint32_t j) {
    return plot.left + static_cast<int>(j) * SlotWidth(plot, barCount);
}

int GridRowY(GraphRect plot, int k) {
    return plot.bottom - k * (plot.height() / 5);
}

int PointHeight(GraphRect plot, double value, double axisMax) {
    if (!(axisMax > 0)) return 0;
    return Trunc(plot.height() * (value / axisMax));
}

int BarHeight(GraphRect plot, double value, double axisMax) {
    if (!(axisMax > 0)) return 0;
    return Trunc(plot.height() * value / axisMax);
}

GraphPoint PointCentre(GraphRect plot, uint32_t barCount, uint32_t j, double value,
                       double axisMax) {
    return {SlotX(plot, barCount, j) + SlotWidth(plot, barCount) / 2,
            plot.bottom - PointHeight(plot, value, axisMax)};
}

int GoalLineY(GraphRect plot, double goalValue, double axisMax) {
    return plot.bottom - BarHeight(plot, goalValue, axisMax);
}

BarGeometry CalcBar(GraphRect plot, uint32_t barCount, uint32_t j, double value, double goalValue,
                    double axisMax) {
    const int slot = SlotWidth(plot, barCount);
    const int sixth = slot / 6;
    BarGeometry geometry;
    geometry.bar.left = SlotX(plot, barCount, j) + sixth + (slot % 6) / 2;
    geometry.bar.right = geometry.bar.left + 4 * sixth;
    const int barH = BarHeight(plot, value, axisMax);
    const int goalH = BarHeight(plot, goalValue, axisMax);
    geometry.bar.top = plot.bottom - barH;
    geometry.bar.bottom = plot.bottom;
    // Compared unsigned, as always: a negative goal height colours nothing.
    if (static_cast<uint32_t>(goalH) < static_cast<uint32_t>(barH)) {
        geometry.hasGreen = true;
        geometry.green = {geometry.bar.left, plot.bottom - barH, geometry.bar.right,
                          plot.bottom - goalH};
    }
    return geometry;
}

GraphPoint ValueLabelPos(GraphRect plot, int k, int textWidth, int textHeight) {
    return {plot.left - textWidth, GridRowY(plot, k) - textHeight / 2};
}

GraphPoint CategoryLabelPos(GraphRect plot, GraphRect panel, uint32_t barCount, uint32_t j,
                            int textWidth) {
    return {SlotX(plot, barCount, j) + (SlotWidth(plot, barCount) - textWidth) / 2,
            panel.bottom - plot.height() / 5};
}

LegendGeometry CalcLegend(GraphRect a, int textHeight) {
    const int w = a.width(), h = a.height();
    LegendGeometry legend;
    legend.titleTenths = (h / 8) * 4;
    legend.textTenths = (h / 16) * 8;
    const int x1 = a.left + w / 8 - 2;
    const int x2 = x1 + 2 * (w / 8);
    const int linePitch = std::max(h / 16, textHeight);
    for (int row = 0; row < 2; ++row) {
        const int y1 = a.top + h / 4 + h / 16 + row * linePitch - 2;
        legend.lines[row] = {{x1, y1, x1 + 4, y1 + 4}, {x2, y1, x2 + 4, y1 + 4}, y1 + 2};
    }
    const int boxLeft = a.left + w / 6, boxRight = a.left + 2 * (w / 6);
    const int boxTop = a.top + 2 * (h / 4), boxH = std::max((h / 4) / 3, textHeight);
    legend.boxes[0] = {boxLeft, boxTop, boxRight, boxTop + boxH};
    legend.boxes[1] = {boxLeft, boxTop + boxH, boxRight, boxTop + 2 * boxH};
    legend.labelX = a.left + w / 2;
    const int footerX = a.left + w / 4;
    const int footerY = a.top + 3 * (h / 16 + h / 4);
    legend.footerTop = {footerX, a.top + 3 * (h / 4) + h / 16};
    legend.footerCorner = {footerX, footerY};
    legend.footerEnd = {a.left + 2 * (w / 4), footerY};
    legend.unitCentreX = a.left + w / 3;
    const int margin = 3;
    legend.titleRoom = w - 2 * margin;
    legend.labelRoom = a.right - margin - legend.labelX;
    legend.goalRoom = a.right - margin - legend.footerEnd.x;
    legend.unitRoom =
        2 * std::min(legend.unitCentreX - a.left, a.right - legend.unitCentreX) - 2 * margin;
    return legend;
}

GraphPoint LegendTitlePos(GraphRect a, int textWidth, int textHeight) {
    return {a.left + (a.width() - textWidth) / 2, a.top + (a.height() / 4 - textHeight) / 2};
}

int HitBar(GraphRect trimmedPlot, uint32_t barCount, int x) {
    if (barCount == 0 || x < trimmedPlot.left || x >= trimmedPlot.right) return -1;
    const int offset = x - trimmedPlot.left;
    const int slot = SlotWidth(trimmedPlot, barCount);
    for (uint32_t i = 0; i < barCount; ++i)
        if (offset < slot * static_cast<int>(i + 1)) return static_cast<int>(i);
    return -1;
}

}  // namespace stepora
