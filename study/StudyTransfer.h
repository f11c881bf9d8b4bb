// StudyTransfer.h - the study items as files: TSV export and import, a Markdown export for
// people, and the import of the reader's UTF-16 notes file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StudyDb.h"

namespace tavrin {

inline constexpr std::string_view kTsvHeader = "# tavrin study 1";
// The largest file an import reads.
inline constexpr uint64_t kMaxImportBytes = uint64_t{1} << 30;

// "2026-12-07T05:32:05Z" for UTC seconds, and back; nullopt for any other shape or a
// field out of range (month 13, February 30, hour 24...).
std::string FormatUtc(int64_t seconds);
std::optional<int64_t> ParseUtc(std::string_view text);

// The header line, then one KIND<TAB>REFERENCE<TAB>VALUE<TAB>TEXT<TAB>CREATED<TAB>MODIFIED
// line per item in SortInBibleOrder's order, each line ending in LF; in VALUE and TEXT a
// backslash, tab, line feed and carriage return are written \\ \t \n \r.
std::string ExportTsv(std::vector<SStudyItem> items, const CBibleOrder& order);

// By book and chapter: each verse that carries items, its text from stores quoted, then its
// bookmark, highlight and notes.
std::string ExportMarkdown(std::vector<SStudyItem> items, const CBibleOrder& order,
                           const CStoreSet& stores);

// Items read from a file, or the first bad line (1-based) and what is wrong with it; on a
// bad line m_arrItems is empty.
struct SReadItems {
    std::vector<SStudyItem> m_arrItems;
    size_t m_nBadLine = 0;
    std::string m_strProblem;
    bool IsGood() const { return m_nBadLine == 0; }
};

// Reads a TSV export. Bad: no header, invalid UTF-8, a line without six fields, an
// unknown kind, a reference order's set does not list, an unknown colour, a label with
// a line break or too long, a note too long, a VALUE on a note or a TEXT on a mark, a
// bad escape, a bad time. An empty last line (the final LF) is no item.
SReadItems ReadTsv(std::string_view data, const CBibleOrder& order);

// Reads the notes file (UTF-16LE, byte-order mark optional): each record's stamp
// (local time, turned to UTC with the system's time zone), its heading's reference
// ("구약 - 창세기 - 창1:1": a verse order's set lists in that testament) and its text
// (the lines after the heading, the record's final line break left off) become a note.
// A record without a readable stamp or reference is bad, named by its stamp's line.
SReadItems ReadNotesFile(std::string_view bytes, const CBibleOrder& order);

}  // namespace tavrin
