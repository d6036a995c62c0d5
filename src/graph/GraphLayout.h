// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The geometry of the graph drawing control, in integer pixels. Rectangles keep the
// exclusive right and bottom edges of the original drawing code, and every division
// truncates toward zero, so the picture is the same pixel for pixel on every platform.
#include <cstdint>

namespace stepora {

struct GraphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const GraphRect&) const = default;
};

struct GraphPoint {
    int x = 0, y = 0;
    bool operator==(const GraphPoint&) const = default;
};

// The rectangles fixed once from the control's client rectangle. Each plot is 31 of 33
// equal columns of its panel and 5 of 6 equal rows, leaving room for the labels.
struct GraphLayout {
    GraphRect client, legend, upperPanel, lowerPanel, upperPlot, lowerPlot;
};
GraphLayout CalcGraphLayout(GraphRect client);

// The plot narrowed to a whole number of slots; unchanged for a count of 0.
GraphRect TrimPlot(GraphRect plot, uint32_t barCount);

// Plot width / bar count (0 for no bars).
int SlotWidth(GraphRect plot, uint32_t barCount);
// Left edge of slot j; slot barCount is the right edge of the (trimmed) plot.
int SlotX(GraphRect plot, uint32_t barCount, uint32_t j);
// Value-grid row k = 0 (bottom) .. 5 (top).
int GridRowY(GraphRect plot, int k);

// Heights of a value in the plot: the line graph scales by value/axisMax first, the bar
// graph multiplies first, as the two graphs always have. 0 when axisMax is not positive.
int PointHeight(GraphRect plot, double value, double axisMax);
int BarHeight(GraphRect plot, double value, double axisMax);

GraphPoint PointCentre(GraphRect plot, uint32_t barCount, uint32_t j, double value, double axisMax);
int GoalLineY(GraphRect plot, double goalValue, double axisMax);

struct BarGeometry {
    GraphRect bar;  // blue, black outline
    bool hasGreen = false;
    GraphRect green;  // the part above the goal, painted over in green
};
BarGeometry CalcBar(GraphRect plot, uint32_t barCount, uint32_t j, double value, double goalValue,
                    double axisMax);

// Top-left corners of texts of the given size.
GraphPoint ValueLabelPos(GraphRect plot, int k, int textWidth, int textHeight);
GraphPoint CategoryLabelPos(GraphRect plot, GraphRect panel, uint32_t barCount, uint32_t j,
                            int textWidth);

// The legend panel: a title, two line samples, two bar samples and the goal connector.
struct LegendGeometry {
    int titleTenths = 0;  // font sizes in tenths of a point
    int textTenths = 0;
    struct LineSample {
        GraphRect dot1, dot2;  // 4x4 ellipses joined centre to centre
        int labelCentreY = 0;
    } lines[2];          // green (goal), blue (values)
    GraphRect boxes[2];  // green, blue
    int labelX = 0;
    GraphPoint footerTop, footerCorner, footerEnd;  // the connector's three points
    int unitCentreX = 0;
    // Widths the texts have before they would leave the panel.
    int titleRoom = 0, labelRoom = 0, goalRoom = 0, unitRoom = 0;
};
// Rows are spaced at least textHeight apart (the height the legend's labels take), so
// labels of a script with tall lines never touch; the sample boxes grow with them.
LegendGeometry CalcLegend(GraphRect legend, int textHeight = 0);
GraphPoint LegendTitlePos(GraphRect legend, int textWidth, int textHeight);

// The bar under x in a trimmed plot; a click on the line between two slots belongs to
// the right-hand one. -1 outside the plot or without bars.
int HitBar(GraphRect trimmedPlot, uint32_t barCount, int x);

}  // namespace stepora
