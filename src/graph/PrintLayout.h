// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the captured graph page lands on the printed page.

namespace stepora {

struct PrintPlacement {
    int x, y, width, height;
};

// Places a picture of pictureW x pictureH screen pixels on a page whose drawing rectangle
// is drawW x drawH page pixels, centred: normally at the integer multiple of its screen
// size that the two resolutions give (600 dpi over 96 dpi: 6 times). When that multiple is
// 0 (a page coarser than the screen) or does not fit, the largest scale that fits is used
// instead, with the picture's aspect ratio. An empty picture or page gives an empty
// placement.
PrintPlacement PlacePrintPicture(int pictureW, int pictureH, int screenDpiX, int screenDpiY,
                                 int pageDpiX, int pageDpiY, int drawW, int drawH);

}  // namespace stepora
