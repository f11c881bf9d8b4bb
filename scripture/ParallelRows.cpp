// ParallelRows.cpp - verses of several sets aligned by key, the passage kept across a switch of
// the main set, and the chosen sets held to the library.
#include "ParallelRows.h"

#include <algorithm>
#include <climits>
#include <map>
#include <utility>

#include "FileIo.h"
#include "Reference.h"

namespace tavrin {

namespace {

bool Contains(const std::vector<std::u16string>& list, std::u16string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The chapter number of a listed reference, 0 when it reads as none.
int ChapterOf(std::u16string_view reference) {
    const std::optional<SPassage> parts = SplitReference(reference);
    return parts ? parts->m_nChapter : 0;
}

std::optional<std::u16string> NoteAt(const std::vector<SDivision>& table, std::string_view setId,
                                     const SVerseKey& verse) {
    const std::optional<SChapterParts> chapter = SplitChapterReference(verse.m_strChapter);
    if (!chapter)
        return std::nullopt;
    return DivisionNote(table, setId, chapter->m_strBookPart, chapter->m_nChapter, verse.m_nVerse);
}

}  // namespace

std::optional<std::u16string> KeyNote(const std::vector<SDivision>& table, std::string_view setId,
                                      std::u16string_view key, Testament testament) {
    const std::optional<SVerseKey> verse = SplitVerseKey(key, testament);
    return verse ? NoteAt(table, setId, *verse) : std::nullopt;
}

std::vector<SParallelRow> AlignVerses(const std::vector<SParallelColumn>& columns,
                                      Testament testament, const std::vector<SDivision>& table) {
    // Keyed by verse number; keys of another shape sort after every verse, in the order met.
    struct SSlot {
        SParallelRow m_row;
        std::optional<SVerseKey> m_verse;
    };
    std::map<std::pair<int, int>, SSlot> rows;
    std::map<std::u16string, int> unread;
    for (size_t c = 0; c < columns.size(); ++c) {
        const std::vector<std::u16string>& verses = columns[c].m_arrVerses;
        for (size_t i = 0; i + 1 < verses.size(); i += 2) {
            const std::u16string& key = verses[i];
            std::optional<SVerseKey> verse = SplitVerseKey(key, testament);
            const int order = static_cast<int>(unread.size());
            const std::pair<int, int> at =
                verse ? std::pair{verse->m_nVerse, 0}
                      : std::pair{INT_MAX, unread.emplace(key, order).first->second};
            SSlot& slot = rows[at];
            if (slot.m_row.m_arrTexts.empty()) {
                slot.m_row.m_strKey = key;
                slot.m_row.m_arrTexts.resize(columns.size());
                slot.m_verse = std::move(verse);
            }
            if (!slot.m_row.m_arrTexts[c])
                slot.m_row.m_arrTexts[c] = verses[i + 1];
        }
    }
    std::vector<SParallelRow> out;
    out.reserve(rows.size());
    for (auto& [at, slot] : rows) {
        SParallelRow& row = slot.m_row;
        for (size_t c = 0; slot.m_verse && c < columns.size(); ++c) {
            const auto note = NoteAt(table, columns[c].m_strId, *slot.m_verse);
            if (note && !Contains(row.m_arrNotes, *note))
                row.m_arrNotes.push_back(*note);
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::u16string ParallelText(const std::vector<SParallelRow>& rows,
                            const std::vector<std::u16string>& names) {
    std::u16string text;
    for (const SParallelRow& row : rows) {
        text += row.m_strKey + u"\r\n";
        for (size_t c = 0; c < row.m_arrTexts.size(); ++c) {
            text += c < names.size() ? names[c] : std::u16string();
            text += u'\t';
            text += row.m_arrTexts[c].value_or(std::u16string());
            text += u"\r\n";
        }
        for (const std::u16string& note : row.m_arrNotes) text += u"※ " + note + u"\r\n";
        text += u"\r\n";
    }
    return text;
}

std::optional<SListedPassage> KeepPassage(const CStoreSet& set, const SListedPassage& passage) {
    const Testament t = passage.m_testament;
    const std::vector<std::u16string> books = set.ReadBookList(t);
    if (Contains(books, passage.m_strBook)) {
        const std::vector<std::u16string> refs = set.ReadReferenceList(t, passage.m_strBook);
        if (Contains(refs, passage.m_strReference))
            return passage;
        const int chapter = ChapterOf(passage.m_strReference);
        const auto inChapter = std::find_if(refs.begin(), refs.end(), [chapter](const auto& r) {
            return chapter > 0 && ChapterOf(r) == chapter;
        });
        if (inChapter != refs.end())
            return SListedPassage{t, passage.m_strBook, *inChapter};
        if (!refs.empty())
            return SListedPassage{t, passage.m_strBook, refs.front()};
    }
    if (books.empty())
        return std::nullopt;
    const std::vector<std::u16string> refs = set.ReadReferenceList(t, books.front());
    if (refs.empty())
        return std::nullopt;
    return SListedPassage{t, books.front(), refs.front()};
}

std::vector<SDivision> ReadDivisionsFile(const std::string& path) {
    const auto text = ReadRegularFile(path, kMaxDivisionsBytes);
    return text ? ParseDivisions(*text) : std::vector<SDivision>();
}

SSetChoice ResolveSetChoice(const std::vector<SLibrarySet>& sets, const SSetChoice& wanted) {
    const auto offered = [&sets](const std::string& id) {
        return std::any_of(sets.begin(), sets.end(),
                           [&id](const SLibrarySet& s) { return s.m_strId == id; });
    };
    SSetChoice choice;
    if (offered(wanted.m_strMain))
        choice.m_strMain = wanted.m_strMain;
    else if (!sets.empty())
        choice.m_strMain = sets.front().m_strId;
    for (const std::string& id : wanted.m_arrCompanions) {
        const auto& kept = choice.m_arrCompanions;
        if (kept.size() < kMaxCompanions && offered(id) && id != choice.m_strMain &&
            std::find(kept.begin(), kept.end(), id) == kept.end())
            choice.m_arrCompanions.push_back(id);
    }
    return choice;
}

}  // namespace tavrin
