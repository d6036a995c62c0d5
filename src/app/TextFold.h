// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace stepora {

// Lower-cases UTF-8 text letter by letter, for comparisons that ignore letter case
// ("Ärger" and "äRGER" fold alike). Bytes that are not valid UTF-8 stay as they are.
std::string FoldCase(std::string_view utf8);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Whether every byte belongs to a well-formed UTF-8 sequence (no overlong forms, no
// surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace stepora
