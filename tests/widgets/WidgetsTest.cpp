#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "support/TempDir.h"
#include "ui/UiTestApp.h"
#include "widgets/PictureFile.h"
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

// A 20 × 20 picture on white, its bottom-right quarter blue.
void WritePicture(const std::filesystem::path& path) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    image.save(QString::fromStdString(path.string()), "BMP");
}

// A BMP header claiming width × height 24-bit pixels, with no pixels behind it.
std::string ForgedBmpHeader(int32_t width, int32_t height) {
    std::string bytes = "BM";
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += char((value >> (8 * i)) & 0xFF);
    };
    put(54, 4), put(0, 4), put(54, 4);                              // file header
    put(40, 4), put(uint32_t(width), 4), put(uint32_t(height), 4);  // info header
    put(1, 2), put(24, 2);
    bytes.append(24, '\0');
    return bytes;
}

class PictureFile : public ::testing::Test {
protected:
    void SetUp() override {
        test::UiTestApp();
        WritePicture(picture_);
    }
    test::TempDir dir_;
    const std::filesystem::path picture_ = dir_ / "Logo.ptn";
};

TEST_F(PictureFile, WhiteShowsTheBackgroundAndThePictureFillsTheControl) {
    const QColor background(200, 0, 200);
    for (const QSize size : {QSize(60, 40), QSize(30, 90)}) {
        QWidget parent;
        parent.resize(120, 120);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, background);
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        QLabel label(&parent);
        label.setGeometry(10, 10, size.width(), size.height());
        ASSERT_TRUE(DrawPictureFile(&label, picture_));
        const QImage shot = parent.grab().toImage();
        EXPECT_EQ(shot.pixelColor(11, 11), background) << size.width();
        EXPECT_EQ(shot.pixelColor(9 + size.width(), 9 + size.height()), QColor(0, 0, 255))
            << "picture ends before the control's bottom-right corner, " << size.width();
    }
}

TEST_F(PictureFile, UnreadableFilesDrawNothing) {
    ASSERT_TRUE(test::WriteFile(dir_ / "empty.ptn", ""));
    ASSERT_TRUE(test::WriteFile(dir_ / "garbage.ptn", std::string(300, '\x5a')));
    ASSERT_TRUE(test::WriteFile(dir_ / "huge.ptn", ForgedBmpHeader(10000, 10000)));
    ASSERT_TRUE(test::WriteFile(dir_ / "wide.ptn", ForgedBmpHeader(0x7FFFFFFF, 2)));
    for (const char* name : {"missing.ptn", "empty.ptn", "garbage.ptn", "huge.ptn", "wide.ptn"}) {
        QLabel label;
        label.resize(60, 40);
        ASSERT_TRUE(DrawPictureFile(&label, picture_));
        EXPECT_FALSE(DrawPictureFile(&label, dir_ / name)) << name;
        EXPECT_TRUE(label.pixmap().isNull()) << name;
    }
}

}  // namespace
}  // namespace stepora
