// StudyDb.cpp - the marks-and-notes database: schema and its migrations, changes, listings.
#include "StudyDb.h"

#include <algorithm>
#include <ctime>
#include <tuple>

#include "CodePage.h"
#include "Reference.h"

namespace tavrin {

namespace {

constexpr std::string_view kKindNames[] = {"bookmark", "highlight", "note"};
constexpr std::string_view kColourNames[] = {"yellow", "green", "blue", "pink", "orange"};

// Forward steps: step i takes user_version i to i + 1. Version 0 is an empty file.
// Version 1 kept no chapter, so painting a chapter scanned every item; version 2 adds
// the chapter and verse number and indexes them.
constexpr const char* kMigrations[] = {
    "CREATE TABLE item(id INTEGER PRIMARY KEY, kind INTEGER NOT NULL CHECK(kind BETWEEN 0 AND 2),"
    " testament INTEGER NOT NULL CHECK(testament IN (0, 1)), key TEXT NOT NULL,"
    " value TEXT NOT NULL DEFAULT '', text TEXT NOT NULL DEFAULT '',"
    " created INTEGER NOT NULL, modified INTEGER NOT NULL);",
    "ALTER TABLE item ADD COLUMN chapter TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE item ADD COLUMN verse INTEGER NOT NULL DEFAULT 0;"
    "UPDATE item SET chapter = substr(key, 1, instr(key, ':')),"
    " verse = CAST(trim(substr(key, instr(key, ':') + 1)) AS INTEGER);"
    "CREATE INDEX item_chapter ON item(testament, chapter, verse);"
    "CREATE UNIQUE INDEX item_mark ON item(testament, key, kind) WHERE kind < 2;"
    // An import's check for an equal note: by the text's start, without indexing whole notes.
    "CREATE INDEX item_note ON item(testament, key, substr(text, 1, 40)) WHERE kind = 2;",
    // Version 3: reading plans followed, each with its days as computed when it started, so a
    // later set or program never moves them; read marks by (plan, day, position); settings.
    "CREATE TABLE plan(id INTEGER PRIMARY KEY, plan_id TEXT NOT NULL, name TEXT NOT NULL,"
    " start_day INTEGER NOT NULL, stopped INTEGER NOT NULL DEFAULT 0 CHECK(stopped IN (0, 1)));"
    "CREATE TABLE plan_reading(plan INTEGER NOT NULL REFERENCES plan(id) ON DELETE CASCADE,"
    " day INTEGER NOT NULL CHECK(day >= 1), position INTEGER NOT NULL CHECK(position >= 0),"
    " testament INTEGER NOT NULL CHECK(testament IN (0, 1)), book TEXT NOT NULL,"
    " chapter TEXT NOT NULL, number INTEGER NOT NULL, PRIMARY KEY(plan, day, position))"
    " WITHOUT ROWID;"
    "CREATE INDEX plan_reading_chapter ON plan_reading(testament, chapter);"
    "CREATE TABLE plan_mark(plan INTEGER NOT NULL, day INTEGER NOT NULL,"
    " position INTEGER NOT NULL, marked INTEGER NOT NULL, PRIMARY KEY(plan, day, position),"
    " FOREIGN KEY(plan, day, position) REFERENCES plan_reading ON DELETE CASCADE) WITHOUT ROWID;"
    "CREATE TABLE setting(name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;",
};
static_assert(std::size(kMigrations) == kStudySchemaVersion);

constexpr const char* kColumns =
    "SELECT id, kind, testament, key, value, text, created, modified FROM item ";

SStudyItem ReadItem(const CStatement& row) {
    SStudyItem item;
    item.m_nId = row.Int(0);
    item.m_kind = static_cast<EItemKind>(std::clamp<int64_t>(row.Int(1), 0, 2));
    item.m_verse.m_testament = TestamentOfCode(row.Int(2));
    item.m_verse.m_strKey = row.Text(3);
    item.m_strValue = row.Text(4);
    item.m_strText = row.Text(5);
    item.m_nCreated = row.Int(6);
    item.m_nModified = row.Int(7);
    return item;
}

}  // namespace

std::string_view KindName(EItemKind kind) {
    return kKindNames[static_cast<int>(kind)];
}

std::optional<EItemKind> KindFromName(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (kKindNames[i] == name)
            return static_cast<EItemKind>(i);
    return std::nullopt;
}

std::string_view ColourName(EColour colour) {
    return kColourNames[static_cast<int>(colour)];
}

std::optional<EColour> ColourFromName(std::string_view name) {
    for (int i = 0; i < 5; ++i)
        if (kColourNames[i] == name)
            return static_cast<EColour>(i);
    return std::nullopt;
}

size_t CountChars(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool CBibleOrder::Load(const CStoreSet& stores) {
    m_mapOld.clear();
    m_mapNew.clear();
    m_arrBooks.clear();
    uint32_t rank = 0;
    for (Testament testament : {Testament::Old, Testament::New}) {
        auto& map = testament == Testament::Old ? m_mapOld : m_mapNew;
        for (const std::u16string& book : stores.ReadBookList(testament)) {
            const auto bookIndex = static_cast<uint32_t>(m_arrBooks.size());
            m_arrBooks.push_back(book);
            for (const std::u16string& key : stores.ReadReferenceList(testament, book))
                map.emplace(Utf16ToUtf8(key), SPlace{rank++, bookIndex});
        }
    }
    return !m_arrBooks.empty();
}

std::optional<uint32_t> CBibleOrder::Rank(const SVerse& verse) const {
    const auto& map = verse.m_testament == Testament::Old ? m_mapOld : m_mapNew;
    const auto found = map.find(verse.m_strKey);
    if (found == map.end())
        return std::nullopt;
    return found->second.m_nRank;
}

std::optional<Testament> CBibleOrder::TestamentOf(std::string_view key) const {
    const std::string k(key);
    if (m_mapOld.count(k) != 0)
        return Testament::Old;
    if (m_mapNew.count(k) != 0)
        return Testament::New;
    return std::nullopt;
}

const std::u16string& CBibleOrder::BookOf(const SVerse& verse) const {
    static const std::u16string none;
    const auto& map = verse.m_testament == Testament::Old ? m_mapOld : m_mapNew;
    const auto found = map.find(verse.m_strKey);
    return found == map.end() ? none : m_arrBooks[found->second.m_nBook];
}

void SortInBibleOrder(std::vector<SStudyItem>& items, const CBibleOrder& order) {
    constexpr uint32_t kUnlisted = UINT32_MAX;
    std::vector<std::pair<uint32_t, size_t>> ranks(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        ranks[i] = {order.Rank(items[i].m_verse).value_or(kUnlisted), i};
    const auto fields = [&](const std::pair<uint32_t, size_t>& r) {
        const SStudyItem& item = items[r.second];
        return std::tie(r.first, item.m_verse.m_testament, item.m_verse.m_strKey, item.m_kind,
                        item.m_nCreated, item.m_strValue, item.m_strText);
    };
    std::stable_sort(ranks.begin(), ranks.end(),
                     [&](const auto& a, const auto& b) { return fields(a) < fields(b); });
    std::vector<SStudyItem> sorted;
    sorted.reserve(items.size());
    for (const auto& r : ranks) sorted.push_back(std::move(items[r.second]));
    items = std::move(sorted);
}

CStudyDb::CStudyDb() : m_fnNow([] { return static_cast<int64_t>(std::time(nullptr)); }) {}

CStudyDb::EOpen CStudyDb::Open(const std::string& path) {
    Close();
    m_strError.clear();
    if (!m_db.Open(path, false, true)) {
        Fail("cannot open " + path);
        return EOpen::Failed;
    }
    if (!m_db.Exec("PRAGMA busy_timeout = 5000")) {
        Fail("cannot open " + path);
        Close();
        return EOpen::Failed;
    }
    const int64_t version = m_db.QueryInt("PRAGMA user_version");
    if (version < 0) {
        Fail("cannot read " + path);
        Close();
        return EOpen::Failed;
    }
    if (version > kStudySchemaVersion) {
        m_strError = path + " was written by a newer Tavrin (schema " + std::to_string(version) +
                     ", this one knows " + std::to_string(kStudySchemaVersion) + ")";
        Close();
        return EOpen::Newer;
    }
    if (!m_db.Exec("PRAGMA journal_mode = WAL; PRAGMA foreign_keys = ON;")) {
        Fail("cannot set up " + path);
        Close();
        return EOpen::Failed;
    }
    if (version < kStudySchemaVersion) {
        CTransaction transaction(m_db);
        // Another process may have migrated it while this one waited.
        const int64_t now = m_db.QueryInt("PRAGMA user_version");
        bool ok = transaction.IsBegun() && now >= 0;
        for (int64_t step = now; ok && step < kStudySchemaVersion; ++step)
            ok = m_db.Exec(kMigrations[step]);
        const std::string setVersion =
            "PRAGMA user_version = " + std::to_string(kStudySchemaVersion);
        if (!ok || !m_db.Exec(setVersion.c_str()) || !transaction.Commit()) {
            Fail("cannot update the schema of " + path);
            Close();
            return EOpen::Failed;
        }
    }
    return EOpen::Opened;
}

void CStudyDb::Close() {
    m_pInsert.reset();
    m_db.Close();
    m_arrRemoved.clear();
    m_arrNotes.clear();
    m_nNotesVersion = -1;
}

bool CStudyDb::Fail(const std::string& what) {
    m_strError = what;
    if (m_db.IsOpen())
        m_strError += ": " + m_db.LastError();
    return false;
}

bool CStudyDb::CheckVerse(const SVerse& verse) {
    if (!SplitVerseKey(Utf8ToUtf16(verse.m_strKey), verse.m_testament)) {
        m_strError = "'" + verse.m_strKey + "' is no verse";
        return false;
    }
    return true;
}

bool CStudyDb::CheckText(std::string_view text, bool label) {
    if (!IsWellFormedUtf8(text)) {
        m_strError = "the text is not valid UTF-8";
        return false;
    }
    if (label && text.find_first_of("\r\n") != text.npos) {
        m_strError = "a label is one line";
        return false;
    }
    const size_t limit = label ? kMaxLabelChars : kMaxNoteChars;
    if (CountChars(text) > limit) {
        m_strError = std::string(label ? "a label" : "a note") + " holds at most " +
                     std::to_string(limit) + " characters";
        return false;
    }
    return true;
}

bool CStudyDb::InsertItem(const SStudyItem& item, bool keepId) {
    const auto split = SplitVerseKey(Utf8ToUtf16(item.m_verse.m_strKey), item.m_verse.m_testament);
    if (!m_pInsert)
        m_pInsert = std::make_unique<CStatement>(
            m_db,
            "INSERT INTO item(id, kind, testament, key, value, text, created, modified, chapter,"
            " verse) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    CStatement& insert = *m_pInsert;
    insert.Reset();
    if (keepId)
        insert.Bind(1, item.m_nId);
    insert.Bind(2, static_cast<int64_t>(item.m_kind))
        .Bind(3, TestamentCode(item.m_verse.m_testament))
        .Bind(4, item.m_verse.m_strKey)
        .Bind(5, item.m_strValue)
        .Bind(6, item.m_strText)
        .Bind(7, item.m_nCreated)
        .Bind(8, item.m_nModified)
        .Bind(9, split ? Utf16ToUtf8(split->m_strChapter) : std::string())
        .Bind(10, split ? split->m_nVerse : 0);
    return insert.Run() || Fail("cannot add an item");
}

std::vector<SStudyItem> CStudyDb::Select(const std::string& where,
                                         const std::function<void(CStatement&)>& bind) {
    // A read that works leaves no earlier failure behind for a caller that checks LastError().
    m_strError.clear();
    std::vector<SStudyItem> items;
    CStatement select(m_db, (kColumns + where).c_str());
    if (bind)
        bind(select);
    while (select.Step()) items.push_back(ReadItem(select));
    if (select.Failed())
        Fail("cannot read the items");
    return items;
}

std::vector<SStudyItem> CStudyDb::ChapterItems(Testament testament, std::string_view chapter) {
    return Select("WHERE testament = ? AND chapter = ? ORDER BY verse, kind, id",
                  [&](CStatement& s) { s.Bind(1, TestamentCode(testament)).Bind(2, chapter); });
}

std::vector<SStudyItem> CStudyDb::List(const SItemFilter& filter, bool byDate) {
    std::string where;
    const auto join = [&where](const std::string& clause) {
        where += (where.empty() ? "WHERE " : " AND ") + clause;
    };
    if (!filter.m_arrKinds.empty()) {
        std::string kinds;
        for (EItemKind kind : filter.m_arrKinds)
            kinds += (kinds.empty() ? "" : ",") + std::to_string(static_cast<int>(kind));
        join("kind IN (" + kinds + ")");
    }
    if (!filter.m_arrColours.empty()) {
        std::string colours;
        for (EColour colour : filter.m_arrColours)
            colours += (colours.empty() ? "'" : ",'") + std::string(ColourName(colour)) + "'";
        join("(kind <> 1 OR value IN (" + colours + "))");
    }
    where += byDate ? " ORDER BY created DESC, id DESC" : " ORDER BY id";
    return Select(where, {});
}

std::vector<SStudyItem> CStudyDb::FindNotes(const CSearchQuery& query) {
    if (!query.IsReady())
        return {};
    const int64_t version = m_db.QueryInt("PRAGMA data_version");
    if (version != m_nNotesVersion || m_nChanges != m_nNotesChanges) {
        m_arrNotes.clear();
        CStatement notes(m_db, (std::string(kColumns) + "WHERE kind = 2").c_str());
        while (notes.Step()) {
            SPreparedNote note{ReadItem(notes), {}};
            PrepareSearchText(Utf8ToUtf16(note.m_item.m_strText), note.m_strPrepared);
            m_arrNotes.push_back(std::move(note));
        }
        m_nNotesVersion = version;
        m_nNotesChanges = m_nChanges;
    }
    std::vector<SStudyItem> found;
    for (const SPreparedNote& note : m_arrNotes) {
        const bool all =
            std::all_of(query.Terms().begin(), query.Terms().end(), [&](const auto& t) {
                return FindSearchTerm(t, note.m_strPrepared) != std::u16string_view::npos;
            });
        if (all)
            found.push_back(note.m_item);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.m_nCreated, a.m_nId) > std::tie(b.m_nCreated, b.m_nId);
    });
    return found;
}

bool CStudyDb::SetMark(const std::vector<SVerse>& verses, EItemKind kind, std::string_view value) {
    for (const SVerse& verse : verses)
        if (!CheckVerse(verse))
            return false;
    CTransaction transaction(m_db);
    if (!transaction.IsBegun())
        return Fail("cannot change the database");
    const int64_t now = m_fnNow();
    CStatement update(m_db,
                      "UPDATE item SET value = ?, modified = ? WHERE testament = ? AND key = ?"
                      " AND kind = ? AND kind < 2");
    for (const SVerse& verse : verses) {
        update.Reset();
        if (!update.Bind(1, value)
                 .Bind(2, now)
                 .Bind(3, TestamentCode(verse.m_testament))
                 .Bind(4, verse.m_strKey)
                 .Bind(5, static_cast<int64_t>(kind))
                 .Run())
            return Fail("cannot change a mark");
        if (m_db.Changes() == 0 &&
            !InsertItem({0, kind, verse, std::string(value), {}, now, now}, false))
            return false;
    }
    ++m_nChanges;
    return transaction.Commit() || Fail("cannot commit");
}

bool CStudyDb::SetBookmark(const std::vector<SVerse>& verses, std::string_view label) {
    return CheckText(label, true) && SetMark(verses, EItemKind::Bookmark, label);
}

bool CStudyDb::SetHighlight(const std::vector<SVerse>& verses, EColour colour) {
    return SetMark(verses, EItemKind::Highlight, ColourName(colour));
}

bool CStudyDb::ClearMarks(const std::vector<SVerse>& verses, EItemKind kind) {
    std::vector<int64_t> ids;
    CStatement find(
        m_db, "SELECT id FROM item WHERE testament = ? AND key = ? AND kind = ? AND kind < 2");
    for (const SVerse& verse : verses) {
        find.Reset();
        find.Bind(1, TestamentCode(verse.m_testament))
            .Bind(2, verse.m_strKey)
            .Bind(3, static_cast<int64_t>(kind));
        while (find.Step()) ids.push_back(find.Int(0));
    }
    return Remove(ids);
}

std::optional<int64_t> CStudyDb::AddNote(const SVerse& verse, std::string_view text) {
    if (!CheckVerse(verse) || !CheckText(text, false))
        return std::nullopt;
    const int64_t now = m_fnNow();
    CTransaction transaction(m_db);
    if (!InsertItem({0, EItemKind::Note, verse, {}, std::string(text), now, now}, false))
        return std::nullopt;
    const int64_t id = m_db.QueryInt("SELECT last_insert_rowid()");
    ++m_nChanges;
    if (!transaction.Commit()) {
        Fail("cannot commit");
        return std::nullopt;
    }
    return id;
}

bool CStudyDb::EditNote(int64_t id, std::string_view text) {
    if (!CheckText(text, false))
        return false;
    CStatement update(m_db, "UPDATE item SET text = ?, modified = ? WHERE id = ? AND kind = 2");
    if (!update.Bind(1, text).Bind(2, m_fnNow()).Bind(3, id).Run())
        return Fail("cannot change the note");
    ++m_nChanges;
    if (m_db.Changes() == 0) {
        m_strError = "no note " + std::to_string(id);
        return false;
    }
    return true;
}

bool CStudyDb::Remove(const std::vector<int64_t>& ids) {
    CTransaction transaction(m_db);
    if (!transaction.IsBegun())
        return Fail("cannot change the database");
    std::vector<SStudyItem> removed;
    CStatement remove(m_db,
                      "DELETE FROM item WHERE id = ? RETURNING id, kind, testament, key,"
                      " value, text, created, modified");
    for (int64_t id : ids) {
        remove.Reset();
        if (remove.Bind(1, id).Step())
            removed.push_back(ReadItem(remove));
        while (remove.Step()) {
        }
        if (remove.Failed())
            return Fail("cannot remove an item");
    }
    ++m_nChanges;
    if (!transaction.Commit())
        return Fail("cannot commit");
    m_arrRemoved = std::move(removed);
    return true;
}

bool CStudyDb::UndoRemove() {
    if (m_arrRemoved.empty()) {
        m_strError = "nothing to bring back";
        return false;
    }
    CTransaction transaction(m_db);
    for (const SStudyItem& item : m_arrRemoved)
        if (!InsertItem(item, true))
            return false;
    ++m_nChanges;
    if (!transaction.Commit())
        return Fail("cannot commit");
    m_arrRemoved.clear();
    return true;
}

std::optional<CStudyDb::SImportCount> CStudyDb::Import(
    const std::vector<SStudyItem>& items, const std::function<void(size_t)>& onProgress) {
    for (const SStudyItem& item : items)
        if (!CheckVerse(item.m_verse))
            return std::nullopt;
    CTransaction transaction(m_db);
    if (!transaction.IsBegun()) {
        Fail("cannot change the database");
        return std::nullopt;
    }
    SImportCount count;
    CStatement sameMark(m_db,
                        "SELECT id, value, modified, text FROM item WHERE testament = ? AND "
                        "key = ? AND kind = ? AND kind < 2");
    // Only the text's start is indexed; the rows it gives are compared whole.
    CStatement sameNote(m_db,
                        "SELECT id, value, modified, text FROM item WHERE testament = ? AND "
                        "key = ? AND kind = 2 AND substr(text, 1, 40) = substr(?3, 1, 40)");
    CStatement replace(
        m_db, "UPDATE item SET value = ?, text = ?, created = ?, modified = ? WHERE id = ?");
    for (size_t i = 0; i < items.size(); ++i) {
        const SStudyItem& item = items[i];
        const bool note = item.m_kind == EItemKind::Note;
        CStatement& same = note ? sameNote : sameMark;
        same.Reset();
        same.Bind(1, TestamentCode(item.m_verse.m_testament)).Bind(2, item.m_verse.m_strKey);
        if (note)
            same.Bind(3, item.m_strText);
        else
            same.Bind(3, static_cast<int64_t>(item.m_kind));
        bool present = false;
        while (!present && same.Step()) present = !note || same.Text(3) == item.m_strText;
        bool added = false;
        if (!present) {
            added = !same.Failed() && InsertItem(item, false);
            if (!added) {
                Fail("cannot import");
                return std::nullopt;
            }
        } else if (!note && same.Text(1) != item.m_strValue && item.m_nModified > same.Int(2)) {
            const int64_t id = same.Int(0);
            replace.Reset();
            if (!replace.Bind(1, item.m_strValue)
                     .Bind(2, item.m_strText)
                     .Bind(3, item.m_nCreated)
                     .Bind(4, item.m_nModified)
                     .Bind(5, id)
                     .Run()) {
                Fail("cannot import");
                return std::nullopt;
            }
            added = true;
        }
        ++(added ? count.m_nImported : count.m_nSkipped);
        if (onProgress)
            onProgress(i + 1);
    }
    ++m_nChanges;
    if (!transaction.Commit()) {
        Fail("cannot commit");
        return std::nullopt;
    }
    return count;
}

}  // namespace tavrin
