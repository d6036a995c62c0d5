#include <gtest/gtest.h>

#include <QAction>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QTest>

#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "graph/PreviewFrame.h"
#include "graph/PrintGraph.h"
#include "graph/PrintLayout.h"
#include "support/ScopedOverride.h"
#include "support/ScratchWorkDir.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

struct PlaceCase {
    const char* name;
    int pictureW, pictureH, screenDpi, pageDpi, drawW, drawH;
    PrintPlacement want;
};

TEST(PlacePrintPictureTest, CentresWholeMultiplesAndFitsWhatTheyCannotPlace) {
    const PlaceCase cases[] = {
        {"96 dpi on 300: three times", 909, 513, 96, 300, 3200, 2450, {236, 455, 2727, 1539}},
        {"96 dpi on 600: six times", 909, 513, 96, 600, 6400, 4900, {473, 911, 5454, 3078}},
        {"too wide six times: fits", 1200, 500, 96, 600, 6400, 4900, {0, 1117, 6400, 2666}},
        {"72 dpi preview: factor 0", 909, 513, 96, 72, 720, 540, {0, 67, 720, 406}},
        {"wider than the page", 2000, 1000, 96, 96, 1000, 800, {0, 150, 1000, 500}},
        {"taller than the page", 500, 2000, 96, 96, 1000, 800, {400, 0, 200, 800}},
        {"no screen resolution", 100, 50, 0, 600, 1000, 800, {0, 150, 1000, 500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintPlacement at = PlacePrintPicture(c.pictureW, c.pictureH, c.screenDpi,
                                                    c.screenDpi, c.pageDpi, c.pageDpi, c.drawW,
                                                    c.drawH);
        EXPECT_EQ(at.x, c.want.x);
        EXPECT_EQ(at.y, c.want.y);
        EXPECT_EQ(at.width, c.want.width);
        EXPECT_EQ(at.height, c.want.height);
        EXPECT_GT(at.width, 0);
        EXPECT_GT(at.height, 0);
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + at.width, c.drawW);
        EXPECT_LE(at.y + at.height, c.drawH);
    }
}

// Pages of a PDF file: "/Type /Page" objects, not the "/Type /Pages" tree.
int PdfPageCount(const std::string& bytes) {
    int pages = 0;
    for (auto at = bytes.find("/Type /Page"); at != std::string::npos;
         at = bytes.find("/Type /Page", at + 1)) {
        if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
    }
    return pages;
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
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    QPixmap picture;
    QPointer<CPreviewFrame> frame = PrintGraphPage(frameControl, &owner, picture);
    ASSERT_TRUE(frame);
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(200, 120));
    EXPECT_FALSE(frame->windowTitle().isEmpty());
    EXPECT_EQ(frame->Action(CPreviewFrame::Command::Print)->text(), "Print...");
    EXPECT_EQ(frame->Action(CPreviewFrame::Command::ZoomIn)->text(), "Zoom in");
    EXPECT_EQ(frame->Action(CPreviewFrame::Command::Close)->text(), "Close");

    // The page is drawn, centred: the middle of the preview shows the captured colour.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    QCoreApplication::processEvents();
    const QImage shown = frame->Preview()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.rect().center()).name().toStdString(), "#c81e1e");

    const auto pdfPath = work.dir / "page.pdf";
    auto answer = pdfPath;
    std::optional<FileChooserRequest> asked;
    test::ScopedOverride<FileChooserOverride> chooser(
        SetFileChooserOverride, [&](const FileChooserRequest& request) {
            asked = request;
            return std::optional(answer);
        });
    std::vector<std::string> boxes;
    test::ScopedOverride<MessageBoxResponder> messages(
        SetMessageBoxOverride, [&](const MessageBoxRequest& box) {
            boxes.push_back(box.text);
            return int(kIdOk);
        });
    frame->Action(CPreviewFrame::Command::ExportPdf)->trigger();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->kind, FileChooserRequest::SaveFile);
    EXPECT_EQ(asked->filter, "PDF (*.pdf)");
    const std::string bytes = test::ReadFile(pdfPath);
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PdfPageCount(bytes), 1);
    EXPECT_TRUE(boxes.empty());

    // A file that cannot be written is reported, not passed over.
    answer = work.dir / "missing" / "page.pdf";
    frame->Action(CPreviewFrame::Command::ExportPdf)->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("page.pdf"), std::string::npos);

    // Hiding its owner closes the preview, which frees itself.
    owner.hide();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame);
}

}  // namespace
}  // namespace stepora
