#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>

#include "support/ScratchWorkDir.h"
#include "support/TempDir.h"
#include "ui/UiTestApp.h"
#include "widgets/FilterEdits.h"
#include "widgets/GridListCtrl.h"
#include "widgets/MatchUserListCtrl.h"
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

TEST(GridListCtrl, ColumnsShareTheClientWidthAndRowsKeepTheirHeight) {
    test::UiTestApp();
    // Client width 410: c = 400; five columns q = 80, r = 0; three q = 133, r = 1.
    // clang-format off
    struct { int columns; std::vector<int> widths; } const cases[] = {
        {5, {90, 80, 80, 80, 90}}, {3, {144, 133, 144}}, {1, {420}}};
    // clang-format on
    for (const auto& c : cases) {
        CGridListCtrl grid;
        grid.resize(410 + 2 * grid.frameWidth(), 400);
        grid.SetRowHeight(42);
        std::vector<std::vector<std::string>> table(6, std::vector<std::string>(5, "x"));
        table[5] = {"NO.6"};  // a short row leaves its other cells empty
        grid.ShowTable(table, c.columns);
        ASSERT_EQ(grid.columnCount(), c.columns);
        for (int j = 0; j < c.columns; ++j) EXPECT_EQ(grid.columnWidth(j), c.widths[j]) << j;
        ASSERT_EQ(grid.rowCount(), 6);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(grid.rowHeight(i), 42);
        EXPECT_EQ(grid.item(5, 0)->text(), "NO.6");
        EXPECT_EQ(grid.item(0, c.columns - 1)->text(), "x");
        EXPECT_EQ(grid.item(5, c.columns - 1)->text(), c.columns > 1 ? "" : "NO.6");
    }
}

TEST(MatchUserList, ShowsThePassingUsersLastFirst) {
    test::UiTestApp();
    test::ScratchWorkDir work;
    // clang-format off
    struct { const char* name; uint32_t unit, weight, stride; } const users[] = {
        {"Ann", 0, 60, 70}, {"Ben", 0, 60, 80}, {"Cid", 0, 70, 70}, {"Dot", 1, 60, 2750}, {"Eve", 0, 0, 0}};
    // clang-format on
    for (const auto& u : users) {
        UserFileHeader header;
        ASSERT_TRUE(work.store.Create(u.name, "") && work.store.ReadHeader(u.name, header));
        header.unitSystem = u.unit, header.weight = u.weight, header.stride = u.stride;
        ASSERT_TRUE(work.store.WriteHeader(u.name, header));
    }
    std::vector<std::string> enumerated;
    work.store.EnumUsers(
        [&](const std::string& name, const UserFileHeader&) { enumerated.push_back(name); });

    // Users sharing the profile (metric, 60, 70) in each filter mode.
    // clang-format off
    struct { int mode; std::vector<std::string> passing; } const cases[] = {
        {0, {"Ann"}}, {1, {"Ann", "Ben", "Cid", "Eve"}}, {2, {"Ann", "Ben"}}, {3, {"Ann", "Cid"}},
        {5, {}}, {-1, {}}, {4, {"Ann", "Ben", "Cid", "Dot", "Eve"}}};  // 4 last: its rows are read below
    // clang-format on
    CMatchUserListCtrl list;
    list.resize(405 + 2 * list.frameWidth(), 300);
    for (const auto& c : cases) {
        list.SetFilter(c.mode, 0, 60, 70);
        list.Reload(work.store);
        std::vector<std::string> expected;
        for (auto it = enumerated.rbegin(); it != enumerated.rend(); ++it)
            if (std::count(c.passing.begin(), c.passing.end(), *it)) expected.push_back(*it);
        std::vector<std::string> shown;
        for (int row = 0; row < list.RowCount(); ++row)
            shown.push_back(list.item(row, 0)->text().toStdString());
        EXPECT_EQ(shown, expected) << "mode " << c.mode;
    }

    auto row = [&](const std::string& name) {
        std::vector<std::string> cells;
        for (int r = 0; r < list.RowCount(); ++r)
            if (list.item(r, 0)->text().toStdString() == name)
                for (int col = 1; col < 4; ++col)
                    cells.push_back(list.item(r, col)->text().toStdString());
        return cells;
    };
    const std::string metric = GetLangString(USERMATCH_DLG_STR52);
    const std::string imperial = GetLangString(USERMATCH_DLG_STR53);
    ASSERT_NE(metric, imperial);
    EXPECT_EQ(row("Dot"), std::vector<std::string>({imperial, "60", "27.50"}));
    EXPECT_EQ(row("Eve"), std::vector<std::string>({metric, "----", "----"}));
    EXPECT_EQ(row("Cid"), std::vector<std::string>({metric, "70", "70"}));
    for (int col = 0; col < 4; ++col) EXPECT_EQ(list.columnWidth(col), col ? 100 : 105);

    EXPECT_EQ(list.SelectedName(), "");
    list.selectRow(1);
    EXPECT_EQ(list.SelectedName(), list.item(1, 0)->text().toStdString());

    // Dragging a divider leaves the widths as the list set them.
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QWidget* header = list.horizontalHeader()->viewport();
    const int divider = list.horizontalHeader()->sectionViewportPosition(1);
    QTest::mousePress(header, Qt::LeftButton, {}, {divider, 5});
    QTest::mouseMove(header, {divider + 40, 5});
    QTest::mouseRelease(header, Qt::LeftButton, {}, {divider + 40, 5});
    EXPECT_EQ(list.columnWidth(0), 105);
}

template <class Edit>
std::unique_ptr<QLineEdit> Make() {
    return std::make_unique<Edit>();
}

TEST(FilterEdits, KeepOnlyWhatTheFieldMayHold) {
    test::UiTestApp();
    // clang-format off
    struct { std::unique_ptr<QLineEdit> (*make)(); QString typed; QStringList pasted; QString expected; } const cases[] = {
        {Make<CDecimalEdit>, "12.5", {}, "12.5"},
        {Make<CDecimalEdit>, "1a2,-5", {}, "125"},
        {Make<CIntegerEdit>, "-3", {}, "3"},
        {Make<CIntegerEdit>, "3.5\b", {}, "3"},  // Backspace still edits
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
}

TEST(NoTypeComboBox, TypedLettersChangeNothingArrowsChoose) {
    test::UiTestApp();
    CNoTypeComboBox box;
    box.addItems({"2006", "2007", "2008", "April"});
    QTest::keyClicks(&box, "2a");
    EXPECT_EQ(box.currentIndex(), 0);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), 1);
}

}  // namespace
}  // namespace stepora
