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

// The key of verse n: "%s%d" in the Old Testament, "%s %d" in the New.
std::u16string VerseKey(std::u16string_view chapterReference, int n, Testament testament);

// Lays out verse pairs: "  [key]\r\n" then "text\r\n\r\n" for each verse.
std::u16string BuildChapterText(const std::vector<std::u16string>& verses);

enum class EDirection { Next, Previous };

// The neighbouring chapter reference ("%s%d:", book part and chapter), or none:
// no previous before chapter 1, none when the number does not fit an int.
std::optional<std::u16string> NeighbourChapter(std::u16string_view chapterReference,
                                               EDirection direction);

}  // namespace tavrin
