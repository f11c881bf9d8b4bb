// PassageFinder.cpp - books, chapters and verses of a passage found in the lists of a store set.
#include "PassageFinder.h"

#include <algorithm>
#include <optional>

namespace tavrin {

namespace {

Testament Other(Testament t) {
    return t == Testament::Old ? Testament::New : Testament::Old;
}

// The verse a listed reference stands for: a reference without one is verse 1.
int VerseOf(const SPassage& reference) {
    return reference.IsWholeChapter() ? 1 : reference.m_nVerse;
}

bool HasAbbreviation(const std::vector<std::u16string>& references, std::u16string_view book) {
    return std::any_of(references.begin(), references.end(), [book](const std::u16string& r) {
        // Only a reference that opens like the book is worth the grammar: a
        // whole testament's lists are read for each abbreviation.
        const size_t start = r.find_first_not_of(u' ');
        if (start == std::u16string::npos || !SameBookName(r.substr(start, 1), book.substr(0, 1)))
            return false;
        const std::optional<SPassage> parts = SplitReference(r);
        return parts && SameBookName(parts->m_strBook, book);
    });
}

}  // namespace

std::u16string_view SFoundPassage::BookName() const {
    if (m_nBook < 0 || static_cast<size_t>(m_nBook) >= m_arrBooks.size())
        return {};
    return m_arrBooks[static_cast<size_t>(m_nBook)];
}

SFoundPassage FindBook(const CStoreSet& stores, std::u16string_view book, Testament first) {
    SFoundPassage found;
    if (!stores.AreStoresOpen() || book.empty())
        return found;
    // Names first: they need only the book lists, abbreviations every reference list.
    for (const bool byAbbreviation : {false, true}) {
        for (const Testament testament : {first, Other(first)}) {
            std::vector<std::u16string> books = stores.ReadBookList(testament);
            for (size_t b = 0; b < books.size(); ++b) {
                if (!byAbbreviation && !SameBookName(books[b], book))
                    continue;
                std::vector<std::u16string> references =
                    stores.ReadReferenceList(testament, books[b]);
                if (byAbbreviation && !HasAbbreviation(references, book))
                    continue;
                found.m_result = EFound::Found;
                found.m_testament = testament;
                found.m_arrBooks = std::move(books);
                found.m_nBook = static_cast<int>(b);
                found.m_arrReferences = std::move(references);
                return found;
            }
        }
    }
    return found;
}

SFoundPassage FindPassage(const CStoreSet& stores, const SPassage& passage, Testament first) {
    SFoundPassage found = FindBook(stores, passage.m_strBook, first);
    if (found.m_result != EFound::Found)
        return found;
    const int firstVerse = passage.IsWholeChapter() ? 0 : passage.m_nVerse;
    const int lastVerse = passage.IsWholeChapter() ? 0 : passage.m_nLastVerse;
    bool chapterListed = false, firstListed = false, lastListed = false;
    for (size_t r = 0; r < found.m_arrReferences.size(); ++r) {
        const std::optional<SPassage> parts = SplitReference(found.m_arrReferences[r]);
        if (!parts)
            continue;
        found.m_nChapters = std::max(found.m_nChapters, parts->m_nChapter);
        if (parts->m_nChapter != passage.m_nChapter)
            continue;
        chapterListed = true;
        const int verse = VerseOf(*parts);
        found.m_nVerses = std::max(found.m_nVerses, verse);
        firstListed = firstListed || verse == firstVerse;
        lastListed = lastListed || verse == lastVerse;
        if (passage.IsWholeChapter() || (verse >= firstVerse && verse <= lastVerse))
            found.m_arrHits.push_back(static_cast<int>(r));
    }
    if (!chapterListed) {
        found.m_result = EFound::NoChapter;
    } else if (!passage.IsWholeChapter() && !(firstListed && lastListed)) {
        found.m_result = EFound::NoVerse;
        found.m_nMissingVerse = firstListed ? lastVerse : firstVerse;
    }
    if (found.m_result != EFound::Found)
        found.m_arrHits.clear();
    return found;
}

}  // namespace tavrin
