// BibleText.h - the verses read from a source, by book, chapter and verse, before encoding.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavrin {

// Verse texts in UTF-16, indexed by the position of the book in CBookTable.
// Chapters and verses count from 1; chapter c is Chapters(b)[c - 1], verse v
// of it [v - 1]. A reader fills it with no gap in chapters or verses.
class CBibleText {
public:
    using Chapter = std::vector<std::u16string>;

    // Appends a chapter (its verses in order) to book; chapters come in order.
    void AddChapter(int book, Chapter verses) { m_mapBooks[book].push_back(std::move(verses)); }
    // Books that hold at least one chapter, in canonical order.
    const std::map<int, std::vector<Chapter>>& Books() const { return m_mapBooks; }

    // What the reader left out, for the summary.
    std::vector<std::string> m_arrSkippedBooks;  // OSIS ids outside the 66, with text
    int m_nEmptyVersesKept = 0;                  // verses without text inside a chapter
    int m_nEmptyVersesDropped = 0;               // verses without text at a chapter's end
    std::string m_strSource;                     // module or file name

private:
    std::map<int, std::vector<Chapter>> m_mapBooks;
};

}  // namespace tavrin
