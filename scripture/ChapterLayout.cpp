// ChapterLayout.cpp - the reader's verse and paragraph layouts, verse positions in them, and
// citing a selection of them.
#include "ChapterLayout.h"

#include <algorithm>

#include "Chapter.h"

namespace tavrin {

namespace {

std::u16string_view VerseNumberOf(std::u16string_view key) {
    size_t begin = key.size();
    while (begin > 0 && key[begin - 1] >= u'0' && key[begin - 1] <= u'9') --begin;
    return key.substr(begin);
}

SChapterLayout VerseLayout(const std::vector<std::u16string>& verses) {
    const size_t count = std::min(verses.size(), static_cast<size_t>(2 * kMaxChapterVerses));
    const std::vector<std::u16string> shown(verses.begin(), verses.begin() + count);
    SChapterLayout layout{BuildChapterText(shown), {}};
    size_t at = 0;
    for (size_t i = 0; i + 1 < shown.size(); i += 2) {
        if (at >= layout.m_strText.size())
            break;
        // "  [" key "]\r\n" text, then "\r\n\r\n".
        const size_t end = at + 3 + shown[i].size() + 3 + shown[i + 1].size();
        layout.m_arrSpans.push_back({at, std::min(end, layout.m_strText.size())});
        at = end + 4;
    }
    return layout;
}

SChapterLayout ParagraphLayout(const std::vector<std::u16string>& verses) {
    SChapterLayout layout;
    for (size_t i = 0; i + 1 < verses.size(); i += 2) {
        std::u16string paragraph(VerseNumberOf(verses[i]));
        paragraph += u' ';
        paragraph += OneLine(verses[i + 1]);
        if (layout.m_strText.size() + paragraph.size() + 2 > kMaxParagraphTextChars)
            break;
        const size_t start = layout.m_strText.size();
        layout.m_strText += paragraph;
        layout.m_arrSpans.push_back({start, layout.m_strText.size()});
        layout.m_strText += u"\r\n";
    }
    return layout;
}

}  // namespace

SChapterLayout LayOutChapter(const std::vector<std::u16string>& verses, EChapterLayout layout) {
    return layout == EChapterLayout::Verses ? VerseLayout(verses) : ParagraphLayout(verses);
}

int VerseAt(const SChapterLayout& layout, size_t position) {
    const auto& spans = layout.m_arrSpans;
    // The first verse starting after position; the one before it holds it.
    const auto after =
        std::upper_bound(spans.begin(), spans.end(), position,
                         [](size_t pos, const SVerseSpan& span) { return pos < span.m_nStart; });
    return static_cast<int>(after - spans.begin()) - 1;
}

std::u16string CiteLayoutSelection(const SChapterLayout& layout,
                                   const std::vector<std::u16string>& verses,
                                   std::u16string_view book, size_t start, size_t end,
                                   const SCitationFormat& format, std::u16string_view name) {
    end = std::min(end, layout.m_strText.size());
    if (start >= end)
        return {};
    // A selection that starts in the line ends before a verse starts at it.
    int first = VerseAt(layout, start);
    if (first < 0 || start >= layout.m_arrSpans[static_cast<size_t>(first)].m_nEnd)
        ++first;
    const int last = std::max(first, VerseAt(layout, end - 1));
    if (static_cast<size_t>(last) >= layout.m_arrSpans.size() ||
        static_cast<size_t>(2 * last + 1) >= verses.size())
        return {};
    const std::optional<SCitedVerse> from =
        CitedVerseOf(book, verses[2 * first], verses[2 * first + 1]);
    const std::optional<SCitedVerse> to =
        CitedVerseOf(book, verses[2 * last], verses[2 * last + 1]);
    if (!from || !to)
        return {};
    return CiteText(*from, to->m_nVerse,
                    std::u16string_view(layout.m_strText).substr(start, end - start), format, name);
}

size_t ShownPosition(std::u16string_view text, size_t index) {
    index = std::min(index, text.size());
    size_t shown = 0;
    for (size_t i = 0; i < index; ++i, ++shown)
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    return shown;
}

size_t TextPosition(std::u16string_view text, size_t shown) {
    size_t i = 0;
    for (; i < text.size() && shown > 0; ++i, --shown)
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    return i;
}

}  // namespace tavrin
