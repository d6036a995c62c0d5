// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TextFold.h"

#include <locale.h>
#include <clocale>
#include <cstdint>
#include <cwctype>

namespace stepora {
namespace {

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when it is not valid.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
    const auto b = [&](size_t k) { return uint8_t(text[i + k]); };
    const uint8_t lead = b(0);
    size_t len;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (b(k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void EncodeUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | cp >> 18);
        out += char(0x80 | (cp >> 12 & 0x3F));
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

char32_t LowerLetter(char32_t cp) {
    if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
#ifndef _WIN32
    // The C.UTF-8 locale knows the Unicode letters whatever locale the process runs in.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (utf8 != locale_t(0)) return char32_t(towlower_l(wint_t(cp), utf8));
    return cp;
#else
    return cp <= 0xFFFF ? char32_t(towlower(wint_t(cp))) : cp;
#endif
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        const size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += text[i++];
            continue;
        }
        EncodeUtf8(LowerLetter(cp), out);
        i += len;
    }
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return FoldCase(a) == FoldCase(b);
}

bool IsValidUtf8(std::string_view text) {
    char32_t cp;
    for (size_t i = 0, len; i < text.size(); i += len)
        if ((len = DecodeUtf8(text, i, cp)) == 0) return false;
    return true;
}

}  // namespace stepora
