// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace stepora {

// printf-style formatting for every number the program shows or writes ("%d", "%.1f",
// "%.2f"); numbers always use the C locale's decimal point.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The texts of Format("%lld", value) and Format("%.<decimals>f", value) without reading a
// format, for the numbers a refresh of the graph window writes by the dozen.
std::string IntText(long long value);
std::string FixedText(double value, int decimals);

}  // namespace stepora
