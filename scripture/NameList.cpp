// NameList.cpp - splits a decoded book or reference list into its names.
#include "NameList.h"

#include "CodePage.h"

namespace tavrin {

SNameList SplitNameList(std::string_view text) {
    SNameList list;
    const std::u16string wide = AnsiToWide(text);
    // The first character belongs to no name; a name only counts once a TAB
    // closes it, so a trailing run without one is left over.
    size_t start = 1;
    for (size_t i = 1; i < wide.size(); ++i) {
        if (wide[i] == u'\t') {
            list.arrNames.emplace_back(wide, start, i - start);
            start = i + 1;
        }
    }
    if (start < wide.size())
        list.strRest.assign(wide, start);
    return list;
}

std::vector<std::u16string> ParseNameList(std::string_view text) {
    std::vector<std::u16string> names = SplitNameList(text).arrNames;
    for (std::u16string& name : names) {
        if (name.size() > kMaxNameChars)
            name.resize(kMaxNameChars);
    }
    return names;
}

}  // namespace tavrin
