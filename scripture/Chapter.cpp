// Chapter.cpp - chapter references, verse keys, the chapter layout and neighbouring chapters.
#include "Chapter.h"

#include <algorithm>
#include <climits>

#include "CodePage.h"
#include "PassageMessages.h"
#include "Reference.h"

namespace tavrin {

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
    neighbour += DecimalUtf16(target);
    neighbour += u':';
    return neighbour;
}

namespace {

// The chapters of a book's reference list in list order, each with its first
// listed reference.
struct SListedChapter {
    std::u16string m_strChapter;
    std::u16string m_strFirstReference;
};

std::vector<SListedChapter> ListedChapters(const CStoreSet& set, Testament testament,
                                           std::u16string_view book) {
    std::vector<SListedChapter> chapters;
    for (std::u16string& reference : set.ReadReferenceList(testament, book)) {
        std::u16string chapter = ChapterReference(reference);
        if (chapters.empty() || chapters.back().m_strChapter != chapter)
            chapters.push_back({std::move(chapter), std::move(reference)});
    }
    return chapters;
}

bool ChapterExists(const CStoreSet& set, Testament testament, std::u16string_view chapter) {
    bool found = false;
    FetchRecordView(set.TextStore(testament), ToAnsiKey(VerseKey(chapter, 1, testament)), &found);
    return found;
}

// The first (last) chapter of the books of testament from index on, walking
// forward (backward); nullopt when none of them lists a chapter.
std::optional<SChapterPlace> EdgeChapter(const CStoreSet& set, Testament testament,
                                         const std::vector<std::u16string>& books, long index,
                                         EDirection direction) {
    const long step = direction == EDirection::Next ? 1 : -1;
    for (; index >= 0 && index < static_cast<long>(books.size()); index += step) {
        const std::vector<SListedChapter> chapters = ListedChapters(set, testament, books[index]);
        if (chapters.empty())
            continue;
        const SListedChapter& edge =
            direction == EDirection::Next ? chapters.front() : chapters.back();
        return SChapterPlace{testament, edge.m_strChapter, true, books[index],
                             edge.m_strFirstReference};
    }
    return std::nullopt;
}

}  // namespace

std::optional<SChapterPlace> NeighbourChapterInSet(const CStoreSet& set, Testament testament,
                                                   std::u16string_view chapterReference,
                                                   EDirection direction) {
    if (!set.AreStoresOpen())
        return std::nullopt;
    const std::u16string chapter = ChapterReference(chapterReference);
    // The common step stays in the book and costs one lookup.
    if (const std::optional<std::u16string> near = NeighbourChapter(chapter, direction);
        near && ChapterExists(set, testament, *near))
        return SChapterPlace{testament, *near, false, {}, {}};

    const std::vector<std::u16string> books = set.ReadBookList(testament);
    for (size_t b = 0; b < books.size(); ++b) {
        const std::vector<SListedChapter> chapters = ListedChapters(set, testament, books[b]);
        const auto at =
            std::find_if(chapters.begin(), chapters.end(),
                         [&](const SListedChapter& c) { return c.m_strChapter == chapter; });
        if (at == chapters.end())
            continue;
        const long step = direction == EDirection::Next ? 1 : -1;
        const long target = (at - chapters.begin()) + step;
        if (target >= 0 && target < static_cast<long>(chapters.size()))
            return SChapterPlace{testament, chapters[target].m_strChapter, false, books[b],
                                 chapters[target].m_strFirstReference};
        if (auto place = EdgeChapter(set, testament, books, static_cast<long>(b) + step, direction))
            return place;
        // The testaments join: the Old Testament's end runs on into the New.
        const Testament other = testament == Testament::Old ? Testament::New : Testament::Old;
        if ((testament == Testament::Old) != (direction == EDirection::Next))
            return std::nullopt;
        const std::vector<std::u16string> otherBooks = set.ReadBookList(other);
        return EdgeChapter(
            set, other, otherBooks,
            direction == EDirection::Next ? 0 : static_cast<long>(otherBooks.size()) - 1,
            direction);
    }
    return std::nullopt;
}

std::u16string ChapterTitle(std::u16string_view book, std::u16string_view chapterReference) {
    std::u16string title(book);
    const std::optional<SChapterParts> parts =
        SplitChapterReference(ChapterReference(chapterReference));
    if (!parts || parts->m_nChapter < 1)
        return title;
    title += u' ';
    title += DecimalUtf16(parts->m_nChapter);
    title += ChapterCounter(book);
    return title;
}

}  // namespace tavrin
