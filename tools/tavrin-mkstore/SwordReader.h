// SwordReader.h - reads the 66 books of an installed SWORD Bible module as plain text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "BibleText.h"
#include "BookTable.h"

namespace tavrin {

// Called with the share done (0..1) and the OSIS id of the book being read.
using ProgressFn = std::function<void(double, std::string_view)>;

// Reads module through libsword, found the way libsword finds modules
// (SWORD_PATH, ~/.sword, /usr/share/sword). Verses are rendered as plain text
// with every option filter off (Strong's numbers, morphology, footnotes,
// cross-references, headings, red letters), so no markup, note or heading
// reaches a verse; runs of white space become one blank. Books outside the 66
// that hold text are skipped and listed in text.m_arrSkippedBooks; so are
// chapters without any text. Verses without text at a chapter's end are
// dropped; before a verse with text they are kept empty so that verse numbers
// have no gap (both counted in text). Returns
// false with error set when the module is not installed or not a Bible.
bool ReadSwordText(const std::string& module, const CBookTable& table, CBibleText& text,
                   std::string& error, const ProgressFn& progress = {});

// Turns a rendered verse into the stored text: each note mark (see
// kNoteMark) becomes a blank where it stood between two words and nothing
// elsewhere, white space runs become one blank, and the ends are trimmed.
std::string TidyVerseText(std::string_view rendered);

// Stands where a footnote was taken out of a verse's markup (U+E000, private use).
inline constexpr std::string_view kNoteMark = "\xEE\x80\x80";

}  // namespace tavrin
