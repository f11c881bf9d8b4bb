// Navigator.h - the navigator's state without windows: the store set, the
// chosen testament, book and reference with the reference's text, the chapter
// read last, and the notes the form's commands write.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Chapter.h"
#include "Notes.h"
#include "Reference.h"
#include "StoreSet.h"

namespace tavrin {

// What a step to the neighbouring chapter came to.
enum class EChapterMove {
    Moved,        // the chapter was read, in the same book
    OtherBook,    // the chapter was read in another book; the cascade followed
    NoNeighbour,  // no chapter before this one (창1): nothing read
    Missing       // no chapter after this one (계22): nothing read, the reader goes back
};

// A listed passage of the set: testament, book as the book list names it, and
// the reference as the book's reference list holds it.
struct SListedPassage {
    Testament m_testament = Testament::New;
    std::u16string m_strBook;
    std::u16string m_strReference;

    bool operator==(const SListedPassage&) const = default;
};

// Owns the store set and walks its cascade: a book list fills, its first book
// is chosen; a book's reference list fills, its first reference is chosen; a
// reference's text is read. Each level only reads when the stores are all
// open. Every choice reads the stores anew; nothing is cached.
class CNavigator {
public:
    // Opens the four stores of folder unless all four are open already (an
    // incomplete set is closed and tried again). onMissing gets the message
    // once when any store is missing. Returns AreStoresOpen().
    bool OpenStores(const std::string& folder,
                    const std::function<void(std::u16string_view)>& onMissing = {});
    bool AreStoresOpen() const { return m_stores.AreStoresOpen(); }
    void CloseStores() { m_stores.CloseStores(); }
    const CStoreSet& Stores() const { return m_stores; }

    // The testament the reference, text and chapter reads use.
    Testament GetTestament() const { return m_testament; }
    void SetTestament(Testament testament) { m_testament = testament; }

    // Empties the book list; with the stores all open, fills it from the
    // index store of bookListFrom (whatever the current testament is) and
    // chooses its first book (SelectBook(0)).
    void ShowBookList(Testament bookListFrom);
    // Chooses book index (an index outside the list chooses no book, whose
    // name is empty) and empties the reference list; with the stores all
    // open, fills it from the current testament's index store and chooses its
    // first reference (SelectReference(0)).
    void SelectBook(int index);
    // Chooses reference index (outside the list: none, an empty reference)
    // and, with the stores all open, reads its text from the current
    // testament's text store (an absent key reads as an empty text).
    void SelectReference(int index);

    // Moves the cascade to testament, then the book and reference named, as
    // if the user had picked each. False, with nothing changed, when the
    // stores are not open or the book or the reference is not listed.
    bool Select(Testament testament, std::u16string_view book, std::u16string_view reference);
    // The same by index in the book list and the reference list.
    bool Select(Testament testament, int bookIndex, int referenceIndex);
    // Moves the cascade to the passage typed (ReadPassage, then FindPassage
    // with the current testament first) as Select does: the book's testament,
    // lists and the passage's first reference. Empty when moved; otherwise,
    // with nothing changed, GoToProblem's message, or kMissingStoresMessage
    // when the stores are not all open.
    std::u16string GoTo(std::u16string_view typed);

    const std::vector<std::u16string>& Books() const { return m_arrBooks; }
    int BookIndex() const { return m_nBook; }
    std::u16string_view BookName() const;  // "" when no book is chosen
    const std::vector<std::u16string>& References() const { return m_arrReferences; }
    int ReferenceIndex() const { return m_nReference; }
    std::u16string_view Reference() const;  // "" when none is chosen
    const std::u16string& Text() const { return m_strText; }

    // Reads the chapter reference belongs to (verse keys and texts in pairs,
    // see CStoreSet::LoadChapter) into m_arrWholeChapter (up to
    // kMaxWholeChapterVerses) and its first kMaxChapterVerses verses into
    // m_arrVerses, and sets m_strChapter to its chapter reference, also when
    // the stores are not open (then no verse is read).
    void LoadChapter(std::u16string_view reference);
    // Loads the chapter before or after m_strChapter in the set's book order
    // (NeighbourChapterInSet). Into another book the cascade follows to that
    // chapter's first listed reference, testament included (OtherBook).
    // Before the first chapter NoNeighbour, past the last Missing, with
    // nothing changed.
    EChapterMove MoveChapter(EDirection direction);
    // The first listed reference of the chapter before or after the current
    // reference's chapter in the set's book order (NeighbourChapterInSet), for
    // the main window's chapter keys. Nullopt when none is chosen, before the
    // first chapter or past the last.
    std::optional<SListedPassage> NeighbourPassage(EDirection direction) const;
    void ClearVerses() {
        m_arrVerses.clear();
        m_arrWholeChapter.clear();
    }

    // The note entry of passage under the current testament, book and
    // reference (FormatNoteEntry).
    std::u16string NoteEntry(std::u16string_view passage) const;
    // Appends entry, stamped with the local time now, to the notes file at
    // path (tavrin::AppendNote).
    ENoteResult AppendNote(const std::string& path, std::u16string_view entry) const;

    std::vector<std::u16string> m_arrVerses;        // chapter read last: key, text, key, text...
    std::u16string m_strChapter;                    // its chapter reference, with ':'
    std::vector<std::u16string> m_arrWholeChapter;  // the same with every verse

private:
    // Takes the lists read for testament as the cascade's, with the entries
    // chosen, and reads the reference's text.
    void Adopt(Testament testament, std::vector<std::u16string> books, int bookIndex,
               std::vector<std::u16string> references, int referenceIndex);

    CStoreSet m_stores;
    Testament m_testament = Testament::New;
    std::vector<std::u16string> m_arrBooks;
    int m_nBook = -1;
    std::vector<std::u16string> m_arrReferences;
    int m_nReference = -1;
    std::u16string m_strText;
};

}  // namespace tavrin
