// SetInfo.h - what a store set says of itself beyond its texts: the short
// name shown for it ("개역한글", "KJV"), read beside its description.
#pragma once

#include <string>
#include <string_view>

#include "StoreSet.h"

namespace tavrin {

// Key of the set's short name in the Old Testament index store. Like
// kDescriptionKey it starts with a TAB, so no list can reach it.
inline constexpr std::string_view kShortNameKey = "\tshort-name";
// Longest short name in characters (Unicode code points).
inline constexpr size_t kMaxShortNameChars = 16;

// Characters of text counted as Unicode code points (a surrogate pair is one).
size_t CharacterCount(std::u16string_view text);

// The set's short name (kShortNameKey), cut to kMaxShortNameChars characters.
// Empty when the stores are not all open, the set has none, or the stored
// one holds a control character (a set tavrin-mkstore would not build).
std::u16string ReadShortName(const CStoreSet& set);

// The first words of a description, as a name for a set that has no short
// name: the longest run of its whole words (separated by blanks, U+0020 or
// U+3000, a run of them written as one U+0020) of at most kMaxShortNameChars
// characters; a first word longer than that is cut to it. "성경전서 개역한글판
// (1961) · 대한성서공회" gives "성경전서 개역한글판". Empty for a blank text.
std::u16string FirstWords(std::u16string_view description);

// How the set is named on screen: its short name, else FirstWords of its
// description, else empty (the caller then shows the set's id).
std::u16string SetDisplayName(const CStoreSet& set);

}  // namespace tavrin
