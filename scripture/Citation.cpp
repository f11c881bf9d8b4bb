// Citation.cpp - references formatted, verses grouped into passages, texts put on one line.
#include "Citation.h"

#include "CodePage.h"

namespace tavrin {

namespace {

constexpr int kMaxVerseNumber = 999999;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads digits at text[pos...]; nullopt when there are none or the number
// passes kMaxVerseNumber.
std::optional<int> ReadNumber(std::u16string_view text, size_t& pos) {
    const size_t start = pos;
    int n = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        if (pos - start >= 6)
            return std::nullopt;
        n = n * 10 + (text[pos] - u'0');
    }
    if (pos == start || n > kMaxVerseNumber)
        return std::nullopt;
    return n;
}

std::u16string Cite(const std::u16string& reference, std::u16string_view text,
                    const SCitationFormat& format, std::u16string_view name) {
    const bool named = format.m_bWithName && !name.empty();
    std::u16string out;
    if (format.m_bReferenceLast) {
        out.append(text).append(u" (").append(reference);
        if (named)
            out.append(u", ").append(name);
        out += u')';
    } else {
        out.append(reference);
        if (named)
            out.append(u" (").append(name).append(u")");
        out.append(u" ").append(text);
    }
    return out;
}

bool Follows(const SCitedVerse& before, const SCitedVerse& after) {
    return after.m_strBook == before.m_strBook && after.m_strAbbr == before.m_strAbbr &&
           after.m_nChapter == before.m_nChapter && after.m_nVerse == before.m_nVerse + 1;
}

}  // namespace

int EncodeCitationFormat(const SCitationFormat& format) {
    return (format.m_bReferenceLast ? 1 : 0) | (format.m_bAbbreviated ? 2 : 0) |
           (format.m_bWithName ? 4 : 0);
}

SCitationFormat DecodeCitationFormat(int value) {
    if (value < 0 || value > 7)
        return {};
    return {(value & 1) != 0, (value & 2) != 0, (value & 4) != 0};
}

std::optional<SCitedVerse> CitedVerseOf(std::u16string_view book, std::u16string_view reference,
                                        std::u16string_view text) {
    size_t pos = 0;
    while (pos < reference.size() && !IsDigit(reference[pos])) ++pos;
    SCitedVerse verse;
    verse.m_strAbbr = reference.substr(0, pos);
    const std::optional<int> chapter = ReadNumber(reference, pos);
    if (!chapter || pos == reference.size() || reference[pos] != u':')
        return std::nullopt;
    for (++pos; pos < reference.size() && reference[pos] == u' ';) ++pos;
    const std::optional<int> number = ReadNumber(reference, pos);
    if (!number || pos != reference.size() || *chapter == 0 || *number == 0)
        return std::nullopt;
    verse.m_strBook = book;
    verse.m_nChapter = *chapter;
    verse.m_nVerse = *number;
    verse.m_strText = text;
    return verse;
}

std::u16string FormatReference(const SCitedVerse& first, int lastVerse, bool abbreviated) {
    const bool useAbbr = abbreviated ? !first.m_strAbbr.empty() : first.m_strBook.empty();
    std::u16string out = useAbbr ? first.m_strAbbr : first.m_strBook + u' ';
    out += DecimalUtf16(first.m_nChapter) + u':' + DecimalUtf16(first.m_nVerse);
    if (lastVerse != first.m_nVerse)
        out += u'-' + DecimalUtf16(lastVerse);
    return out;
}

std::u16string CiteVerses(const std::vector<SCitedVerse>& verses, const SCitationFormat& format,
                          std::u16string_view name) {
    if (verses.empty())
        return {};
    bool onePassage = true;
    for (size_t i = 1; i < verses.size() && onePassage; ++i)
        onePassage = Follows(verses[i - 1], verses[i]);
    if (onePassage && verses.size() > 1) {
        std::u16string text;
        for (const SCitedVerse& v : verses) {
            if (!text.empty())
                text += u' ';
            text += DecimalUtf16(v.m_nVerse) + u' ' + OneLine(v.m_strText);
        }
        return Cite(FormatReference(verses.front(), verses.back().m_nVerse, format.m_bAbbreviated),
                    text, format, name);
    }
    std::u16string out;
    for (const SCitedVerse& v : verses) {
        if (!out.empty())
            out += u'\n';
        out += Cite(FormatReference(v, v.m_nVerse, format.m_bAbbreviated), OneLine(v.m_strText),
                    format, name);
    }
    return out;
}

std::u16string CiteReferences(const CStoreSet& set, Testament testament, std::u16string_view book,
                              const std::vector<std::u16string>& references,
                              const SCitationFormat& format, std::u16string_view name) {
    std::vector<SCitedVerse> verses;
    if (!set.AreStoresOpen())
        return {};
    for (const std::u16string& reference : references) {
        if (auto verse = CitedVerseOf(book, reference, set.ReadReferenceText(testament, reference)))
            verses.push_back(std::move(*verse));
    }
    return CiteVerses(verses, format, name);
}

std::u16string CiteText(const SCitedVerse& first, int lastVerse, std::u16string_view text,
                        const SCitationFormat& format, std::u16string_view name) {
    return Cite(FormatReference(first, lastVerse, format.m_bAbbreviated), OneLine(text), format,
                name);
}

std::u16string OneLine(std::u16string_view text) {
    auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    std::u16string out;
    for (size_t i = begin; i < end;) {
        size_t run = i;
        bool hasBreak = false;
        for (; run < end && isSpace(text[run]); ++run)
            hasBreak = hasBreak || text[run] == u'\r' || text[run] == u'\n';
        if (run == i) {
            out += text[i++];
        } else if (hasBreak) {
            out += u' ';
            i = run;
        } else {
            out.append(text.substr(i, run - i));
            i = run;
        }
    }
    return out;
}

}  // namespace tavrin
