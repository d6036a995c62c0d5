// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QWidget>

#include "graph/GraphLayout.h"
#include "graph/GraphTypes.h"

namespace stepora {

// Paints one period twice, as a line graph above and a bar graph below, beside a legend.
// It draws what the graph window put into its GraphData and nothing of its own but the
// four legend captions; a click on a plot explains the bar under the cursor.
class CDrawGraph : public QWidget {
    Q_OBJECT
public:
    explicit CDrawGraph(QWidget* parent = nullptr);

    // The window owns the data; the control only reads it. Null or no bars draws nothing.
    void SetGraphData(const GraphData* data);
    // Fixes the rectangles from the current size, once the window has placed the control.
    void CalcLayout();
    // After the window changed the data in place: new accessible texts and a repaint.
    void Refresh();

    const GraphLayout& Layout() const { return layout_; }
    const GraphData* Data() const { return data_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    uint32_t BarCount() const;  // at most kMaxBars, whatever the block says
    void Paint(QPainter& p, uint32_t count) const;
    void UpdateAccessibleTexts();

    const GraphData* data_ = nullptr;
    GraphLayout layout_;
};

// The period as a screen reader reads it: each bar's label and value, then the goal.
QString DescribeGraph(const GraphData& data);

}  // namespace stepora
