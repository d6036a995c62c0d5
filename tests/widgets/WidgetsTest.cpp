// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "support/TempDir.h"
#include "ui/UiTestApp.h"
#include "widgets/FilterEdits.h"
#include "widgets/GridListCtrl.h"
#include "widgets/NoTypeComboBox.h"
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
        {Shape::Capsule, {80, 40}, true, {{1, 20}, {20, 0}, {78, 20}}, {{0, 0}, {3, 3}, {76, 36}}},
        {Shape::Ellipse, {60, 30}, true, {{30, 15}, {2, 15}}, {{0, 0}, {59, 29}}},
        {Shape::RoundRect, {60, 40}, true, {{30, 0}, {0, 20}}, {{0, 0}, {2, 2}}},
        // Tip (0,20), barbs at x = 20, shaft from y = 10 to y = 32.
        {Shape::LeftArrow, {80, 40}, true, {{3, 20}, {19, 2}, {70, 11}, {70, 31}}, {{3, 5}, {70, 8}, {70, 34}}},
        {Shape::RightArrow, {80, 40}, true, {{76, 20}, {10, 11}}, {{76, 5}, {10, 34}}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.shape));
        CShapeButton button;
        button.resize(c.size);
        EXPECT_EQ(button.SetShape(c.shape), c.applied);
        EXPECT_EQ(button.CurrentShape(), c.applied ? c.shape : Shape::Rectangle);
        for (QPoint p : c.inside) EXPECT_TRUE(button.Region().contains(p)) << p.x() << "," << p.y();
        for (QPoint p : c.outside) EXPECT_FALSE(button.Region().contains(p)) << p.x();
    }
}

// An elliptic button shown in a window answers the mouse inside its outline only.
TEST(ShapeButton, HoverAndClicksFollowTheOutline) {
    test::UiTestApp();
    QWidget window;
    window.resize(200, 100);
    auto* button = new CShapeButton(&window);
    button->setGeometry(20, 20, 80, 40);
    ASSERT_TRUE(button->SetEllipse());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::mouseMove(window.windowHandle(), {60, 40});
    EXPECT_TRUE(button->IsHovering());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, {22, 22});  // outside the ellipse
    EXPECT_FALSE(button->IsHovering());
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, {60, 40});
    EXPECT_EQ(clicked.count(), 2);

    // The faces have fixed colours, so a dark theme's light text colour must not reach
    // the caption: dark on a light face, light on a dark one.
    QPalette dark(QColor(40, 40, 40));
    dark.setColor(QPalette::ButtonText, Qt::white);
    button->setPalette(dark);
    button->setText("WWWW");
    for (const auto& [face, darkCaption] : {std::pair{QColor(206, 206, 206), true}, {QColor(128, 0, 255), false}}) {
        button->SetColours(face, face, face, face);
        const QImage shot = button->grab().toImage().copy(20, 12, 40, 16);  // the caption
        int contrasting = 0;
        for (int i = 0, g; i < 40 * 16; ++i) g = qGray(shot.pixel(i % 40, i / 40)), contrasting += darkCaption ? g < 60 : g > 200;
        EXPECT_GT(contrasting, 5) << face.name().toStdString();
    }

    // The focus shows inside the outline, in every shape.
    for (Shape shape :
         {Shape::Rectangle, Shape::Ellipse, Shape::RoundRect, Shape::Capsule, Shape::LeftArrow, Shape::RightArrow}) {
        button->SetShape(shape), button->clearFocus();
        const QImage plain = button->grab().toImage();
        button->setFocus();
        const QImage focused = button->grab().toImage();
        int inside = 0, outside = 0;
        for (int i = 0; i < plain.width() * plain.height(); ++i)
            if (const QPoint p(i % plain.width(), i / plain.width()); plain.pixel(p) != focused.pixel(p))
                ++(button->Region().contains(p) ? inside : outside);
        EXPECT_TRUE(inside > 30 && outside == 0) << int(shape) << " " << inside << " " << outside;
    }
    // A checkable one is checked by its window, not by a click; assistive technology hears it.
    button->setCheckable(true), button->setChecked(true), button->click();
    EXPECT_TRUE(button->isChecked() && QAccessible::queryAccessibleInterface(button)->state().checked);
}

// A BMP header claiming width × height 24-bit pixels, with no pixels behind it.
std::string ForgedBmpHeader(int32_t width, int32_t height) {
    std::string bytes = "BM";
    for (uint32_t value : {54u, 0u, 54u, 40u, uint32_t(width), uint32_t(height), 0x180001u})
        for (int i = 0; i < 4; ++i) bytes += char((value >> (8 * i)) & 0xFF);
    return bytes.append(24, '\0');
}

