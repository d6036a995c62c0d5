// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace stepora {

// Plain decimal digits only (no sign, space or exponent), at most 9 of them.
bool ParseCsvInteger(std::string_view text, uint32_t& value);
// A decimal number with an optional fraction, times 10^decimals, the further digits cut
// off: "0.29" with 2 decimals is 29, exactly.
bool ParseCsvScaled(std::string_view text, unsigned decimals, uint32_t& value);
// value / 10^decimals with that many decimals ("%.2f" of hundredths, without rounding).
std::string FormatScaled(uint32_t value, unsigned decimals);

// The date of a day number as year.month.day without leading zeros ("2007.3.5").
std::string CsvDateText(uint32_t day);
// The first three pieces of a text split at full stops, as a day number of a real date.
bool ParseCsvDate(std::string_view text, uint32_t& day);

}  // namespace stepora
