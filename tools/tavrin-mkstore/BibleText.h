// BibleText.h - the verses read from a source, by book, chapter and verse, before encoding.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavrin {

// Verse texts in UTF-16, by the position of the book in CBookTable and the
// chapter number. Verse v of a chapter is its [v - 1]: a reader fills each
// chapter from verse 1 with no gap. Chapters may be missing (a partial Bible).
class CBibleText {
public:
    using Chapter = std::vector<std::u16string>;

    // Sets chapter number (from 1) of book to verses, given in order.
    void AddChapter(int book, int chapter, Chapter verses) {
        m_mapBooks[book][chapter] = std::move(verses);
    }
    // Books that hold at least one chapter, in canonical order; their chapters
    // by number.
    const std::map<int, std::map<int, Chapter>>& Books() const { return m_mapBooks; }

    // What the reader left out, for the summary.
    std::vector<std::string> m_arrSkippedBooks;  // OSIS ids outside the 66, with text
    int m_nEmptyVersesKept = 0;                  // verses without text inside a chapter
    int m_nEmptyVersesDropped = 0;               // verses without text at a chapter's end
    std::string m_strSource;                     // module or file name
    std::u16string m_strTitle;                   // description of the text, from the source
    std::u16string m_strShortName;               // the set's short name ("개역한글"), if given

private:
    std::map<int, std::map<int, Chapter>> m_mapBooks;
};

}  // namespace tavrin
