// StoreDump.h - prints every record of a store set in a readable UTF-8 form.
#pragma once

#include <ostream>
#include <string>

namespace tavrin {

// Writes, for each of the four files, a line "# FILE: N records" and then one
// line per record, "KEY<TAB>TEXT", decoded from code page 949 to UTF-8 with
// TAB, CR, LF and backslash written as \t, \r, \n and \\ (other control bytes
// and bytes that are not code page 949 as \xNN). Index stores list "allindex"
// first, then the books in list order; text stores list verse keys by book,
// chapter and verse in list order; records no list reaches come last, by
// key. A record with wrong framing is preceded by a "# bad framing" line.
// Returns false when a file is missing or unreadable (noted in the output;
// the other files are still dumped).
bool DumpStoreSet(const std::string& dir, std::ostream& out);

}  // namespace tavrin
