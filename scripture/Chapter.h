// Chapter.h - chapter references, verse keys, chapter layout and neighbours.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// Most verses a chapter read takes; verse 100 and later are never read.
inline constexpr int kMaxChapterVerses = 99;
// Most verses the layout that shows every verse reads.
inline constexpr int kMaxWholeChapterVerses = 999;
// Longest chapter reference in characters; longer ones are cut.
inline constexpr size_t kMaxChapterRefChars = 1023;
// Longest laid-out chapter text in characters; longer layouts are cut.
inline constexpr size_t kMaxChapterTextChars = 17999;

// The reference up to and including its first ':' (the whole of it without ':').
std::u16string ChapterReference(std::u16string_view reference);

// Appends verse number n to a chapter reference, making the verse's key:
// "%s%d" in the Old Testament, "%s %d" in the New. Serves UTF-16 keys and
// their code page 949 bytes alike, since the code page keeps ASCII as it is.
template <typename String>
void AppendVerseNumber(String& chapterReference, int n, Testament testament) {
    if (testament == Testament::New)
        chapterReference += ' ';
    for (char digit : std::to_string(n))
        chapterReference += static_cast<typename String::value_type>(digit);
}

// The key of verse n of chapterReference (AppendVerseNumber).
std::u16string VerseKey(std::u16string_view chapterReference, int n, Testament testament);

// Lays out verse pairs: "  [key]\r\n" then "text\r\n\r\n" for each verse,
// cut at kMaxChapterTextChars (never inside a surrogate pair).
std::u16string BuildChapterText(const std::vector<std::u16string>& verses);
// Characters of BuildChapterText's layout of verses before any cut.
size_t ChapterLayoutLength(const std::vector<std::u16string>& verses);

enum class EDirection { Next, Previous };

// The neighbouring chapter reference ("%s%d:", book part and chapter), or none:
// no previous before chapter 1, none when the number does not fit an int.
std::optional<std::u16string> NeighbourChapter(std::u16string_view chapterReference,
                                               EDirection direction);

// Where a step to a neighbouring chapter lands in the set's book order.
struct SChapterPlace {
    Testament m_testament = Testament::New;
    std::u16string m_strChapter;  // its chapter reference
    // True when the step left the book. Then, and whenever the book's list
    // was read, the book's name in its list and the chapter's first listed
    // reference; empty after the one-lookup step within a book.
    bool m_bOtherBook = false;
    std::u16string m_strBook;
    std::u16string m_strFirstReference;
};

// The chapter after (before) chapterReference of testament, reading the
// set's book order: within a book, NeighbourChapter when its verse 1 is in
// the text store, else the next (previous) chapter the book's reference list
// holds; past a book's last chapter the next book's first (before its first,
// the previous book's last), the Old Testament's last book running on into
// the New's first and back. Nullopt past the last book's last chapter,
// before the first book's first, or when no listed book holds
// chapterReference.
std::optional<SChapterPlace> NeighbourChapterInSet(const CStoreSet& set, Testament testament,
                                                   std::u16string_view chapterReference,
                                                   EDirection direction);

// The reader's title for a chapter of book: "요한복음 3장", psalms counted
// as "시편 23편". The chapter number is chapterReference's; without one the
// book name alone.
std::u16string ChapterTitle(std::u16string_view book, std::u16string_view chapterReference);

}  // namespace tavrin
