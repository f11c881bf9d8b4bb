// TextUtil.h - small text helpers shared by the readers, the builder and the checker.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Editors on some systems start UTF-8 files with it; readers drop it.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The string without leading and trailing blanks, TABs, CRs and LFs.
std::string Trim(std::string_view s);

// True when s is well-formed UTF-8 (no overlong forms, surrogates or values
// past U+10FFFF) and holds no NUL.
bool IsValidUtf8(std::string_view s);

// True when s holds a control character (below U+0020, or DEL).
bool HasControl(std::u16string_view s);

// "U+2014 '—'" for the summary and messages.
std::string DescribeChar(char32_t c);

}  // namespace tavrin
