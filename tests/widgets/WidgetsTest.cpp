#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/UiTestApp.h"
#include "widgets/ShapeButton.h"

namespace stepora {
namespace {

using Shape = CShapeButton::Shape;

TEST(ShapeButton, OutlinesFollowTheIntegerShapes) {
    test::UiTestApp();
    // clang-format off
    struct { Shape shape; QSize size; bool applied; std::vector<QPoint> inside, outside; } const cases[] = {
        // A square is no capsule: the button stays a rectangle, corners included.
        {Shape::Capsule, {40, 40}, false, {{0, 0}, {39, 39}}, {}},
        // Half-discs of diameter 40 at both ends of an 80 × 40 capsule.
        {Shape::Capsule, {80, 40}, true, {{1, 20}, {20, 0}, {60, 39}, {78, 20}}, {{0, 0}, {3, 3}, {76, 36}}},
        {Shape::Capsule, {40, 80}, true, {{20, 1}, {0, 40}}, {{0, 0}, {39, 79}}},
        {Shape::Ellipse, {60, 30}, true, {{30, 15}, {2, 15}}, {{0, 0}, {59, 29}}},
        {Shape::RoundRect, {60, 40}, true, {{30, 0}, {0, 20}}, {{0, 0}, {2, 2}}},
        // Tip (0,20), barbs at x = 20, shaft from y = 10 to y = 32.
        {Shape::LeftArrow, {80, 40}, true, {{3, 20}, {19, 2}, {19, 37}, {70, 11}, {70, 31}},
         {{3, 5}, {70, 8}, {70, 34}, {25, 36}}},
        {Shape::RightArrow, {80, 40}, true, {{76, 20}, {10, 11}}, {{76, 5}, {10, 34}}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.shape));
        CShapeButton button;
        button.resize(c.size);
        EXPECT_EQ(button.SetShape(c.shape), c.applied);
        EXPECT_EQ(button.CurrentShape(), c.applied ? c.shape : Shape::Rectangle);
        for (QPoint p : c.inside) EXPECT_TRUE(button.Region().contains(p)) << p.x() << "," << p.y();
        for (QPoint p : c.outside)
            EXPECT_FALSE(button.Region().contains(p)) << p.x() << "," << p.y();
    }
}

class ShownButton : public ::testing::Test {
protected:
    void SetUp() override {
        window_.resize(200, 100);
        button_ = new CShapeButton(&window_);
        button_->setGeometry(20, 20, 80, 40);
        ASSERT_TRUE(button_->SetEllipse());
        button_->SetColours(Qt::red, Qt::darkRed, Qt::green, Qt::gray);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    void MoveTo(QPoint inWindow) { QTest::mouseMove(window_.windowHandle(), inWindow); }
    QColor Face() const { return button_->grab().toImage().pixelColor(40, 20); }

    QApplication& app_ = test::UiTestApp();  // before any widget
    QWidget window_;
    CShapeButton* button_ = nullptr;
};

TEST_F(ShownButton, HoverFollowsTheOutlineAndNeverKeepsTheMouse) {
    EXPECT_EQ(Face(), QColor(Qt::red));
    MoveTo({60, 40});
    EXPECT_TRUE(button_->IsHovering());
    EXPECT_EQ(Face(), QColor(Qt::green));
    MoveTo({22, 22});  // inside the rectangle, outside the ellipse
    EXPECT_FALSE(button_->IsHovering());
    MoveTo({60, 40});
    MoveTo({150, 80});
    EXPECT_FALSE(button_->IsHovering());
    EXPECT_EQ(Face(), QColor(Qt::red));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(ShownButton, ClicksCountInsideTheOutlineOnlyAndDoubleClicksTwice) {
    QSignalSpy clicked(button_, &QAbstractButton::clicked);
    QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, {22, 22});
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, {}, {60, 40});
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(ShownButton, BlackLeavesAColourAloneAndThePressedFaceShowsItsOwn) {
    button_->SetColours(QColor(0, 0, 0), Qt::blue, QColor(0, 0, 0), QColor(0, 0, 0));
    const QColor expected[] = {Qt::red, Qt::blue, Qt::green, Qt::gray};
    for (int state = CShapeButton::Normal; state <= CShapeButton::Disabled; ++state)
        EXPECT_EQ(button_->StateColour(CShapeButton::State(state)), expected[state]) << state;
    button_->setDown(true);
    EXPECT_EQ(Face(), QColor(Qt::blue));
}

}  // namespace
}  // namespace stepora
