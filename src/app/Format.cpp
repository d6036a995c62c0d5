// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Format.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace stepora {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

std::string IntText(long long value) {
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string FixedText(double value, int decimals) {
    // As printf writes it; a number too long for the buffer goes through printf itself.
    char digits[64];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(digits, end) : Format("%.*f", decimals, value);
}

}  // namespace stepora
