// tsv_fuzz.cpp - tavrin-mkstore's verse file reader on arbitrary bytes.
#include <sstream>

#include "BookTable.h"
#include "FuzzCheck.h"
#include "TsvReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tavrin::CBookTable table;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    tavrin::CBibleText text;
    std::string error;
    // A refusal always says why; what is accepted is what a store builder can
    // rely on: known books, numbered chapters, verses from 1 without a gap.
    if (!tavrin::ReadTsvText(in, "fuzz.tsv", table, text, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (const auto& [book, chapters] : text.Books()) {
        FUZZ_CHECK(book >= 0 && static_cast<size_t>(book) < table.Books().size());
        for (const auto& [chapter, verses] : chapters)
            FUZZ_CHECK(chapter >= 1 && chapter <= 9999 && !verses.empty() && verses.size() <= 9999);
    }
    return 0;
}
