// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's parts: the drawing control (its geometry by table, pictures checked at
// points the geometry names, the detail dialog a click opens),
// the printed page with its PDF export, and the options sheet with its goals check.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QTest>
#include <tuple>

#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "graph/DrawGraph.h"
#include "graph/GraphExpDlg.h"
#include "graph/PreviewFrame.h"
#include "graph/PrintGraph.h"
#include "graph/PrintLayout.h"
#include "graph/UserGraphPropSheet.h"
#include "store/DayCalendar.h"
#include "support/ScopedOverride.h"
#include "support/ScratchWorkDir.h"
#include "ui/UiTestApp.h"
#include "widgets/ShapeButton.h"

namespace stepora {
namespace {

constexpr GraphRect kUpperPlot{236, 10, 887, 120};
constexpr GraphRect kLowerPlot{236, 157, 887, 267};

// Slots are whole pixels: the plot is trimmed to them, a click on a boundary belongs to
// the right-hand slot.
TEST(GraphLayoutTest, WholeSlotsAndTheBarUnderAClick) {
    for (auto [count, right] : {std::pair<uint32_t, int>{1, 110}, {31, 103}, {7, 108}, {0, 110}})
        EXPECT_EQ(TrimPlot({10, 0, 110, 50}, count).right, right) << count;
    EXPECT_EQ(TrimPlot({10, 0, 40, 50}, 31).right, 10);  // narrower than 31 pixels
    const std::tuple<uint32_t, int, int> kRows[] = {{7, 235, -1}, {7, 236, 0},  {7, 328, 0},  {7, 329, 1},
                                                    {7, 886, 6},  {7, 887, -1}, {0, 300, -1}, {1, 886, 0}};
    for (auto [count, x, bar] : kRows) EXPECT_EQ(HitBar(TrimPlot(kUpperPlot, count), count, x), bar) << x;
}

TEST(GraphLayoutTest, PlotsBarsPointsLabelsAndTheGoal) {
    const GraphLayout layout = CalcGraphLayout({0, 0, 900, 300});
    EXPECT_EQ(std::tie(layout.upperPlot, layout.lowerPlot), std::tie(kUpperPlot, kLowerPlot));
    // Bar j of count, its value and goal; the bar and its green part (empty: none).
    const std::tuple<uint32_t, uint32_t, double, double, GraphRect, GraphRect> kRows[] = {
        {1, 0, 7500, 10000, {345, 212, 777, 267}, {}},
        {31, 30, 15000, 10000, {870, 157, 882, 267}, {870, 157, 882, 194}},
        {7, 3, 10000, 10000, {531, 194, 591, 267}, {}},               // at the goal
        {7, 0, 3000, 0, {252, 245, 312, 267}, {252, 245, 312, 267}},  // goal 0
    };
    for (const auto& [count, j, value, goal, rect, green] : kRows) {
        const BarGeometry bar = CalcBar(kLowerPlot, count, j, value, goal, 15000);
        EXPECT_EQ(bar.bar, rect) << value;
        EXPECT_EQ(bar.hasGreen ? bar.green : GraphRect{}, green) << value;
    }
    EXPECT_EQ(GoalLineY(kUpperPlot, 10000, 15000), 47);
    EXPECT_EQ(PointCentre(kUpperPlot, 7, 2, 7500, 15000), (GraphPoint{468, 65}));
    // Labels are centred in their slot, the half-difference truncated toward zero.
    EXPECT_EQ(CategoryLabelPos(kUpperPlot, {182, 3, 900, 150}, 7, 0, 100), (GraphPoint{233, 128}));
}

// However tall the lines of the legend's font (a Chinese one's are), no two rows touch and
// the boxes and their labels stay clear of the line samples and the unit text.
TEST(GraphLayoutTest, LegendRowsStandALineApart) {
    const GraphRect a{3, 3, 180, 297};
    for (int textH : {0, 27}) {
        const LegendGeometry legend = CalcLegend(a, textH);
        EXPECT_GE(legend.lines[1].labelCentreY - legend.lines[0].labelCentreY, std::max(textH, 18));
        EXPECT_EQ(legend.boxes[1].top, legend.boxes[0].bottom);
        EXPECT_GE(legend.boxes[0].height(), textH);
        EXPECT_LE(legend.lines[1].labelCentreY + textH / 2, legend.boxes[0].top);
        EXPECT_LE(legend.boxes[1].bottom, legend.footerTop.y - textH);
    }
}

class DrawGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        const double values[] = {8200, 12400, 9600, 10000, 6100, 13800, 11900};
        for (int k = 0; k <= 5; ++k) data_.axisLabels[k] = std::to_string(k * 3000);
        for (int j = 0; j < 7; ++j) {
            const std::string day = "5-" + std::to_string(4 + j);
            uint32_t number = 0, weekday;
            DayCalendar().DateToDay(2008, 5, 4 + j, number, weekday);
            data_.bars[j] = {day, values[j], number};
        }
        control_.resize(900, 300);
        control_.CalcLayout();
        control_.SetGraphData(&data_);
        control_.show();
    }

