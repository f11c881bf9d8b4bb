// Reference.cpp - the reference grammar: typed passages, listed references, chapter references
// and verse keys taken apart.
#include "Reference.h"

#include <climits>

namespace tavrin {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsBlank(char16_t c) {
    return c == u' ';
}

// A Korean input method gives full-width digits and signs as readily as ASCII
// ones; they mean the same here.
std::u16string Normalized(std::u16string_view typed) {
    std::u16string s;
    s.reserve(typed.size());
    for (char16_t c : typed) {
        if (c >= u'\uFF10' && c <= u'\uFF19')
            c = static_cast<char16_t>(u'0' + (c - u'\uFF10'));
        else if (c == u'\uFF1A')
            c = u':';
        else if (c == u'\uFF0E')
            c = u'.';
        else if (c == u'\uFF0D' || c == u'\uFF5E' || c == u'~' || c == u'\u2010' || c == u'\u2013')
            c = u'-';
        else if (c == u'\t' || c == u'\u3000' || c == u'\u00A0')
            c = u' ';
        s += c;
    }
    return s;
}

std::u16string_view Trimmed(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A run of digits as a number from 0 to INT_MAX; leading zeros are allowed.
std::optional<int> Number(std::u16string_view digits) {
    if (digits.empty())
        return std::nullopt;
    long long value = 0;
    for (char16_t c : digits) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > INT_MAX)
            return std::nullopt;
    }
    return static_cast<int>(value);
}

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Reads what follows the book: chapter, separator, verses, range.
class CTailReader {
public:
    explicit CTailReader(std::u16string_view s) : m_str(s) {}

    ESyntax Read(SPassage& passage) {
        const std::optional<int> chapter = TakeNumber();
        if (!chapter)
            return ESyntax::NotReference;
        passage.m_nChapter = *chapter;
        SkipBlanks();
        const bool counted = Take(u'장') || Take(u'편');
        SkipBlanks();
        if (AtEnd())
            return ESyntax::Passage;
        if (Take(u'-'))
            return ChapterRange(*chapter);
        const bool separated = Take(u':') || Take(u'.');
        SkipBlanks();
        if (separated && AtEnd())
            return ESyntax::Passage;
        if (!separated && !counted)
            return ESyntax::NotReference;
        const std::optional<int> verse = TakeVerse();
        if (!verse)
            return ESyntax::NotReference;
        passage.m_nVerse = passage.m_nLastVerse = *verse;
        if (AtEnd())
            return ESyntax::Passage;
        if (!Take(u'-'))
            return ESyntax::NotReference;
        SkipBlanks();
        const std::optional<int> last = TakeNumber();
        if (!last)
            return ESyntax::NotReference;
        SkipBlanks();
        if (Take(u':') || Take(u'.') || Take(u'장') || Take(u'편')) {
            // "요3:16-4:2": a second chapter, unless it is the same one again.
            SkipBlanks();
            const std::optional<int> verse2 = TakeVerse();
            if (!verse2 || !AtEnd())
                return ESyntax::NotReference;
            if (*last != *chapter)
                return ESyntax::AcrossChapters;
            passage.m_nLastVerse = *verse2;
        } else {
            Take(u'절');
            SkipBlanks();
            if (!AtEnd())
                return ESyntax::NotReference;
            passage.m_nLastVerse = *last;
        }
        return passage.m_nLastVerse < passage.m_nVerse ? ESyntax::Backwards : ESyntax::Passage;
    }

private:
    // "요3-4" or "요3장-4장".
    ESyntax ChapterRange(int chapter) {
        SkipBlanks();
        const std::optional<int> last = TakeNumber();
        SkipBlanks();
        if (!Take(u'장'))
            Take(u'편');
        SkipBlanks();
        if (!last || !AtEnd())
            return ESyntax::NotReference;
        if (*last < chapter)
            return ESyntax::Backwards;
        return *last == chapter ? ESyntax::Passage : ESyntax::AcrossChapters;
    }

    // A verse number, blanks and an optional "절" after it.
    std::optional<int> TakeVerse() {
        const std::optional<int> verse = TakeNumber();
        SkipBlanks();
        Take(u'절');
        SkipBlanks();
        return verse;
    }

    std::optional<int> TakeNumber() {
        const size_t start = m_nPos;
        while (m_nPos < m_str.size() && IsDigit(m_str[m_nPos])) ++m_nPos;
        return Number(m_str.substr(start, m_nPos - start));
    }

    bool Take(char16_t c) {
        if (AtEnd() || m_str[m_nPos] != c)
            return false;
        ++m_nPos;
        return true;
    }

    void SkipBlanks() {
        while (!AtEnd() && IsBlank(m_str[m_nPos])) ++m_nPos;
    }

