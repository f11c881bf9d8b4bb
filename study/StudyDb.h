// StudyDb.h - the reader's own marks and notes: bookmarks, highlights and verse notes in one
// SQLite database, anchored to verses by testament and key.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "SearchQuery.h"
#include "Sqlite.h"
#include "StoreSet.h"

namespace tavrin {

// Kinds in the order an export lists them.
enum class EItemKind { Bookmark = 0, Highlight = 1, Note = 2 };
// The five highlight colours, fixed.
enum class EColour { Yellow, Green, Blue, Pink, Orange };

inline constexpr size_t kMaxLabelChars = 200;    // Unicode characters of a bookmark's label
inline constexpr size_t kMaxNoteChars = 100000;  // Unicode characters of a note
inline constexpr int kStudySchemaVersion = 3;    // PRAGMA user_version this code writes

std::string_view KindName(EItemKind kind);  // "bookmark", "highlight", "note"
std::optional<EItemKind> KindFromName(std::string_view name);
std::string_view ColourName(EColour colour);  // "yellow" ...
std::optional<EColour> ColourFromName(std::string_view name);

// A testament as the database's testament columns hold it: 0 Old, 1 New.
inline int TestamentCode(Testament testament) {
    return testament == Testament::Old ? 0 : 1;
}
inline Testament TestamentOfCode(int64_t code) {
    return code == 0 ? Testament::Old : Testament::New;
}

// Unicode characters of UTF-8 text (bytes that begin a character).
size_t CountChars(std::string_view utf8);

// A verse: its testament and key as the reference list shows it ("창1:1", "요3: 16").
struct SVerse {
    Testament m_testament = Testament::New;
    std::string m_strKey;  // UTF-8
    bool operator==(const SVerse&) const = default;
};

// One stored item. VALUE is a bookmark's label or a highlight's colour name
// (empty for a note); TEXT a note's text (empty otherwise); times are UTC
// seconds since the epoch.
struct SStudyItem {
    int64_t m_nId = 0;
    EItemKind m_kind = EItemKind::Note;
    SVerse m_verse;
    std::string m_strValue;
    std::string m_strText;
    int64_t m_nCreated = 0;
    int64_t m_nModified = 0;
};

// What a listing shows: kinds and (for highlights) colours to keep; empty keeps all.
struct SItemFilter {
    std::vector<EItemKind> m_arrKinds;
    std::vector<EColour> m_arrColours;
};

// Bible order of verse keys, from a store set's book and reference lists:
// Old Testament first, then books and references in list order.
class CBibleOrder {
public:
    // Reads every book's reference list of both testaments; false when the set
    // gives no book at all.
    bool Load(const CStoreSet& stores);
    // The rank of key, or nullopt when the set does not list it.
    std::optional<uint32_t> Rank(const SVerse& verse) const;
    // The testament that lists key (Old first when both do), or nullopt.
    std::optional<Testament> TestamentOf(std::string_view key) const;
    // The book whose list holds verse; empty when none.
    const std::u16string& BookOf(const SVerse& verse) const;

private:
    struct SPlace {
        uint32_t m_nRank;
        uint32_t m_nBook;
    };
    std::unordered_map<std::string, SPlace> m_mapOld, m_mapNew;
    std::vector<std::u16string> m_arrBooks;
};

// Sorts items in Bible order (keys the order lacks last, by testament and key),
// then kind, created, VALUE and TEXT: a total order for equal items' fields.
void SortInBibleOrder(std::vector<SStudyItem>& items, const CBibleOrder& order);

// The database. Every change runs in one transaction and either happens whole
// or not at all; a failed call returns false / nullopt and LastError() says why.
// Times come from the clock (UTC seconds), replaceable for tests.
class CStudyDb {
public:
    enum class EOpen { Opened, Newer, Failed };

    CStudyDb();
    CStudyDb(const CStudyDb&) = delete;
    CStudyDb& operator=(const CStudyDb&) = delete;