    QApplication& app_ = test::UiTestApp();  // before any widget
    test::ScratchWorkDir work_;
    // clang-format off
    GraphData data_{.barCount = 7, .valueTitle = "Steps of the week", .goalTitle = "Goal", .unitText = "Steps",
                    .goalValue = 10000, .axisMax = 15000, .axisLabels = {}, .bars = {}, .mode = DisplayMode::Weekly,
                    .kind = GraphKind::Steps, .imperial = false};
    // clang-format on
    CDrawGraph control_;
    const GraphRect upper_ = TrimPlot(kUpperPlot, 7), lower_ = TrimPlot(kLowerPlot, 7);
};

TEST_F(DrawGraphTest, PaintsWhatTheGeometryNames) {
    ASSERT_EQ(control_.Layout().upperPlot, kUpperPlot);
    const QImage image = control_.grab().toImage();
    const GraphPoint point = PointCentre(upper_, 7, 2, 9600, 15000);
    const BarGeometry high = CalcBar(lower_, 7, 1, 12400, 10000, 15000);
    const int middle = (high.bar.left + high.bar.right) / 2;
    const std::tuple<const char*, int, int, QColor> kPixels[] = {
        {"point centre", point.x, point.y, QColor(0, 0, 255)},
        {"bar below the goal", middle, GoalLineY(lower_, 10000, 15000) + 3, QColor(0, 0, 255)},
        {"bar above the goal", middle, high.bar.top + 2, QColor(0, 255, 0)},
        {"goal line", upper_.left + 3, GoalLineY(upper_, 10000, 15000), QColor(0, 255, 0)},
        {"plot", upper_.left + 50, upper_.top + 5, QColor(Qt::white)},
        {"background", 1, 1, QColor(192, 192, 192)},
    };
    for (const auto& [what, x, y, colour] : kPixels) EXPECT_EQ(image.pixelColor(x, y), colour) << what;
}

TEST_F(DrawGraphTest, AClickOpensTheBarUnderTheCursor) {
    std::vector<QStringList> opened;
    test::ScopedOverride<ModalHandler> modal(SetRunModalOverride, [&](QDialog& dialog) {
        auto& detail = dynamic_cast<CGraphExpDlg&>(dialog);
        opened.push_back({detail.windowTitle(), detail.Control<QLabel>(CGraphExpDlg::IDC_TITLE_LINE)->text(),
                          detail.Control<QLabel>(CGraphExpDlg::IDC_EXPLANATION)->text()});
        return int(QDialog::Accepted);
    });
    const int y = (lower_.top + lower_.bottom) / 2;
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(SlotX(lower_, 7, 3), y));
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(lower_.left - 5, y));  // outside
    ASSERT_EQ(opened.size(), 1u);
    auto T = [](LangKey key) { return QString::fromStdString(GetLangString(key)); };
    EXPECT_EQ(opened[0], (QStringList{T(USEGRAPH_STR73), "2008-5-7  " + T(USEGRAPH_STR74),
                                      T(USEGRAPH_STR75) + "   =   10000 " + T(USEGRAPH_STR76)}));

    data_.barCount = 0;  // without bars a click does nothing
    control_.Refresh();
    QTest::mouseClick(&control_, Qt::LeftButton, {}, QPoint(SlotX(lower_, 7, 3), y));
    EXPECT_EQ(opened.size(), 1u);
}

