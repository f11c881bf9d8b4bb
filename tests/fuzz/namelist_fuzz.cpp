// namelist_fuzz.cpp - book and reference lists from arbitrary 8-bit record texts.
#include <algorithm>
#include <string_view>

#include "CodePage.h"
#include "FuzzCheck.h"
#include "NameList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // TAB is never part of a two-byte character, so no list holds more names than TABs.
    const auto names = tavrin::ParseNameList(text);
    FUZZ_CHECK(names.size() <= static_cast<size_t>(std::count(text.begin(), text.end(), '\t')));
    for (const std::u16string& name : names) {
        FUZZ_CHECK(name.size() <= tavrin::kMaxNameChars &&
                   name.find(u'\t') == std::u16string::npos);
        // A name decoded from valid bytes is looked up again as a key that decodes to itself.
        if (name.find_first_of(std::u16string_view(u"\uFFFD\0", 2)) == std::u16string::npos)
            FUZZ_CHECK(tavrin::AnsiToWide(tavrin::ToAnsiKey(name)) == name);
    }
    return 0;
}