TEST(PictureFile, WhiteShowsTheBackgroundThePictureFillsTheControlBadFilesDrawNothing) {
    test::UiTestApp();
    test::TempDir dir;
    QImage image(20, 20, QImage::Format_RGB32);  // white, its bottom-right quarter blue
    image.fill(Qt::white);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    ASSERT_TRUE(image.save(QString::fromStdString((dir / "Logo.ptn").string()), "BMP"));

    // Stretched to a 30 × 90 control: white shows a light background (a dark one, as a
    // dark theme has, becomes white: the pictures are drawn for a light ground), blue
    // reaches the corner.
    for (const auto& [background, shown] :
         {std::pair{QColor(250, 220, 250), QColor(250, 220, 250)}, std::pair{QColor(40, 40, 60), QColor(Qt::white)}}) {
        QWidget parent;
        parent.resize(120, 120);
        parent.setPalette(QPalette(background));
        parent.setAutoFillBackground(true);
        QLabel logo(&parent);
        logo.setGeometry(10, 10, 30, 90);
        ASSERT_TRUE(DrawPictureFile(&logo, dir / "Logo.ptn"));
        const QImage shot = parent.grab().toImage();
        EXPECT_EQ(shot.pixelColor(11, 11), shown) << background.name().toStdString();
        EXPECT_EQ(shot.pixelColor(39, 99), QColor(0, 0, 255));
    }

    ASSERT_TRUE(test::WriteFile(dir / "garbage.ptn", std::string(300, '\x5a')));
    ASSERT_TRUE(test::WriteFile(dir / "huge.ptn", ForgedBmpHeader(10000, 10000)));
    ASSERT_TRUE(test::WriteFile(dir / "wide.ptn", ForgedBmpHeader(0x7FFFFFFF, 2)));
    QLabel label;
    label.resize(60, 40);
    ASSERT_EQ(mkfifo((dir / "fifo.ptn").c_str(), 0600), 0);  // refused, never waited for
    for (const char* name : {"missing.ptn", "garbage.ptn", "huge.ptn", "wide.ptn", "fifo.ptn"}) {
        ASSERT_TRUE(DrawPictureFile(&label, dir / "Logo.ptn"));
        EXPECT_FALSE(DrawPictureFile(&label, dir / name)) << name;
        EXPECT_TRUE(label.pixmap().isNull()) << name;
    }
}

TEST(GridListCtrl, ColumnsShareTheClientWidthAndRowsKeepTheirHeight) {
    test::UiTestApp();
    // Client width 410: c = 400; five columns q = 80, r = 0; three q = 133, r = 1.
    const std::vector<int> cases[] = {{90, 80, 80, 80, 90}, {144, 133, 144}, {420}};
    for (const auto& widths : cases) {
        const int columns = int(widths.size());
        CGridListCtrl grid;
        grid.resize(410 + 2 * grid.frameWidth(), 400);
        grid.SetRowHeight(42);
        std::vector<std::vector<std::string>> table(6, std::vector<std::string>(5, "x"));
        table[5] = {"NO.6"};  // a short row leaves its other cells empty
        grid.ShowTable(table, columns);
        ASSERT_EQ(grid.columnCount(), columns);
        for (int j = 0; j < columns; ++j) EXPECT_EQ(grid.columnWidth(j), widths[j]) << j;
        ASSERT_EQ(grid.rowCount(), 6);
        EXPECT_EQ(grid.rowHeight(5), 42);
        EXPECT_EQ(grid.item(5, columns - 1)->text(), columns > 1 ? "" : "NO.6");
    }
}

template <class Edit>
std::unique_ptr<QLineEdit> Make() {
    return std::make_unique<Edit>();
}

TEST(FilterEdits, KeepOnlyWhatTheFieldMayHold) {
    test::UiTestApp();
    // clang-format off
    struct { std::unique_ptr<QLineEdit> (*make)(); QString typed; QStringList pasted; QString expected; } const cases[] = {
        {Make<CDecimalEdit>, "1a2,-.5", {}, "12.5"},
        {Make<CIntegerEdit>, "-3.5\b", {}, "3"},  // Backspace still edits
        {Make<CUserNameEdit>, "a/b?c\\d:e*f\"g<h>i|j", {}, "abcdefghij"},
        {Make<CUserNameEdit>, "abcdefghijklmnopq", {}, "abcdefghijklmnop"},
        {Make<CPasswordEdit>, "abcdefghijklm", {}, "abcdefghijkl"},
        // Four-byte characters: a fourth would make 16 bytes, three and "abc" make 15.
        {Make<CPasswordEdit>, "", {"\U0001F600\U0001F600\U0001F600", "\U0001F600", "abc", "d"},
         "\U0001F600\U0001F600\U0001F600abc"},
        {Make<CPasswordEdit>, "", {"0123456789abc"}, ""}};  // a long paste is refused, not cut
    // clang-format on
    for (const auto& c : cases) {
        auto edit = c.make();
        QTest::keyClicks(edit.get(), c.typed);
        for (const QString& piece : c.pasted) edit->insert(piece);
        EXPECT_EQ(edit->text(), c.expected) << c.typed.toStdString();
    }

    CNoTypeComboBox box;  // typed letters choose nothing, arrows do
    box.addItems({"2006", "2007", "2008", "April"});
    QTest::keyClicks(&box, "2a");
    EXPECT_EQ(box.currentIndex(), 0);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), 1);
}

}  // namespace
}  // namespace stepora
