// NameList.h - the TAB-separated name lists of book lists and reference lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Longest name in characters; longer names are cut to it.
inline constexpr size_t kMaxNameChars = 29;

// A name list as written: its names uncut, and what follows the last TAB
// (which belongs to no name).
struct SNameList {
    std::vector<std::u16string> arrNames;
    std::u16string strRest;
};

// Decodes a record text (code page 949) and splits it: the first character
// is skipped, every name is closed by a TAB, empty names are kept.
SNameList SplitNameList(std::string_view text);

// The names as the reader lists them: SplitNameList's names cut to
// kMaxNameChars; characters after the last TAB are ignored.
std::vector<std::u16string> ParseNameList(std::string_view text);

}  // namespace tavrin
