// ChapterLayout.h - the chapter reader's two layouts of a chapter, where each
// verse stands in them, and a selection of them cited with its verses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Citation.h"

namespace tavrin {

enum class EChapterLayout {
    Verses,     // each verse's key line, its text and a blank line (BuildChapterText)
    Paragraphs  // one paragraph a verse, its number in front ("16 하나님이 ...")
};

// Longest paragraph layout in characters; verses that would pass it are left out.
inline constexpr size_t kMaxParagraphTextChars = 400000;

// Where verse i stands in a layout's text: [m_nStart, m_nEnd), its key line
// (or number) through its text, without the line ends after it.
struct SVerseSpan {
    size_t m_nStart = 0;
    size_t m_nEnd = 0;
};

struct SChapterLayout {
    std::u16string m_strText;
    std::vector<SVerseSpan> m_arrSpans;  // one per verse laid out, in order
};

// Lays out verses (key/text pairs). Verses: BuildChapterText of the first
// kMaxChapterVerses verses, the text exactly as it builds it (cut included; a
// verse the cut reaches is spanned up to the cut, one past it is left out).
// Paragraphs: every verse as "N TEXT" and CR LF, N the last run of digits of
// its key and TEXT on one line (OneLine); no blank lines.
SChapterLayout LayOutChapter(const std::vector<std::u16string>& verses, EChapterLayout layout);

// The index of the verse laid out at position: the one whose span holds it,
// else the last one starting before it (position in the line ends after a
// verse); -1 before the first verse or with none.
int VerseAt(const SChapterLayout& layout, size_t position);

// The layout's characters [start, end) cited as they stand (CiteText): REF
// spans the verses the selection touches, book is the book's full name and
// verses the key/text pairs laid out. Empty for an empty selection, or when
// the first verse touched has no verse key CitedVerseOf reads.
std::u16string CiteLayoutSelection(const SChapterLayout& layout,
                                   const std::vector<std::u16string>& verses,
                                   std::u16string_view book, size_t start, size_t end,
                                   const SCitationFormat& format, std::u16string_view name);

// A text box holds a CR LF as one character: index of text as the box counts
// it, and back (a position inside a CR LF gives its start).
size_t ShownPosition(std::u16string_view text, size_t index);
size_t TextPosition(std::u16string_view text, size_t shown);

}  // namespace tavrin
