// Reference.h - passages as the user types them ("요3:16", "요한복음 3:16",
// "창1") and references as the lists hold them ("요3: 16", "창1:1"), taken
// apart into book, chapter and verse.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// A book (a name of the book list, or the book part of its references), a
// chapter and a verse. Verse 0 stands for a reference that names no verse.
struct SPassage {
    std::u16string m_strBook;
    int m_nChapter = 0;
    int m_nVerse = 0;
};

// Reads typed text as book, chapter and verse: the book comes first, then the
// chapter number, then ':' and the verse number; blanks may stand around each
// part ("요 3 : 16"), and full-width digits, colon and blanks count as their
// ASCII forms. A chapter without a verse ("창1", "창1:") means verse 1. The
// book keeps its inner blanks, each run as one space. Refused (nullopt): no
// book, no chapter, a number that is 0 or above 2,147,483,647, or anything
// else in the text (a range, a letter after a number, a second colon).
std::optional<SPassage> ParsePassage(std::u16string_view typed);

// Takes a listed reference apart: its book part (every character before the
// first digit), the chapter number, then optionally ':', blanks and the verse
// number ("마1: 1" is 마, 1, 1; "창1:" and "창1" are 창, 1, verse 0). Nullopt
// when it has another shape or a number out of ParsePassage's range.
std::optional<SPassage> SplitReference(std::u16string_view reference);

// True when the listed reference stands for chapter and verse of passage:
// the same numbers, or a reference without a verse for verse 1.
bool ReferenceHolds(const SPassage& reference, const SPassage& passage);

// Book names compared as the user would: ASCII letters in either case.
bool SameBookName(std::u16string_view a, std::u16string_view b);

// The position (0-based verse index) of reference in a chapter's key/text
// pairs: the verse whose key is reference itself, else the verse whose number
// the reference names, else 0.
int VerseIndexOf(const std::vector<std::u16string>& verses, std::u16string_view reference);

}  // namespace tavrin
