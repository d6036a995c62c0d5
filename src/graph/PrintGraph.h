// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QRect;
class QWidget;

namespace stepora {

class CPreviewFrame;

// A part of a window as the drawing commands that paint it, not as pixels: played on a
// printer, text and lines stay text and lines at the printer's resolution.
class PrintPicture {
public:
    // frameControl's rectangle of its window, with everything the window shows inside it
    // (its own controls, not what lies over it).
    static PrintPicture Record(QWidget* frameControl);

    bool IsNull() const { return !ops_; }
    QSize Size() const { return size_; }  // in window pixels
    int DpiX() const { return dpiX_; }    // the window's resolution when recorded
    int DpiY() const { return dpiY_; }
    // Paints the picture at the painter's transform, one unit a window pixel.
    void Play(QPainter& painter) const;

    struct Replay;
    using Op = std::function<void(QPainter&, const Replay&)>;

private:
    std::shared_ptr<const std::vector<Op>> ops_;
    QSize size_;
    int dpiX_ = 96, dpiY_ = 96;
};

// The print command of the graph window: records frameControl's part of the window into
// printPicture, replacing the previous picture, and opens a print preview of it owned by
// `owner`. Each preview keeps the picture it was opened with, so what it prints is what it
// shows even after a later print command.
CPreviewFrame* PrintGraphPage(QWidget* frameControl, QWidget* owner, PrintPicture& printPicture);

// Draws the picture centred in drawRect, at a whole multiple of its screen size when that
// fits (the screen resolution is the owner's, the page's the painter's device's), else as
// large as fits.
void DrawPrintPicture(QPainter& painter, const QRect& drawRect, const QWidget* owner,
                      const PrintPicture& picture);

}  // namespace stepora
