// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PrintLayout.h"

#include <algorithm>

namespace stepora {

PrintPlacement PlacePrintPicture(int pictureW, int pictureH, int screenDpiX, int screenDpiY,
                                 int pageDpiX, int pageDpiY, int drawW, int drawH) {
    if (pictureW <= 0 || pictureH <= 0 || drawW <= 0 || drawH <= 0) return {0, 0, 0, 0};

    // Whole factors keep the screen pixels sharp on the page.
    const long long kx = screenDpiX > 0 ? pageDpiX / screenDpiX : 0;
    const long long ky = screenDpiY > 0 ? pageDpiY / screenDpiY : 0;
    long long w = pictureW * kx;
    long long h = pictureH * ky;

    // A factor of 0 would leave the page empty and a picture larger than the page would be
    // cut off; both get the largest scale that fits instead, one scale for both sides. The
    // side that limits it fills the page exactly (integers: no rounding short of the edge).
    if (w <= 0 || h <= 0 || w > drawW || h > drawH) {
        if (static_cast<long long>(drawW) * pictureH <= static_cast<long long>(drawH) * pictureW) {
            w = drawW;
            h = std::max(1LL, static_cast<long long>(pictureH) * drawW / pictureW);
        } else {
            h = drawH;
            w = std::max(1LL, static_cast<long long>(pictureW) * drawH / pictureH);
        }
    }
    return {static_cast<int>((drawW - w) / 2), static_cast<int>((drawH - h) / 2),
            static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace stepora