TEST(PlacePrintPictureTest, CentresWholeMultiplesAndFitsWhatTheyCannotPlace) {
    const struct {
        const char* name;
        int pictureW, pictureH, screenDpi, pageDpi, drawW, drawH;
        PrintPlacement want;
    } cases[] = {
        {"96 dpi on 300: three times", 909, 513, 96, 300, 3200, 2450, {236, 455, 2727, 1539}},
        {"too wide six times: fits", 1200, 500, 96, 600, 6400, 4900, {0, 1117, 6400, 2666}},
        {"72 dpi preview: factor 0", 909, 513, 96, 72, 720, 540, {0, 67, 720, 406}},
        {"no screen resolution", 100, 50, 0, 600, 1000, 800, {0, 150, 1000, 500}},
    };
    for (const auto& c : cases) {
        const PrintPlacement at =
            PlacePrintPicture(c.pictureW, c.pictureH, c.screenDpi, c.screenDpi, c.pageDpi, c.pageDpi, c.drawW, c.drawH);
        EXPECT_EQ(std::tie(at.x, at.y, at.width, at.height), std::tie(c.want.x, c.want.y, c.want.width, c.want.height)) << c.name;
    }
}

TEST(PrintGraphPageTest, PreviewsAndExportsTheCapturedFrameAsOnePdfPage) {
    test::UiTestApp();
    test::ScratchWorkDir work;
    QWidget owner;
    owner.resize(320, 220);
    // As in the graph window, what the frame surrounds are its siblings, laid over it.
    auto* frameControl = new QWidget(&owner);
    frameControl->setGeometry(10, 10, 200, 120);
    auto* inside = new QWidget(&owner);
    inside->setGeometry(10, 10, 200, 120);
    inside->setStyleSheet("background: #c81e1e");
    inside->setAttribute(Qt::WA_StyledBackground);
    // A caption, a shaped button and a graph, all of which must reach the page as drawing.
    (new QLabel("Steps", &owner))->setGeometry(20, 20, 80, 20);
    auto* button = new CShapeButton(&owner);
    button->SetCaption("Next");
    button->SetColours(QColor(0, 0, 255), {}, {}, {});
    button->setGeometry(130, 100, 60, 20);
    GraphData data;
    data.barCount = 1, data.axisMax = 5, data.bars[0] = {"1", 3};
    auto* graph = new CDrawGraph(&owner);
    graph->setGeometry(20, 95, 100, 30);
    graph->CalcLayout();
    graph->SetGraphData(&data);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    PrintPicture picture;
    QPointer<CPreviewFrame> frame = PrintGraphPage(frameControl, &owner, picture);
    ASSERT_TRUE(frame);
    // The page is drawn, centred: the middle of the preview shows the captured colour.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    QCoreApplication::processEvents();
    const QImage shown = frame->Preview()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.rect().center()).name().toStdString(), "#c81e1e");
    // On a 300 dpi page (over the screen's 96) each window pixel takes three page pixels.
    QImage page(1000, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(11811), page.setDotsPerMeterY(11811);
    QPainter painter(&page);
    DrawPrintPicture(painter, page.rect(), &owner, picture);
    painter.end();
    const PrintPlacement at = PlacePrintPicture(200, 120, owner.logicalDpiX(), owner.logicalDpiY(), 300, 300, 1000, 600);
    ASSERT_EQ(at.width, 600);
    EXPECT_EQ(page.pixelColor(at.x + 3, at.y + 3).name().toStdString(), "#c81e1e");
    EXPECT_EQ(page.pixelColor(at.x + 124 * 3, at.y + 100 * 3).name().toStdString(), "#0000ff");  // the button
    EXPECT_EQ(page.pixelColor(at.x - 2, at.y + 3), QColor(Qt::white));
    // The caption keeps its size: it is inked within its label and not beyond.
    const auto inked = [&](int left, int right) {
        for (int y = 5; y < 35; ++y)
            for (int x = left; x < right; ++x)
                if (qGray(page.pixel(at.x + 3 * x, at.y + 3 * y)) < 40) return true;
        return false;
    };
    EXPECT_TRUE(inked(10, 60));
    EXPECT_FALSE(inked(95, 125));

    auto answer = work.dir / "page.pdf";
    test::ScopedOverride<FileChooserOverride> chooser(SetFileChooserOverride,
                                                      [&](const FileChooserRequest&) { return std::optional(answer); });
    std::vector<std::string> boxes;
    test::ScopedOverride<MessageBoxResponder> messages(
        SetMessageBoxOverride, [&](const MessageBoxRequest& box) { return boxes.push_back(box.text), int(kIdOk); });
    frame->Action(CPreviewFrame::Command::ExportPdf)->trigger();
    const std::string bytes = test::ReadFile(answer);
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    EXPECT_NE(bytes.find("/Count 1"), std::string::npos);  // one page
    // Drawn, not photographed: the label is text in a font, and no picture is embedded.
    EXPECT_NE(bytes.find("/FontFile"), std::string::npos);
    EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);

    // A file that cannot be written is reported, not passed over.
    answer = work.dir / "missing" / "page.pdf";
    frame->Action(CPreviewFrame::Command::ExportPdf)->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("page.pdf"), std::string::npos);
}

