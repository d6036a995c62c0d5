// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

class QLabel;

namespace stepora {

// Puts a picture file (BMP or any format Qt reads) into the label, stretched to its
// contents rectangle, with pure white transparent so the background shows through.
// False, and the label left without a picture, when the file is missing, empty, not a
// picture, or too big to decode. Nobody is told; callers show nothing either.
bool DrawPictureFile(QLabel* control, const std::filesystem::path& file);

}  // namespace stepora
