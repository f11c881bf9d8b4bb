// NameList.cpp - splits a decoded book or reference list into its names.
#include "NameList.h"

#include "CodePage.h"

namespace tavrin {

std::vector<std::u16string> ParseNameList(std::string_view text) {
    std::vector<std::u16string> names;
    const std::u16string wide = AnsiToWide(text);
    std::u16string name;
    // The first character belongs to no name; a name only counts once a TAB
    // closes it, so a trailing run without one is dropped.
    for (size_t i = 1; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c == u'\t') {
            names.push_back(std::move(name));
            name.clear();
        } else if (name.size() < kMaxNameChars) {
            name += c;
        }
    }
    return names;
}

}  // namespace tavrin
