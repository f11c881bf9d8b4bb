// TextUtil.cpp - trimming, UTF-8 validation, chapter layout length, character names.
#include "TextUtil.h"

#include <algorithm>
#include <cstdio>

#include "CodePage.h"

namespace tavrin {

std::string Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

bool IsValidUtf8(std::string_view s) {
    return s.find('\0') == std::string_view::npos && IsWellFormedUtf8(s);
}

std::string DescribeChar(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::u16string wide;
    if (c >= 0x10000) {
        wide += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        wide += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        wide += static_cast<char16_t>(c);
    }
    if (c < 0x20)
        return code;
    return std::string(code) + " '" + Utf16ToUtf8(wide) + "'";
}

bool HasControl(std::u16string_view s) {
    return std::any_of(s.begin(), s.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

}  // namespace tavrin
