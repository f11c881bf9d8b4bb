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

// A listed passage of a set: testament, book as the book list names it, and
// the reference as the book's reference list holds it.
struct SListedPassage {
    Testament m_testament = Testament::New;
    std::u16string m_strBook;
    std::u16string m_strReference;

    bool operator==(const SListedPassage&) const = default;
};

// The first listed reference of the chapter before or after reference's
// chapter, the chapters read in the set's order: a book's chapters as its
// reference list holds them, then the next book of the book list, the Old
// Testament's books before the New's. Stepping back from a book's first
// chapter gives the previous book's last chapter. Books whose list is empty
// are passed over. Nullopt before the set's first chapter, past its last, when
// book or reference is not listed, or when the stores are not all open.
std::optional<SListedPassage> NeighbourChapterInSet(const CStoreSet& set, Testament testament,
                                                    std::u16string_view book,
                                                    std::u16string_view reference,
                                                    EDirection direction);

}  // namespace tavrin
