// Chapter.cpp - chapter references, verse keys, the chapter layout and neighbouring chapters.
#include "Chapter.h"

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

}  // namespace tavrin
