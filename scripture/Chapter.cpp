// Chapter.cpp - chapter references, verse keys, the chapter layout and neighbouring chapters.
#include "Chapter.h"

#include <algorithm>

#include <climits>

#include "Reference.h"

namespace tavrin {

namespace {

std::u16string Decimal(long long n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string ChapterReference(std::u16string_view reference) {
    const size_t colon = reference.find(u':');
    std::u16string_view chapter =
        colon == std::u16string_view::npos ? reference : reference.substr(0, colon + 1);
    if (chapter.size() > kMaxChapterRefChars)
        chapter = chapter.substr(0, kMaxChapterRefChars);
    return std::u16string(chapter);
}

std::u16string VerseKey(std::u16string_view chapterReference, int n, Testament testament) {
    std::u16string key(chapterReference);
    AppendVerseNumber(key, n, testament);
    return key;
}

namespace {
// What the layout puts around a verse key ("  [" "]\r\n") and after a text.
constexpr std::u16string_view kKeyOpen = u"  [";
constexpr std::u16string_view kKeyClose = u"]\r\n";
constexpr std::u16string_view kTextClose = u"\r\n\r\n";
}  // namespace

size_t ChapterLayoutLength(const std::vector<std::u16string>& verses) {
    size_t length = 0;
    for (size_t i = 0; i < verses.size(); ++i)
        length += verses[i].size() +
                  (i % 2 == 0 ? kKeyOpen.size() + kKeyClose.size() : kTextClose.size());
    return length;
}

std::u16string BuildChapterText(const std::vector<std::u16string>& verses) {
    std::u16string text;
    text.reserve(std::min(ChapterLayoutLength(verses), kMaxChapterTextChars));
    for (size_t i = 0; i < verses.size(); ++i) {
        if (i % 2 == 0) {
            text += kKeyOpen;
            text += verses[i];
            text += kKeyClose;
        } else {
            text += verses[i];
            text += kTextClose;
        }
        if (text.size() >= kMaxChapterTextChars)
            break;
    }
    if (text.size() > kMaxChapterTextChars) {
        size_t cut = kMaxChapterTextChars;
        // Never leave half of a surrogate pair at the end.
        if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
            --cut;
        text.resize(cut);
    }
    return text;
}

std::optional<std::u16string> NeighbourChapter(std::u16string_view chapterReference,
                                               EDirection direction) {
    const std::optional<SChapterParts> parts =
        SplitChapterReference(ChapterReference(chapterReference));
    if (!parts)
        return std::nullopt;
    const long long target =
        direction == EDirection::Next ? parts->m_nChapter + 1LL : parts->m_nChapter - 1LL;
    if (target < 1 || target > INT_MAX)
        return std::nullopt;
    std::u16string neighbour = parts->m_strBookPart;
    neighbour += Decimal(target);
    neighbour += u':';
    return neighbour;
}

namespace {

// Index of the first entry of the chapter whose entries include index i.
size_t ChapterStart(const std::vector<std::u16string>& refs, size_t i) {
    const std::u16string chapter = ChapterReference(refs[i]);
    while (i > 0 && ChapterReference(refs[i - 1]) == chapter) --i;
    return i;
}

}  // namespace

std::optional<SListedPassage> NeighbourChapterInSet(const CStoreSet& set, Testament testament,
                                                    std::u16string_view book,
                                                    std::u16string_view reference,
                                                    EDirection direction) {
    if (!set.AreStoresOpen())
        return std::nullopt;
    // Every book of the set in reading order, as (testament, name).
    std::vector<std::pair<Testament, std::u16string>> books;
    for (const Testament t : {Testament::Old, Testament::New})
        for (std::u16string& name : set.ReadBookList(t)) books.emplace_back(t, std::move(name));
    size_t at = books.size();
    for (size_t i = 0; i < books.size() && at == books.size(); ++i)
        if (books[i].first == testament && books[i].second == book)
            at = i;
    if (at == books.size())
        return std::nullopt;
    std::vector<std::u16string> refs = set.ReadReferenceList(testament, book);
    const auto found = std::find(refs.begin(), refs.end(), reference);
    if (found == refs.end())
        return std::nullopt;
    const std::u16string chapter = ChapterReference(reference);
    const size_t start = ChapterStart(refs, static_cast<size_t>(found - refs.begin()));
    if (direction == EDirection::Next) {
        for (size_t i = start; i < refs.size(); ++i)
            if (ChapterReference(refs[i]) != chapter)
                return SListedPassage{testament, books[at].second, refs[i]};
        for (size_t b = at + 1; b < books.size(); ++b) {
            refs = set.ReadReferenceList(books[b].first, books[b].second);
            if (!refs.empty())
                return SListedPassage{books[b].first, books[b].second, refs.front()};
        }
        return std::nullopt;
    }
    if (start > 0)
        return SListedPassage{testament, books[at].second, refs[ChapterStart(refs, start - 1)]};
    for (size_t b = at; b-- > 0;) {
        refs = set.ReadReferenceList(books[b].first, books[b].second);
        if (!refs.empty())
            return SListedPassage{books[b].first, books[b].second,
                                  refs[ChapterStart(refs, refs.size() - 1)]};
    }
    return std::nullopt;
}

}  // namespace tavrin
