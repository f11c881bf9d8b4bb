// Reference.h - the one reference grammar: passages as the user types them ("요3:16",
// "요한복음 3장 16절", "요3:16-18") and references as the lists and keys hold them ("요3: 16",
// "창1:1", "시23:"), taken apart into book, chapter and verses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// The verse of a passage that names none: the whole chapter.
inline constexpr int kNoVerse = -1;

// A book (a name of the book list, or the book part of its references), a
// chapter and a run of verses in it. Numbers are as typed; 0 is kept, since
// only the set can say that a chapter or verse does not exist.
struct SPassage {
    std::u16string m_strBook;
    int m_nChapter = 0;
    int m_nVerse = kNoVerse;      // first verse, kNoVerse for the whole chapter
    int m_nLastVerse = kNoVerse;  // last verse: m_nVerse unless a range was typed

    bool IsWholeChapter() const { return m_nVerse == kNoVerse; }
    bool IsRange() const { return m_nLastVerse != m_nVerse; }
};

// What typed text is, as far as the grammar can tell without a store set.
enum class ESyntax {
    Passage,         // a book, a chapter and perhaps verses
    Empty,           // nothing but blanks
    NotReference,    // anything else, a number above 2,147,483,647 included
    Backwards,       // a range whose last verse comes before its first ("요3:18-16")
    AcrossChapters,  // a range into another chapter ("요3:16-4:2", "요3-4")
};

struct SParsedPassage {
    ESyntax m_syntax = ESyntax::Empty;
    SPassage m_passage;  // set only for ESyntax::Passage
};

// Longest typed text that is read; longer text is no reference (a book name
// has at most 29 characters, a number 10 digits).
inline constexpr size_t kMaxTypedChars = 1000;

// Reads typed text. The grammar: a book, then the chapter number, then either
// nothing ("요3"), ':' or '.' and nothing ("시23:"), or ':' or '.' and a verse
// ("요3:16", "요3.16"); "장" or "편" may follow the chapter and "절" the verse,
// and after "장" / "편" the verse needs no ':' ("요한복음 3장 16절", "시편 23편 1절").
// A verse may be followed by '-' or '~' and the range's last verse ("요3:16-18",
// "요3장 16-18절"). Blanks may stand around each part; full-width digits,
// colon, full stop, hyphen, tilde and blanks count as their ASCII forms. The
// book is the text before the chapter number, trimmed, each run of blanks as
// one space, and may open with a number ("1 John 3:16").
SParsedPassage ReadPassage(std::u16string_view typed);

// ReadPassage's passage, or nullopt when the text is not one.
std::optional<SPassage> ParsePassage(std::u16string_view typed);

// A listed reference read by the same grammar ("마1: 1" is 마 1:1, "시3" and
// "창1:" the whole chapter); nullopt when it is no passage or a range.
std::optional<SPassage> SplitReference(std::u16string_view reference);

// Book names compared as the user would: ASCII letters in either case.
bool SameBookName(std::u16string_view a, std::u16string_view b);

// The position (0-based verse index) of reference in a chapter's key/text
// pairs: the verse whose key is reference itself, else the verse whose number
// the reference names, else 0.
int VerseIndexOf(const std::vector<std::u16string>& verses, std::u16string_view reference);

// A chapter reference as chapter stepping reads it: up to its first ':',
// every decimal digit, wherever it stands, belongs to the chapter number and
// every other character to the book part ("X2Y5:" is "XY" and 25; no digit
// gives 0). Nullopt when the number is above 2,147,483,647.
struct SChapterParts {
    std::u16string m_strBookPart;
    int m_nChapter = 0;
};
std::optional<SChapterParts> SplitChapterReference(std::u16string_view chapterReference);

// True when a digit stands in the book part of a chapter reference, before
// its final run of digits: chapter stepping then reads another number than
// the one the reference shows ("X2Y5:").
bool BookPartHoldsDigit(std::u16string_view chapterReference);

// A verse key taken apart by testament's format ("X1:5" Old, "X1: 5" New):
// its chapter reference (with ':') and verse number. Nullopt for any other
// shape: no ':', no digit, a leading zero or more than six digits.
struct SVerseKey {
    std::u16string m_strChapter;
    int m_nVerse = 0;
};
std::optional<SVerseKey> SplitVerseKey(std::u16string_view key, Testament testament);

}  // namespace tavrin
