// Citation.h - verses copied with their reference ("요한복음 3:16 하나님이 ..."),
// in the format the user chose, and that choice's stored form.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// Where the reference stands, how the book is named, and whether the set's
// short name goes with it:
//   first: "REF TEXT", with the name "REF (NAME) TEXT";
//   last:  "TEXT (REF)", with the name "TEXT (REF, NAME)".
// REF is "요한복음 3:16" with full names, "요3:16" with abbreviations.
struct SCitationFormat {
    bool m_bReferenceLast = false;
    bool m_bAbbreviated = false;
    bool m_bWithName = false;

    bool operator==(const SCitationFormat&) const = default;
};

// The format as the state file keeps it: 0..7 (bit 0 reference last, bit 1
// abbreviations, bit 2 with the name). 0 is the default format.
int EncodeCitationFormat(const SCitationFormat& format);
// A value outside 0..7 gives the default format.
SCitationFormat DecodeCitationFormat(int value);

// One verse to cite.
struct SCitedVerse {
    std::u16string m_strBook;  // full name, as the book list holds it ("요한복음")
    std::u16string m_strAbbr;  // the book part of its keys ("요")
    int m_nChapter = 0;
    int m_nVerse = 0;
    std::u16string m_strText;
};

// The verse a listed reference of book stands for: the abbreviation is the
// reference's part before its first digit, then the chapter, ':', optional
// blanks and the verse ("요3: 16", "창1:1"). Nullopt when reference has
// another shape (no verse number, a number above 999,999).
std::optional<SCitedVerse> CitedVerseOf(std::u16string_view book, std::u16string_view reference,
                                        std::u16string_view text);

// The reference of chapter verses first..last of a book: "요한복음 3:16",
// "요3:16-18". An empty name of the kind asked for falls back to the other.
std::u16string FormatReference(const SCitedVerse& first, int lastVerse, bool abbreviated);

// Text for the clipboard. Verses (in the order given) that are consecutive
// verses of one chapter make one passage: REF spans them ("요한복음 3:16-18")
// and, with more than one verse, TEXT is each verse with its number in front,
// joined by one blank ("16 하나님이 ... 17 하나님이 ..."); a single verse is
// its text alone. Any other choice gives one line per verse, each cited
// alone, lines joined by '\n' (no '\n' at the end). Line breaks inside a
// text become one blank (see OneLine). name is the set's short name; with
// m_bWithName and an empty name, the name is left out. Empty for no verses.
std::u16string CiteVerses(const std::vector<SCitedVerse>& verses, const SCitationFormat& format,
                          std::u16string_view name);

// The chosen references of book (entries of its reference list in testament,
// in list order) read from set and cited by CiteVerses: what the main
// window's copy with the reference puts on the clipboard. A reference that is
// not a verse key (CitedVerseOf) is left out; empty when none is left or the
// stores are not all open.
std::u16string CiteReferences(const CStoreSet& set, Testament testament, std::u16string_view book,
                              const std::vector<std::u16string>& references,
                              const SCitationFormat& format, std::u16string_view name);

// A selection of running text cited as it stands: REF spans verses
// first..lastVerse of first's chapter, TEXT is text made one line (OneLine).
std::u16string CiteText(const SCitedVerse& first, int lastVerse, std::u16string_view text,
                        const SCitationFormat& format, std::u16string_view name);

// text on one line: a run of white space (blank, TAB, CR, LF) holding a line
// break becomes one blank; white space at the start and the end is removed;
// other runs stay as they are.
std::u16string OneLine(std::u16string_view text);

}  // namespace tavrin
