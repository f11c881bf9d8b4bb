// PassageMessages.h - what is wrong with a passage that leads nowhere, said in Korean for the
// go-to dialog and in English for tavrin-read.
#pragma once

#include <string>
#include <string_view>

#include "PassageFinder.h"
#include "Reference.h"

namespace tavrin {

// The topic particle after word: "은" after a Hangul syllable with a final
// consonant or a digit read with one (0 1 3 6 7 8), "는" after any other
// syllable or digit, "은(는)" after anything else (a Latin name).
std::u16string_view TopicParticle(std::u16string_view word);

// The counter of a book's chapters: "편" for 시편 (psalms are counted so),
// "장" for every other book.
std::u16string_view ChapterCounter(std::u16string_view bookName);

// The go-to dialog's message for typed text that parsed as parsed and, when
// it is a passage, was looked up as found; empty when found leads somewhere.
// "'요한' 책이 없습니다.", "요한복음은 21장까지 있습니다.",
// "요한복음 3장은 36절까지 있습니다.", or what is wrong with the text itself.
std::u16string GoToProblem(const SParsedPassage& parsed, const SFoundPassage& found);

// tavrin-read's message (UTF-8, without its prefix) for typed text that is
// not a passage ("'xyz' is not a reference", a range running backwards or
// across chapters).
std::string SyntaxProblem(ESyntax syntax, std::string_view typed);

// tavrin-read's message for a passage the set lacks: "no book '요한'",
// "no chapter 22 in 요한복음 (21 chapters)", "no verse 37 in 요한복음 3 (36 verses)";
// empty when found leads somewhere.
std::string LookupProblem(const SPassage& passage, const SFoundPassage& found);

}  // namespace tavrin
