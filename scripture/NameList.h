// NameList.h - the TAB-separated name lists of book lists and reference lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Longest name in characters; longer names are cut to it.
inline constexpr size_t kMaxNameChars = 29;

// Decodes a record text (code page 949) into names: the first character is
// skipped, every name is closed by a TAB, characters after the last TAB are
// ignored, empty names are kept, names are cut to kMaxNameChars.
std::vector<std::u16string> ParseNameList(std::string_view text);

}  // namespace tavrin
