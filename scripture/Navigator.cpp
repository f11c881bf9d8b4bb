// Navigator.cpp - the book / reference / text cascade, chapter steps and notes.
#include "Navigator.h"

#include <algorithm>

#include "PassageFinder.h"
#include "PassageMessages.h"

namespace tavrin {

namespace {

template <typename T>
bool InRange(const std::vector<T>& items, int index) {
    return index >= 0 && static_cast<size_t>(index) < items.size();
}

int IndexOf(const std::vector<std::u16string>& items, std::u16string_view item) {
    const auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

}  // namespace

bool CNavigator::OpenStores(const std::string& folder,
                            const std::function<void(std::u16string_view)>& onMissing) {
    if (m_stores.AreStoresOpen())
        return true;
    return m_stores.OpenStores(folder, onMissing);
}

void CNavigator::ShowBookList(Testament bookListFrom) {
    m_arrBooks.clear();
    m_nBook = -1;
    if (!m_stores.AreStoresOpen())
        return;
    m_arrBooks = m_stores.ReadBookList(bookListFrom);
    SelectBook(0);
}

void CNavigator::SelectBook(int index) {
    m_nBook = InRange(m_arrBooks, index) ? index : -1;
    m_arrReferences.clear();
    m_nReference = -1;
    if (!m_stores.AreStoresOpen())
        return;
    m_arrReferences = m_stores.ReadReferenceList(m_testament, BookName());
    SelectReference(0);
}

void CNavigator::SelectReference(int index) {
    m_nReference = InRange(m_arrReferences, index) ? index : -1;
    if (!m_stores.AreStoresOpen())
        return;
    m_strText = m_stores.ReadReferenceText(m_testament, Reference());
}

bool CNavigator::Select(Testament testament, std::u16string_view book,
                        std::u16string_view reference) {
    if (!m_stores.AreStoresOpen())
        return false;
    std::vector<std::u16string> books = m_stores.ReadBookList(testament);
    const int bookIndex = IndexOf(books, book);
    if (bookIndex < 0)
        return false;
    std::vector<std::u16string> references = m_stores.ReadReferenceList(testament, book);
    const int referenceIndex = IndexOf(references, reference);
    if (referenceIndex < 0)
        return false;
    Adopt(testament, std::move(books), bookIndex, std::move(references), referenceIndex);
    return true;
}

bool CNavigator::Select(Testament testament, int bookIndex, int referenceIndex) {
    if (!m_stores.AreStoresOpen())
        return false;
    std::vector<std::u16string> books = m_stores.ReadBookList(testament);
    if (!InRange(books, bookIndex))
        return false;
    std::vector<std::u16string> references =
        m_stores.ReadReferenceList(testament, books[static_cast<size_t>(bookIndex)]);
    if (!InRange(references, referenceIndex))
        return false;
    Adopt(testament, std::move(books), bookIndex, std::move(references), referenceIndex);
    return true;
}

void CNavigator::Adopt(Testament testament, std::vector<std::u16string> books, int bookIndex,
                       std::vector<std::u16string> references, int referenceIndex) {
    m_testament = testament;
    m_arrBooks = std::move(books);
    m_nBook = bookIndex;
    m_arrReferences = std::move(references);
    SelectReference(referenceIndex);
}

std::u16string CNavigator::GoTo(std::u16string_view typed) {
    if (!m_stores.AreStoresOpen())
        return std::u16string(kMissingStoresMessage);
    const SParsedPassage parsed = ReadPassage(typed);
    SFoundPassage found;
    if (parsed.m_syntax == ESyntax::Passage)
        found = FindPassage(m_stores, parsed.m_passage, m_testament);
    if (parsed.m_syntax != ESyntax::Passage || found.m_result != EFound::Found)
        return GoToProblem(parsed, found);
    Adopt(found.m_testament, std::move(found.m_arrBooks), found.m_nBook,
          std::move(found.m_arrReferences), found.m_arrHits.front());
    return {};
}

std::u16string_view CNavigator::BookName() const {
    return InRange(m_arrBooks, m_nBook) ? std::u16string_view(m_arrBooks[m_nBook])
                                        : std::u16string_view();
}

std::u16string_view CNavigator::Reference() const {
    return InRange(m_arrReferences, m_nReference)
               ? std::u16string_view(m_arrReferences[m_nReference])
               : std::u16string_view();
}

void CNavigator::LoadChapter(std::u16string_view reference) {
    m_strChapter = ChapterReference(reference);
    m_arrWholeChapter = m_stores.LoadChapter(m_testament, m_strChapter, kMaxWholeChapterVerses);
    const size_t kept =
        std::min(m_arrWholeChapter.size(), static_cast<size_t>(2 * kMaxChapterVerses));
    m_arrVerses.assign(m_arrWholeChapter.begin(),
                       m_arrWholeChapter.begin() + static_cast<std::ptrdiff_t>(kept));
}

EChapterMove CNavigator::MoveChapter(EDirection direction) {
    const std::optional<SChapterPlace> place =
        NeighbourChapterInSet(m_stores, m_testament, m_strChapter, direction);
    if (!place)
        return direction == EDirection::Next ? EChapterMove::Missing : EChapterMove::NoNeighbour;
    if (place->m_bOtherBook) {
        Select(place->m_testament, place->m_strBook, place->m_strFirstReference);
        m_testament = place->m_testament;
    }
    LoadChapter(place->m_strChapter);
    return place->m_bOtherBook ? EChapterMove::OtherBook : EChapterMove::Moved;
}

std::optional<SListedPassage> CNavigator::NeighbourPassage(EDirection direction) const {
    if (Reference().empty())
        return std::nullopt;
    const std::optional<SChapterPlace> place =
        NeighbourChapterInSet(m_stores, m_testament, ChapterReference(Reference()), direction);
    if (!place)
        return std::nullopt;
    if (!place->m_strFirstReference.empty())
        return SListedPassage{place->m_testament, place->m_strBook, place->m_strFirstReference};
    // A step within the book leaves the first reference to the list at hand.
    for (const std::u16string& reference : m_arrReferences)
        if (ChapterReference(reference) == place->m_strChapter)
            return SListedPassage{m_testament, std::u16string(BookName()), reference};
    return std::nullopt;
}

std::u16string CNavigator::NoteEntry(std::u16string_view passage) const {
    return FormatNoteEntry(m_testament, BookName(), Reference(), passage);
}

ENoteResult CNavigator::AppendNote(const std::string& path, std::u16string_view entry) const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return tavrin::AppendNote(path, entry, local);
}

}  // namespace tavrin
