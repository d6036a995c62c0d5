// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PictureFile.h"

#include <unistd.h>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include "app/SafeFile.h"

namespace stepora {

namespace {

// Pictures are logos a few hundred pixels wide; a header claiming more than this is a
// damaged or hostile file and is not decoded at all.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

QImage ReadPicture(const std::filesystem::path& file, const QSize& target) {
    // A FIFO or device in place of a picture is refused, never waited for.
    const int fd = OpenRegularFile(file);
    QFile device;
    if (fd < 0 || !device.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) ::close(fd);
        return {};
    }
    QImageReader reader(&device);  // the format comes from the content, not the name
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return {};
    const bool scalesWhileReading = reader.supportsOption(QImageIOHandler::ScaledSize);
    if (qint64(size.width()) * size.height() > kMaxPixels && !scalesWhileReading) return {};
    if (scalesWhileReading) reader.setScaledSize(target);
    return reader.read();
}

}  // namespace

bool DrawPictureFile(QLabel* control, const std::filesystem::path& file) {
    if (!control) return false;
    control->setPixmap(QPixmap());
    const qreal ratio = control->devicePixelRatioF();
    const QSize target = control->contentsRect().size() * ratio;
    if (target.isEmpty()) return false;

    QImage image = ReadPicture(file, target);
    if (image.isNull()) return false;
    // White becomes transparent before scaling, so smoothing blends the edges of the
    // picture into the background instead of into a white fringe.
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == qRgb(255, 255, 255)) line[x] = qRgba(0, 0, 0, 0);
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    control->setPixmap(pixmap);
    // The pictures are drawn for a light ground: in a dark theme they get a white one.
    if (qGray(control->palette().color(QPalette::Window).rgb()) < 128) {
        QPalette light = control->palette();
        light.setColor(QPalette::Window, Qt::white);
        control->setPalette(light);
        control->setAutoFillBackground(true);
    }
    return true;
}

}  // namespace stepora
