#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include "ui/UiTestApp.h"

namespace stepora {
namespace {

struct PictureCase {
    const char* file;
    int frameWidth;  // the control it is drawn into, in dialog units
    int frameHeight;
    friend void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.file; }
};

// The logos are BMP files on pure white (drawn transparent), shaped like their frames so
// scaling does not distort them.
class PictureFiles : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFiles, AreBitmapsOnWhiteShapedLikeTheirFrame) {
    test::UiTestApp();
    const QString path = QString(STEPORA_DATA_DIR) + "/Ptn/" + GetParam().file;
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "bmp");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();

    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(0, 0), white);
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), white);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) drawn += image.pixel(x, y) != white;
    EXPECT_GT(drawn, image.width() * image.height() / 10);

    const double ratio = double(image.width()) / image.height();
    const double frame = double(GetParam().frameWidth) / GetParam().frameHeight;
    EXPECT_NEAR(ratio, frame, frame * 0.05);
}

INSTANTIATE_TEST_SUITE_P(Ptn, PictureFiles,
                         ::testing::Values(PictureCase{"CompanyLogo.ptn", 96, 64},
                                           PictureCase{"SearchLogo.ptn", 128, 40}),
                         [](const auto& info) {
                             const std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

}  // namespace
}  // namespace stepora
