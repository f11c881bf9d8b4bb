// PassageFinder.h - a passage looked up in a store set: the book, which decides the testament,
// then its chapter and verses in the book's reference list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Reference.h"
#include "StoreSet.h"

namespace tavrin {

enum class EFound { Found, NoBook, NoChapter, NoVerse };

struct SFoundPassage {
    EFound m_result = EFound::NoBook;
    Testament m_testament = Testament::New;
    std::vector<std::u16string> m_arrBooks;       // the testament's book list
    int m_nBook = -1;                             // the book's index in it, -1 when none
    std::vector<std::u16string> m_arrReferences;  // the book's reference list
    std::vector<int> m_arrHits;  // the passage's references, indexes in list order (Found)
    int m_nChapters = 0;         // highest chapter the book lists
    int m_nVerses = 0;           // highest verse the chapter lists (Found, NoVerse)
    int m_nMissingVerse = 0;     // the verse the chapter does not list (NoVerse)

    // The book's name as its book list has it; empty when no book was found.
    std::u16string_view BookName() const;
};

// Finds book by its name in a book list (SameBookName), else by the book part
// of its references ("요" for 요한복음), each time in the testament first
// before the other. m_result is Found with the book's lists, or NoBook (also
// when the stores are not all open).
SFoundPassage FindBook(const CStoreSet& stores, std::u16string_view book, Testament first);

// Finds passage: its book (FindBook), then the listed references of its
// chapter, then those of its verses (a reference without a verse counts as
// verse 1). A whole chapter gives every reference of the chapter; a range
// needs its first and last verse listed and gives the references between.
// NoChapter or NoVerse say which part the book's list lacks.
SFoundPassage FindPassage(const CStoreSet& stores, const SPassage& passage, Testament first);

}  // namespace tavrin
