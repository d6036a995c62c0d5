// The graph drawing control: its geometry by table, a grabbed picture checked at points
// the geometry names, the detail dialog a click opens, and what a screen reader hears.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <memory>

#include "app/LangTable.h"
#include "app/MessageBox.h"
#include "graph/DrawGraph.h"
#include "graph/GraphExpDlg.h"
#include "graph/GraphLayout.h"
#include "support/ScopedOverride.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

constexpr GraphRect kClient{0, 0, 900, 300};
constexpr GraphRect kUpperPlot{236, 10, 887, 120};
constexpr GraphRect kLowerPlot{236, 157, 887, 267};

TEST(GraphLayoutTest, SplitsTheClientIntoLegendPanelsAndPlots) {
    const GraphLayout layout = CalcGraphLayout(kClient);
    EXPECT_EQ(layout.legend, (GraphRect{3, 3, 180, 297}));
    EXPECT_EQ(layout.upperPanel, (GraphRect{182, 3, 900, 150}));
    EXPECT_EQ(layout.lowerPanel, (GraphRect{182, 150, 900, 297}));
    EXPECT_EQ(layout.upperPlot, kUpperPlot);
    EXPECT_EQ(layout.lowerPlot, kLowerPlot);

    const LegendGeometry legend = CalcLegend(layout.legend);
    EXPECT_EQ(legend.titleTenths, 144);
    EXPECT_EQ(legend.textTenths, 144);
    EXPECT_EQ(legend.lines[0].dot1, (GraphRect{23, 92, 27, 96}));
    EXPECT_EQ(legend.lines[1].dot2, (GraphRect{67, 110, 71, 114}));
    EXPECT_EQ(legend.boxes[1], (GraphRect{32, 173, 61, 197}));
    EXPECT_EQ(legend.footerCorner, (GraphPoint{47, 276}));
    EXPECT_EQ(legend.footerEnd, (GraphPoint{91, 276}));
}

TEST(GraphLayoutTest, TrimsThePlotToWholeSlots) {
    static constexpr struct {
        GraphRect plot;
        uint32_t count;
        int right;
    } kRows[] = {
        {{10, 0, 110, 50}, 1, 110}, {{10, 0, 110, 50}, 31, 103}, {{10, 0, 110, 50}, 7, 108},
        {{10, 0, 40, 50}, 31, 10},  // narrower than 31 pixels: no slot left
        {{10, 0, 110, 50}, 0, 110},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(TrimPlot(row.plot, row.count).right, row.right) << row.count;
}

TEST(GraphLayoutTest, BarsPointsLabelsAndTheGoal) {
    static constexpr struct {
        uint32_t count, j;
        double value, goal;
        GraphRect bar;
        bool hasGreen;
        GraphRect green;
    } kRows[] = {
        {1, 0, 7500, 10000, {345, 212, 777, 267}, false, {}},
        {31, 30, 15000, 10000, {870, 157, 882, 267}, true, {870, 157, 882, 194}},
        {7, 3, 10000, 10000, {531, 194, 591, 267}, false, {}},                  // at the goal
        {7, 0, 3000, 0, {252, 245, 312, 267}, true, {252, 245, 312, 267}},      // goal 0
    };
    for (const auto& row : kRows) {
        const BarGeometry bar = CalcBar(kLowerPlot, row.count, row.j, row.value, row.goal, 15000);
        EXPECT_EQ(bar.bar, row.bar) << row.count << "/" << row.j;
        EXPECT_EQ(bar.hasGreen, row.hasGreen) << row.count << "/" << row.j;
        if (row.hasGreen) {
            EXPECT_EQ(bar.green, row.green) << row.count << "/" << row.j;
        }
    }
    EXPECT_EQ(GoalLineY(kUpperPlot, 10000, 15000), 47);
    EXPECT_EQ(GoalLineY(kLowerPlot, 0, 15000), kLowerPlot.bottom);
    EXPECT_EQ(PointCentre(kUpperPlot, 7, 2, 7500, 15000), (GraphPoint{468, 65}));
    // Labels are centred in their slot, the half-difference truncated toward zero.
    EXPECT_EQ(CategoryLabelPos(kUpperPlot, {182, 3, 900, 150}, 7, 0, 40), (GraphPoint{262, 128}));
    EXPECT_EQ(CategoryLabelPos(kUpperPlot, {182, 3, 900, 150}, 7, 0, 100), (GraphPoint{233, 128}));
    EXPECT_EQ(ValueLabelPos(kUpperPlot, 5, 30, 13), (GraphPoint{206, 4}));
}

TEST(GraphLayoutTest, HitBarTakesTheRightHandSlotOnABoundary) {
    static constexpr struct {
        uint32_t count;
        int x, bar;
    } kRows[] = {
        {7, 235, -1}, {7, 236, 0}, {7, 328, 0}, {7, 329, 1},  // 329 = left + one slot of 93
        {7, 886, 6},  {7, 887, -1}, {0, 300, -1}, {1, 886, 0},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(HitBar(TrimPlot(kUpperPlot, row.count), row.count, row.x), row.bar) << row.x;
}

class DrawGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        table_ = std::make_unique<LangTable>(STEPORA_DATA_DIR);
        InstallLangTable(table_.get());
        data_.barCount = 7;
        data_.valueTitle = "Steps of the week";
        data_.popupCaption = "Steps";
        data_.goalTitle = "Goal";
        data_.unitText = "Steps";
        data_.goalValue = 10000;
        data_.axisMax = 15000;
        const double values[] = {8200, 12400, 9600, 10000, 6100, 13800, 11900};
        for (int k = 0; k <= 5; ++k) data_.axisLabels[k] = std::to_string(k * 3000);
        for (int j = 0; j < 7; ++j) {
            const std::string day = "5-" + std::to_string(4 + j);
            data_.bars[j] = {day, "2008-" + day + "  Steps", "Steps = " + day, values[j]};
        }
        control_.resize(900, 300);
        control_.CalcLayout();
        control_.SetGraphData(&data_);
        control_.show();
    }
    void TearDown() override { InstallLangTable(nullptr); }

    QApplication& app_ = test::UiTestApp();  // before any widget
    std::unique_ptr<LangTable> table_;
    GraphData data_;
    CDrawGraph control_;
};