constexpr LangKey kAccepted = LANG_KEY_COUNT;

TEST(GoalCheckTest, RefusesOrStoresTheExactDigits) {
    const struct {
        const char *steps, *calories, *distance;
        LangKey message;  // kAccepted, then the stored integers follow
        uint32_t steps_ = 0, tenths = 0, hundredths = 0;
    } cases[] = {
        {"999999", "9999.9", "99.999", kAccepted, 999999, 99999, 9999},
        {" 7 ", "12.5", "4.35", kAccepted, 7, 125, 435},  // trunc(4.35 * 100) would be 434
        {"", ".5", "5.", kAccepted, 0, 5, 500},
        // clang-format off
        {"abc", "", "", USEGRAPH_OPTIOS_STR19}, {"1000000", "", "", USEGRAPH_OPTIOS_STR19},
        {"", "1.2.3", "100", USEGRAPH_OPTIOS_STR20},  // calories before distance
        {"", "12.34", "", USEGRAPH_OPTIOS_STR21}, {"", "10000", "", USEGRAPH_OPTIOS_STR22},
        {"", "-5", "", USEGRAPH_OPTIOS_STR22},
        {"", "1.2a", "", USEGRAPH_OPTIOS_STR22},  // a letter is no number, even past the decimals
        {"", "", "1..", USEGRAPH_OPTIOS_STR23}, {"", "", "1.2345", USEGRAPH_OPTIOS_STR24},
        {"", "", "100", USEGRAPH_OPTIOS_STR25}, {"", "", ".", USEGRAPH_OPTIOS_STR25},
        // clang-format on
    };
    for (const auto& c : cases) {
        const GoalCheck check = CheckGoals(c.steps, c.calories, c.distance);
        SCOPED_TRACE(std::string(c.steps) + "|" + c.calories + "|" + c.distance);
        EXPECT_EQ(check.ok ? kAccepted : check.message, c.message);
        if (check.ok) {
            EXPECT_EQ(std::tie(check.steps, check.caloriesTenths, check.distanceHundredths),
                      std::tie(c.steps_, c.tenths, c.hundredths));
        }
    }
}

}  // namespace
}  // namespace stepora
