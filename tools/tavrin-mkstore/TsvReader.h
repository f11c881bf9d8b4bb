// TsvReader.h - reads verses from a UTF-8 file of BOOK<TAB>CHAPTER<TAB>VERSE<TAB>TEXT lines.
#pragma once

#include <iosfwd>
#include <string>

#include "BibleText.h"
#include "BookTable.h"

namespace tavrin {

// Reads path ("-": standard input; xz-compressed or plain) into text. BOOK is
// an OSIS id; books outside the 66 that Bibles hold (Tob, Sir...) are skipped
// and listed in text.m_arrSkippedBooks. Blank lines and lines starting with
// '#' are ignored, except one "# title: TEXT" line, which sets
// text.m_strTitle, and one "# short-name: TEXT" line, which sets
// text.m_strShortName; lines may come in any order. Returns false with error
// set, and text unspecified, when the file cannot be read, a line is
// malformed or repeats a verse, the title or the short name (error names the
// line), or a chapter's verses
// do not run from 1 without a gap (error names the book, chapter and verse).
// Chapters may be missing.
bool ReadTsvText(const std::string& path, const CBookTable& table, CBibleText& text,
                 std::string& error);

// The same for lines already open in in; name stands for the file in error
// and in text.m_strSource.
bool ReadTsvText(std::istream& in, const std::string& name, const CBookTable& table,
                 CBibleText& text, std::string& error);

}  // namespace tavrin
