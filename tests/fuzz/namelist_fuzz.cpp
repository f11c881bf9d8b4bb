// namelist_fuzz.cpp - book and reference lists from arbitrary 8-bit record texts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "CodePage.h"
#include "FuzzCheck.h"
#include "NameList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto names = tavrin::ParseNameList(text);

    // TAB is never part of a two-byte character, so no list can hold more
    // names than the text holds TABs.
    size_t tabs = 0;
    for (char c : text) tabs += c == '\t';
    FUZZ_CHECK(names.size() <= tabs);

    for (const std::u16string& name : names) {
        FUZZ_CHECK(name.size() <= tavrin::kMaxNameChars);
        FUZZ_CHECK(name.find(u'\t') == std::u16string::npos);
        // A listed name is looked up again as a key: a name decoded from
        // valid bytes must encode back to a key that decodes to itself.
        if (name.find(u'\uFFFD') == std::u16string::npos &&
            name.find(u'\0') == std::u16string::npos)
            FUZZ_CHECK(tavrin::AnsiToWide(tavrin::ToAnsiKey(name)) == name);
    }
    return 0;
}
