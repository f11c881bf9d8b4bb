// ParallelRows.h - several sets read side by side: verses aligned by key with the division notes,
// the passage kept when another set becomes the main one, and the sets chosen.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Navigator.h"
#include "SetLibrary.h"
#include "StoreSet.h"
#include "Versification.h"

namespace tavrin {

// Companions shown beside the main set at most.
inline constexpr size_t kMaxCompanions = 2;

// The division note of set setId at verse key (testament's key format), or nullopt.
std::optional<std::u16string> KeyNote(const std::vector<SDivision>& table, std::string_view setId,
                                      std::u16string_view key, Testament testament);

// One set's verses of a chapter: key/text pairs as CStoreSet::LoadChapter reads them.
struct SParallelColumn {
    std::string m_strId;
    std::vector<std::u16string> m_arrVerses;
};

// One verse key across the columns.
struct SParallelRow {
    std::u16string m_strKey;  // as the first column holding it writes it
    std::vector<std::optional<std::u16string>> m_arrTexts;  // per column; nullopt: lacks the key
    std::vector<std::u16string> m_arrNotes;                 // the row's division notes, each once
};

// The verses of columns aligned by key: one row per key any column holds, in
// the order of the verse numbers testament's key format gives (keys of
// another shape after them, in the order met). A row's notes are the
// DivisionNote of each column's set at that verse, in column order.
std::vector<SParallelRow> AlignVerses(const std::vector<SParallelColumn>& columns,
                                      Testament testament, const std::vector<SDivision>& table);

// The rows as text to copy, save or print, names being the columns' names:
// per row its key line, then "NAME<TAB>TEXT" per column (a column lacking the
// key: its name and the TAB alone), each note as "※ NOTE", and a blank line;
// lines end in CR LF.
std::u16string ParallelText(const std::vector<SParallelRow>& rows,
                            const std::vector<std::u16string>& names);

// Where the cascade lands in set after a switch of the main set away from
// passage: the same book (by name) and reference when set lists both; else
// the first reference set lists for the reference's chapter in that book;
// else that book's first reference; when set lacks the book, the first
// reference of the testament's first book. Nullopt when set lists no book
// with a reference in the testament.
std::optional<SListedPassage> KeepPassage(const CStoreSet& set, const SListedPassage& passage);

// The division table in the file at path (ParseDivisions; bad lines left
// out); empty when it is missing, no regular file or over kMaxDivisionsBytes.
inline constexpr size_t kMaxDivisionsBytes = 1 << 20;
std::vector<SDivision> ReadDivisionsFile(const std::string& path);

// Which sets the reader shows: the main set's id and the companions' ids.
struct SSetChoice {
    std::string m_strMain;
    std::vector<std::string> m_arrCompanions;
};

// wanted, held to what sets (a library's usable sets, the default first)
// offers: a main set not among them gives the default (empty with no set);
// companions not among them, repeated, the main set itself and any past
// kMaxCompanions are dropped.
SSetChoice ResolveSetChoice(const std::vector<SLibrarySet>& sets, const SSetChoice& wanted);

}  // namespace tavrin
