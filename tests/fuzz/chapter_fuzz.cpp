// chapter_fuzz.cpp - chapter references from arbitrary UTF-16: verse keys, chapter reads,
// neighbours.
#include <tessdb.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "FuzzCheck.h"
#include "StoreSet.h"

namespace {

using tavrin::Testament;

void Put(void* store, const std::u16string& key, const std::string& text) {
    std::string k = tavrin::EncodeAnsi(key);
    std::string t = text;
    FUZZ_CHECK(InsertQdata(store, k.data(), t.data(), 1) == 1);
}

// Chapters the inputs can reach: short ones, one longer than the verse cap,
// one whose verse keys cross the key length limit, in both testaments.
void AddChapters(void* store, Testament t) {
    const std::u16string blank = t == Testament::New ? u" " : u"";
    auto add = [&](const std::u16string& chapter, int last) {
        for (int n = 1; n <= last; ++n) {
            const std::string digits = std::to_string(n);
            Put(store, chapter + blank + std::u16string(digits.begin(), digits.end()),
                "verse " + digits);
        }
    };
    add(u"창1:", 3);
    add(u"창2:", 1);
    add(u"X9:", tavrin::kMaxChapterVerses + 2);
    add(std::u16string(tavrin::kMaxKeyChars - 3, u'A') + u"1:", 12);
    // A record at the key limit: verse keys longer than the limit are cut and
    // can land on it.
    Put(store, std::u16string(tavrin::kMaxKeyChars, u'B'), "cut");
}

tavrin::CStoreSet& Stores() {
    static tavrin::CStoreSet* stores = [] {
        char dir[] = "/tmp/tavrin-fuzz-chapter-XXXXXX";
        FUZZ_CHECK(mkdtemp(dir) != nullptr);
        const std::string folder = std::string(dir) + "/";
        void* keyOld = tavrin::OpenStoreFile(folder + tavrin::kKeyOldFile, FL_NEWDB);
        void* keyNew = tavrin::OpenStoreFile(folder + tavrin::kKeyNewFile, FL_NEWDB);
        void* datOld = tavrin::OpenStoreFile(folder + tavrin::kDatOldFile, FL_NEWDB);
        void* datNew = tavrin::OpenStoreFile(folder + tavrin::kDatNewFile, FL_NEWDB);
        FUZZ_CHECK(keyOld && keyNew && datOld && datNew);
        AddChapters(datOld, Testament::Old);
        AddChapters(datNew, Testament::New);
        for (void* h : {keyOld, keyNew, datOld, datNew}) DestroyTESS(h);
        auto* set = new tavrin::CStoreSet;
        FUZZ_CHECK(set->OpenStores(folder));
        return set;
    }();
    return *stores;
}

void CheckNeighbours(const std::u16string& reference) {
    const auto next = tavrin::NeighbourChapter(reference, tavrin::EDirection::Next);
    if (!next)
        return;
    FUZZ_CHECK(next->back() == u':' && next->find(u':') == next->size() - 1);
    if (next->size() > tavrin::kMaxChapterRefChars)
        return;
    // Stepping back from the next chapter and forward again returns to it;
    // only chapter 1 has no previous one.
    const size_t digits = next->find_last_not_of(u"0123456789:") + 1;
    const auto back = tavrin::NeighbourChapter(*next, tavrin::EDirection::Previous);
    FUZZ_CHECK(back.has_value() != (next->substr(digits) == u"1:"));
    if (back)
        FUZZ_CHECK(tavrin::NeighbourChapter(*back, tavrin::EDirection::Next) == next);
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
    FUZZ_CHECK(verses.size() % 2 == 0);
    FUZZ_CHECK(verses.size() <= 2 * tavrin::kMaxChapterVerses);
    for (size_t i = 0; i < verses.size(); i += 2) {
        FUZZ_CHECK(verses[i] == tavrin::VerseKey(chapter, static_cast<int>(i / 2 + 1), testament));
        FUZZ_CHECK(!verses[i + 1].empty());
    }
    FUZZ_CHECK(tavrin::BuildChapterText(verses).size() <= tavrin::kMaxChapterTextChars);

    CheckNeighbours(reference);
    return 0;
}
