// Plan.h - reading plans: a store set's chapters split into days, balanced by characters.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// One chapter of a set, with the length that balances the days.
struct SPlanChapter {
    size_t m_nBook = 0;           // index in SSetChapters::m_arrBooks
    std::u16string m_strChapter;  // its chapter reference ("창1:", "마1:")
    int m_nChapter = 0;           // its number
    size_t m_nChars = 0;          // Unicode characters of its verse texts, keys not counted
};

// One book of a set and where its chapters lie in SSetChapters::m_arrChapters.
struct SPlanBook {
    Testament m_testament = Testament::Old;
    std::u16string m_strName;      // as the book list names it
    std::u16string m_strBookPart;  // of its references ("창"), for abbreviations
    size_t m_nFirst = 0;           // first chapter's index
    size_t m_nCount = 0;           // chapters
};

// Every chapter of a set in Bible order: the Old Testament's books in book
// list order, then the New's; each book's chapters in the order its
// reference list first names them.
struct SSetChapters {
    std::vector<SPlanBook> m_arrBooks;
    std::vector<SPlanChapter> m_arrChapters;

    // The index of the book named name (SameBookName) or abbreviated to the
    // book part of its references, the Old Testament looked in first; -1
    // when none.
    int FindBook(std::u16string_view name) const;
    // [first, last) chapter indexes of a testament (empty when it has none).
    std::pair<size_t, size_t> TestamentRange(Testament testament) const;
};

// Reads the books, chapters and chapter lengths of an open set: a chapter's
// verses are its verse keys 1, 2... (AppendVerseNumber) up to the first one
// absent, at most kMaxWholeChapterVerses; their texts decoded from code page
// 949 and counted in code points. Empty when the stores are not all open.
SSetChapters ReadSetChapters(const CStoreSet& stores);
// As ReadSetChapters for the stores open from folder, with the chapter
// lengths (most of its time) kept between runs in cacheFile: taken from it
// when it was written from these very stores (IdentifyStores) for as many
// chapters, otherwise counted and the file written anew. A missing, damaged
// or unwritable cache costs only the counting; an empty cacheFile caches nothing.
// *fromCache (when given) tells whether the lengths came from the file.
SSetChapters ReadSetChapters(const CStoreSet& stores, const std::string& folder,
                             const std::string& cacheFile, bool* fromCache = nullptr);
// The chapter-length cache of the set in folder (SetCachePath, ".chapters").
std::string ChapterCachePath(const std::string& folder);

// Splits weights, in order, into days runs of at least one item each so that
// the heaviest day is as light as any such split can make it. Among the
// splits that reach it, day 1, then day 2... each ends where the total so far
// comes nearest its even share (day d: d/days of the whole), among the ends
// that still leave a split that reaches it; the earlier end on a tie. The
// same weights always give the same split. Returns each day's end (exclusive
// index into weights), days entries; empty when days is 0 or more than
// weights has items.
std::vector<size_t> BalancedSplit(std::span<const size_t> weights, size_t days);

// Most days a custom plan may have.
inline constexpr int kMaxPlanDays = 1000;

// A computed plan: each day's chapter readings in reading order. A reading is
// addressed as (day, position in the day), which stays the same for the same
// text, so progress can be kept as (plan id, day, position).
struct SPlan {
    std::string m_strId;
    std::u16string m_strName;
    std::vector<std::vector<size_t>> m_arrDays;  // indexes into SSetChapters::m_arrChapters

    size_t Readings() const;
};

// Why a plan could not be made.
enum class EPlanError {
    None,
    UnknownPlan,     // no built-in plan has the id and it is no custom plan
    BadDays,         // a custom plan's days are not 1..kMaxPlanDays
    UnknownBook,     // a custom plan's book, or a book a built-in plan needs
    BooksBackwards,  // the last book comes before the first
    TooManyDays,     // more days than the plan has chapter readings to fill them
};

struct SPlanResult {
    EPlanError m_error = EPlanError::None;
    std::string m_strDetail;  // the book or number at fault (UTF-8)
    SPlan m_plan;
};

// A built-in plan's id, name and day count.
struct SPlanInfo {
    std::string_view m_strId;
    std::u16string_view m_strName;
    int m_nDays = 0;
};

// The built-in plans in the order they are listed: bible-year, nt-90,
// ot1-nt2-year, ps-pr-31.
std::span<const SPlanInfo> BuiltInPlans();

// Makes the plan with id: a built-in id, or "custom:FIRST-LAST:DAYS" with
// book names or abbreviations (UTF-8) and DAYS in 1..kMaxPlanDays.
SPlanResult MakePlan(const SSetChapters& chapters, std::string_view id);

// A plan's chapter readings as MakePlan would count them, without splitting:
// for the plans list. 0 when the set lacks a book the plan needs.
size_t PlanReadings(const SSetChapters& chapters, std::string_view id);

}  // namespace tavrin