TEST_F(DrawGraphTest, PaintsWhatTheGeometryNames) {
    const QImage image = control_.grab().toImage();
    const GraphRect upper = TrimPlot(control_.Layout().upperPlot, 7);
    const GraphRect lower = TrimPlot(control_.Layout().lowerPlot, 7);
    const GraphPoint point = PointCentre(upper, 7, 2, 9600, 15000);
    const BarGeometry high = CalcBar(lower, 7, 1, 12400, 10000, 15000);
    const int middle = (high.bar.left + high.bar.right) / 2;
    const struct {
        const char* what;
        int x, y;
        QColor colour;
    } kPixels[] = {
        {"point centre", point.x, point.y, QColor(0, 0, 255)},
        {"bar below the goal", middle, GoalLineY(lower, 10000, 15000) + 3, QColor(0, 0, 255)},
        {"bar above the goal", middle, high.bar.top + 2, QColor(0, 255, 0)},
        {"goal line", upper.left + 3, GoalLineY(upper, 10000, 15000), QColor(0, 255, 0)},
        {"plot", upper.left + 50, upper.top + 5, QColor(Qt::white)},
        {"background", 1, 1, QColor(192, 192, 192)},
    };
    for (const auto& pixel : kPixels)
        EXPECT_EQ(image.pixelColor(pixel.x, pixel.y), pixel.colour) << pixel.what;

    data_.barCount = 0;
    control_.Refresh();
    const QImage empty = control_.grab().toImage();
    EXPECT_NE(empty.pixelColor(upper.left + 50, upper.top + 5), QColor(Qt::white));
}

TEST_F(DrawGraphTest, AClickOpensTheBarUnderTheCursor) {
    std::vector<std::array<QString, 3>> opened;
    test::ScopedOverride<ModalHandler> modal(SetRunModalOverride, [&](QDialog& dialog) {
        auto* detail = dynamic_cast<CGraphExpDlg*>(&dialog);
        EXPECT_NE(detail, nullptr);
        if (!detail) return 0;
        opened.push_back({detail->windowTitle(),
                          detail->Control<QLabel>(CGraphExpDlg::IDC_TITLE_LINE)->text(),
                          detail->Control<QLabel>(CGraphExpDlg::IDC_EXPLANATION)->text()});
        return int(QDialog::Accepted);
    });
    const GraphRect lower = TrimPlot(control_.Layout().lowerPlot, 7);
    const int y = (lower.top + lower.bottom) / 2;
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(SlotX(lower, 7, 3), y));
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(lower.left - 5, y));  // outside
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0][0], "Steps");
    EXPECT_EQ(opened[0][1], "2008-5-7  Steps");
    EXPECT_EQ(opened[0][2], "Steps = 5-7");

    // Without bars a click does nothing, yet the plots still show the hand.
    data_.barCount = 0;
    control_.Refresh();
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(SlotX(lower, 7, 3), y));
    EXPECT_EQ(opened.size(), 1u);
    const auto hover = [&](int x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), control_.mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&control_, &move);
        return control_.cursor().shape();
    };
    EXPECT_EQ(hover(lower.left + 1), Qt::PointingHandCursor);
    EXPECT_EQ(hover(lower.left - 1), Qt::ArrowCursor);
}

TEST_F(DrawGraphTest, ScreenReadersHearEachBarAndTheGoal) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control_);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Chart);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Steps of the week");
    const QString description = accessible->text(QAccessible::Description);
    EXPECT_TRUE(description.contains("5-6: 9600")) << description.toStdString();
    EXPECT_TRUE(description.contains("Goal: 10000")) << description.toStdString();

    // Changed in place, read again on Refresh; decimals trimmed to what they carry.
    data_.bars[0].value = 2.25;
    data_.goalValue = 3;
    control_.Refresh();
    EXPECT_TRUE(accessible->text(QAccessible::Description).startsWith("5-4: 2.25; 5-5: 12400"));
    EXPECT_TRUE(accessible->text(QAccessible::Description).endsWith("Goal: 3"));
}

}  // namespace
}  // namespace stepora
