// SearchQuery.h - a parsed search query, the prepared form texts are compared in, and text
// matching.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Longest query accepted, in UTF-16 code units of the query as typed; longer
// ones are refused (EQueryStatus::TooLong), so no query can make a search
// run long. A whole verse of the longest books still fits.
inline constexpr size_t kMaxQueryChars = 500;

enum class EQueryStatus {
    Ready,        // at least one term: the query can be searched
    NoTerms,      // empty, or only white space and quotes: searches nothing
    TooLong,      // more than kMaxQueryChars code units
    InvalidText,  // a lone surrogate, or (FromUtf8) bytes that are not UTF-8
};

// One term, in prepared form (PrepareSearchText). An initial-consonant term
// (only Hangul compatibility consonants U+3131..U+314E) is kept as its
// initials, each 1 + the initial's index (ㄱ 1, ㄲ 2, ... ㅎ 19); when one of
// its letters is a final-only cluster (ㄳ ㄵ ㄶ ㄺ..ㅀ ㅄ), which begins no
// syllable, m_strInitials is empty and the term matches nothing.
struct SSearchTerm {
    std::u16string m_strText;
    bool m_bInitials = false;
    std::string m_strInitials;

    // Code units a match of the term covers in prepared text.
    size_t Length() const { return m_bInitials ? m_strInitials.size() : m_strText.size(); }
    bool CanMatch() const { return Length() > 0; }
};

// A range of UTF-16 code units [m_nStart, m_nEnd) of an original text.
struct STextRange {
    size_t m_nStart = 0;
    size_t m_nEnd = 0;
    bool operator==(const STextRange&) const = default;
};

// Appends the prepared form of text to prepared: NFC, then simple case
// folding, then every white space character (and U+0000) dropped. When
// origins is not null it gets, per appended code unit, the range of text it
// came from (the characters NFC composed it from, so a match maps back to
// whole characters). Lone surrogates pass through unchanged. Never fails.
void PrepareSearchText(std::u16string_view text, std::u16string& prepared,
                       std::vector<STextRange>* origins = nullptr);

// Where term next matches prepared text at or after from; npos when it does
// not. A match never spans a U+0000; an initial-consonant term matches only
// Hangul syllables.
size_t FindSearchTerm(const SSearchTerm& term, std::u16string_view prepared, size_t from = 0);

// A query split into terms. White space separates terms, a double-quoted part
// ('"') is one term with its spaces (an unclosed quote runs to the end), and
// terms are compared in prepared form, so spacing, Latin case and composed or
// decomposed input make no difference. A text matches when every term occurs
// in it: an initial-consonant term as a run of consecutive Hangul syllables
// with those initials, any other term as a substring.
class CSearchQuery {
public:
    // An empty query (NoTerms).
    CSearchQuery() = default;
    // Parses query; Status() tells whether it can be searched.
    explicit CSearchQuery(std::u16string_view query);
    // The same for a UTF-8 query; bytes that are not UTF-8 give InvalidText.
    static CSearchQuery FromUtf8(std::string_view query);

    EQueryStatus Status() const { return m_status; }
    bool IsReady() const { return m_status == EQueryStatus::Ready; }
    // The distinct terms, in the order typed; empty unless Ready.
    const std::vector<SSearchTerm>& Terms() const { return m_arrTerms; }

    // Where the terms occur in text, in its UTF-16 code units, sorted, with
    // overlapping or touching ranges merged; a match spanning dropped white
    // space covers it. Empty when the query is not Ready or nothing occurs.
    std::vector<STextRange> MatchedRanges(std::u16string_view text) const;

private:
    EQueryStatus m_status = EQueryStatus::NoTerms;
    std::vector<SSearchTerm> m_arrTerms;
};

}  // namespace tavrin
