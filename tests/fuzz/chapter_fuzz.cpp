// chapter_fuzz.cpp - chapter references from arbitrary UTF-16: verse keys, chapter reads,
// neighbours, the reference grammar.
#include "Chapter.h"
#include "CodePage.h"
#include "FuzzCheck.h"
#include "Reference.h"
#include "StoreFixture.h"

namespace {

using tavrin::Testament;

// Short chapters, one past the verse cap, one whose keys cross the key limit,
// and a record at that limit where cut keys land; both testaments.
tavrin::CStoreSet& Stores() {
    static tavrin::test::CStoreFixture fx;
    static tavrin::CStoreSet* stores = [] {
        for (Testament t : {Testament::Old, Testament::New}) {
            fx.AddVerses(t, u"창1:", 1, 3, u"verse");
            fx.AddVerses(t, u"X9:", 1, tavrin::kMaxChapterVerses + 2, u"verse");
            fx.AddVerses(t, std::u16string(tavrin::kMaxKeyChars - 3, u'A') + u"1:", 1, 12, u"v");
            fx.AddVerse(t, std::u16string(tavrin::kMaxKeyChars, u'B'), u"cut");
        }
        fx.Build();
        auto* set = new tavrin::CStoreSet;
        FUZZ_CHECK(set->OpenStores(fx.Folder()));
        return set;
    }();
    return *stores;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const Testament testament = data[0] & 1 ? Testament::New : Testament::Old;
    std::u16string reference;
    for (size_t i = 1; i + 1 < size; i += 2)
        reference += static_cast<char16_t>(data[i] | (data[i + 1] << 8));

    const std::u16string chapter = tavrin::ChapterReference(reference);
    FUZZ_CHECK(chapter.size() <= tavrin::kMaxChapterRefChars);
    const auto verses = Stores().LoadChapter(testament, reference);
    FUZZ_CHECK(verses.size() % 2 == 0 && verses.size() <= 2 * tavrin::kMaxChapterVerses);
    for (size_t i = 0; i < verses.size(); i += 2) {
        FUZZ_CHECK(verses[i] == tavrin::VerseKey(chapter, static_cast<int>(i / 2 + 1), testament));
        FUZZ_CHECK(!verses[i + 1].empty());
    }
    FUZZ_CHECK(tavrin::BuildChapterText(verses).size() <= tavrin::kMaxChapterTextChars);

    // The grammar reads anything; what it takes is a book, a chapter and a forward run of verses.
    const tavrin::SParsedPassage parsed = tavrin::ReadPassage(reference);
    if (parsed.m_syntax == tavrin::ESyntax::Passage) {
        FUZZ_CHECK(!parsed.m_passage.m_strBook.empty());
        FUZZ_CHECK(parsed.m_passage.m_nChapter >= 0);
        FUZZ_CHECK(parsed.m_passage.m_nLastVerse >= parsed.m_passage.m_nVerse);
    }

    // Next then previous returns; only chapter 1 has no previous one.
    const auto next = tavrin::NeighbourChapter(reference, tavrin::EDirection::Next);
    if (!next)
        return 0;
    FUZZ_CHECK(next->back() == u':' && next->find(u':') == next->size() - 1);
    if (next->size() > tavrin::kMaxChapterRefChars)
        return 0;
    const size_t digits = next->find_last_not_of(u"0123456789:") + 1;
    const auto back = tavrin::NeighbourChapter(*next, tavrin::EDirection::Previous);
    FUZZ_CHECK(back.has_value() != (next->substr(digits) == u"1:"));
    if (back)
        FUZZ_CHECK(tavrin::NeighbourChapter(*back, tavrin::EDirection::Next) == next);
    return 0;
}