    // Opens (creating when missing) the database at path as it is, without the
    // damage checks of OpenStudyDatabase: WAL, foreign keys, a 5 s busy timeout,
    // and the schema migrated forward to kStudySchemaVersion in one transaction.
    // Newer: a later schema, the file left untouched and the database closed.
    EOpen Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_db.IsOpen(); }
    const std::string& LastError() const { return m_strError; }
    CSqlite& Connection() { return m_db; }
    void SetClock(std::function<int64_t()> now) { m_fnNow = std::move(now); }

    // The items of one chapter (chapter reference with ':', "창1:" or "요3:"), by verse, then kind
    // and id: what the reader paints.
    std::vector<SStudyItem> ChapterItems(Testament testament, std::string_view chapter);
    // Every item of the filter, by created time newest first when byDate, else in id order
    // (SortInBibleOrder puts them in the Bible's order). LastError() is empty after either
    // listing unless it failed.
    std::vector<SStudyItem> List(const SItemFilter& filter = {}, bool byDate = false);
    // Notes whose text holds every term of query (the scripture search's matching), newest first
    // as List by date orders them.
    std::vector<SStudyItem> FindNotes(const CSearchQuery& query);

    // Bookmarks on verses, one each: a verse that has one gets the label.
    // The label is one line of at most kMaxLabelChars.
    bool SetBookmark(const std::vector<SVerse>& verses, std::string_view label);
    // A highlight of colour on each verse, replacing another colour.
    bool SetHighlight(const std::vector<SVerse>& verses, EColour colour);
    // Removes the bookmark / highlight of each verse (undo as for Remove).
    bool ClearMarks(const std::vector<SVerse>& verses, EItemKind kind);
    // A new note on verse; its id.
    std::optional<int64_t> AddNote(const SVerse& verse, std::string_view text);
    bool EditNote(int64_t id, std::string_view text);
    // Removes items by id, kept so UndoRemove brings them back as they were.
    bool Remove(const std::vector<int64_t>& ids);
    // Puts back what the last removal took (once); false when nothing is kept or a mark
    // on the same verse has taken its place.
    bool UndoRemove();
    bool CanUndo() const { return !m_arrRemoved.empty(); }

    // Adds items of an import in one transaction: an equal item (kind, verse, VALUE and
    // TEXT) is skipped; a bookmark or highlight replaces the verse's one only when its
    // modified time is later. onProgress (if set) is called after each item. Counts come back.
    struct SImportCount {
        size_t m_nImported = 0;
        size_t m_nSkipped = 0;
    };
    std::optional<SImportCount> Import(const std::vector<SStudyItem>& items,
                                       const std::function<void(size_t)>& onProgress = {});

private:
    bool Fail(const std::string& what);
    bool CheckVerse(const SVerse& verse);
    bool CheckText(std::string_view text, bool label);
    bool InsertItem(const SStudyItem& item, bool keepId);
    bool RemoveWhere(const std::vector<SVerse>& verses, EItemKind kind);
    std::vector<SStudyItem> Select(const std::string& where,
                                   const std::function<void(CStatement&)>& bind);
    bool SetMark(const std::vector<SVerse>& verses, EItemKind kind, std::string_view value);

    CSqlite m_db;
    std::unique_ptr<CStatement> m_pInsert;  // prepared once: an import inserts many
    std::string m_strError;
    std::function<int64_t()> m_fnNow;
    std::vector<SStudyItem> m_arrRemoved;
    // Prepared note texts for FindNotes, valid while PRAGMA data_version and
    // m_nChanges are what they were when it was built.
    struct SPreparedNote {
        SStudyItem m_item;
        std::u16string m_strPrepared;
    };
    std::vector<SPreparedNote> m_arrNotes;
    int64_t m_nNotesVersion = -1;
    int64_t m_nNotesChanges = -1;
    int64_t m_nChanges = 0;
};

}  // namespace tavrin