    bool AtEnd() const { return m_nPos == m_str.size(); }

    std::u16string_view m_str;
    size_t m_nPos = 0;
};

// A book may open with a number ("1 John"); otherwise it holds no digit and
// none of the signs of the chapter and verse part.
bool IsBookName(std::u16string_view book) {
    size_t i = 0;
    while (i < book.size() && IsDigit(book[i])) ++i;
    while (i < book.size() && IsBlank(book[i])) ++i;
    if (i == book.size())
        return false;
    for (; i < book.size(); ++i) {
        const char16_t c = book[i];
        if (IsDigit(c) || c == u':' || c == u'.' || c == u'-')
            return false;
    }
    return true;
}

// How telling a failure is: a range problem says more than "not a reference".
int Weight(ESyntax syntax) {
    return syntax == ESyntax::NotReference ? 0 : 1;
}

}  // namespace

SParsedPassage ReadPassage(std::u16string_view typed) {
    const std::u16string normalized = Normalized(typed);
    const std::u16string_view s = Trimmed(normalized);
    SParsedPassage result;
    if (s.empty())
        return result;
    result.m_syntax = ESyntax::NotReference;
    if (s.size() > kMaxTypedChars)
        return result;
    // The chapter starts at a run of digits after the book; a book may open
    // with digits of its own ("1 John 3"), so each run is tried in turn.
    for (size_t i = 1; i < s.size(); ++i) {
        if (!IsDigit(s[i]) || IsDigit(s[i - 1]))
            continue;
        if (!IsBookName(s.substr(0, i)))
            continue;
        SPassage passage;
        const ESyntax syntax = CTailReader(s.substr(i)).Read(passage);
        if (syntax != ESyntax::Passage) {
            if (Weight(syntax) > Weight(result.m_syntax))
                result.m_syntax = syntax;
            continue;
        }
        for (char16_t c : Trimmed(s.substr(0, i))) {
            if (!(IsBlank(c) && IsBlank(passage.m_strBook.back())))
                passage.m_strBook += c;
        }
        result.m_syntax = ESyntax::Passage;
        result.m_passage = std::move(passage);
        return result;
    }
    return result;
}

std::optional<SPassage> ParsePassage(std::u16string_view typed) {
    SParsedPassage parsed = ReadPassage(typed);
    if (parsed.m_syntax != ESyntax::Passage)
        return std::nullopt;
    return std::move(parsed.m_passage);
}

std::optional<SPassage> SplitReference(std::u16string_view reference) {
    std::optional<SPassage> passage = ParsePassage(reference);
    if (passage && passage->IsRange())
        return std::nullopt;
    return passage;
}

bool SameBookName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

int VerseIndexOf(const std::vector<std::u16string>& verses, std::u16string_view reference) {
    const size_t count = (verses.size() + 1) / 2;
    for (size_t i = 0; i < count; ++i) {
        if (verses[2 * i] == reference)
            return static_cast<int>(i);
    }
    const std::optional<SPassage> parts = SplitReference(reference);
    if (parts && parts->m_nVerse >= 1 && static_cast<size_t>(parts->m_nVerse) <= count)
        return parts->m_nVerse - 1;
    return 0;
}

std::optional<SChapterParts> SplitChapterReference(std::u16string_view chapterReference) {
    SChapterParts parts;
    long long number = 0;
    for (char16_t c : chapterReference) {
        if (c == u':')
            break;
        if (!IsDigit(c)) {
            parts.m_strBookPart += c;
            continue;
        }
        number = number * 10 + (c - u'0');
        if (number > INT_MAX)
            return std::nullopt;
    }
    parts.m_nChapter = static_cast<int>(number);
    return parts;
}

bool BookPartHoldsDigit(std::u16string_view chapterReference) {
    std::u16string_view part = chapterReference.substr(0, chapterReference.find(u':'));
    while (!part.empty() && IsDigit(part.back())) part.remove_suffix(1);
    for (char16_t c : part) {
        if (IsDigit(c))
            return true;
    }
    return false;
}

std::optional<SVerseKey> SplitVerseKey(std::u16string_view key, Testament testament) {
    const size_t colon = key.rfind(u':');
    if (colon == std::u16string_view::npos)
        return std::nullopt;
    std::u16string_view digits = key.substr(colon + 1);
    if (testament == Testament::New) {
        if (digits.empty() || digits[0] != u' ')
            return std::nullopt;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 6 || digits[0] == u'0')
        return std::nullopt;
    const std::optional<int> verse = Number(digits);
    if (!verse)
        return std::nullopt;
    return SVerseKey{std::u16string(key.substr(0, colon + 1)), *verse};
}

}  // namespace tavrin
