// Reference.cpp - typed passages and listed references taken apart.
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

// A Korean input method gives full-width digits, colon and blanks as readily
// as ASCII ones; they mean the same here.
std::u16string Normalized(std::u16string_view typed) {
    std::u16string s;
    s.reserve(typed.size());
    for (char16_t c : typed) {
        if (c >= u'\uFF10' && c <= u'\uFF19')
            c = static_cast<char16_t>(u'0' + (c - u'\uFF10'));
        else if (c == u'\uFF1A')
            c = u':';
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

// A run of digits as a number from 1 to INT_MAX; leading zeros are allowed.
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
    if (value == 0)
        return std::nullopt;
    return static_cast<int>(value);
}

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

std::optional<SPassage> ParsePassage(std::u16string_view typed) {
    const std::u16string s = Normalized(typed);
    std::u16string_view head = Trimmed(s);
    std::u16string_view verseText;
    bool hasColon = false;
    if (const size_t colon = head.find(u':'); colon != std::u16string_view::npos) {
        hasColon = true;
        verseText = Trimmed(head.substr(colon + 1));
        head = Trimmed(head.substr(0, colon));
    }
    size_t start = head.size();
    while (start > 0 && IsDigit(head[start - 1])) --start;
    const std::optional<int> chapter = Number(head.substr(start));
    if (!chapter)
        return std::nullopt;
    SPassage passage;
    passage.m_nChapter = *chapter;
    for (char16_t c : Trimmed(head.substr(0, start))) {
        if (!(IsBlank(c) && IsBlank(passage.m_strBook.back())))
            passage.m_strBook += c;
    }
    if (passage.m_strBook.empty())
        return std::nullopt;
    if (!hasColon || verseText.empty()) {
        passage.m_nVerse = 1;
        return passage;
    }
    const std::optional<int> verse = Number(verseText);
    if (!verse)
        return std::nullopt;
    passage.m_nVerse = *verse;
    return passage;
}

std::optional<SPassage> SplitReference(std::u16string_view reference) {
    const size_t n = reference.size();
    size_t i = 0;
    while (i < n && !IsDigit(reference[i])) ++i;
    SPassage parts;
    parts.m_strBook = reference.substr(0, i);
    const size_t chapterStart = i;
    while (i < n && IsDigit(reference[i])) ++i;
    const std::optional<int> chapter = Number(reference.substr(chapterStart, i - chapterStart));
    if (!chapter)
        return std::nullopt;
    parts.m_nChapter = *chapter;
    if (i == n)
        return parts;
    if (reference[i] != u':')
        return std::nullopt;
    ++i;
    while (i < n && IsBlank(reference[i])) ++i;
    if (i == n)
        return parts;
    const std::optional<int> verse = Number(reference.substr(i));
    if (!verse)
        return std::nullopt;
    parts.m_nVerse = *verse;
    return parts;
}

bool ReferenceHolds(const SPassage& reference, const SPassage& passage) {
    return reference.m_nChapter == passage.m_nChapter &&
           (reference.m_nVerse == passage.m_nVerse ||
            (reference.m_nVerse == 0 && passage.m_nVerse == 1));
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

}  // namespace tavrin
