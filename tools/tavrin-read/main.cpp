// main.cpp - tavrin-read: reads book lists, references, texts and chapters of a store set, and
// searches it.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "PassageFinder.h"
#include "PassageMessages.h"
#include "Reference.h"
#include "SearchIndex.h"
#include "StoreSet.h"

namespace {

using namespace tavrin;

enum EExit { kFound = 0, kNone = 1, kUsage = 2, kNoStores = 3 };

constexpr const char* kUsageText =
    "Usage: tavrin-read [-d DIR] [-t old|new|both] COMMAND [ARGUMENT...]\n"
    "\n"
    "Reads a scripture store set (inxkey_oldB.dbe, inxdat_oldB.dbe, inxkey_newB.dbe,\n"
    "inxdat_newB.dbe) and prints UTF-8, one item per line.\n"
    "\n"
    "Commands:\n"
    "  books               the testament's book list, in record order\n"
    "  refs BOOK           the book's references, in record order; BOOK is a name\n"
    "                      of a book list or an abbreviation (요한복음 or 요)\n"
    "  text REFERENCE      the reference's text; a range (요3:16-18) or a chapter\n"
    "                      (요3) prints one REFERENCE<TAB>TEXT line per verse,\n"
    "                      REFERENCE as the reference list shows it, line breaks\n"
    "                      in a text as one blank\n"
    "  chapter REFERENCE   the chapter of the reference, laid out as the chapter\n"
    "                      reader shows it (CR LF line ends kept)\n"
    "  next REFERENCE      the next chapter's reference in the set's book order\n"
    "                      (next 창1: gives 창2:, next 창50: gives 출1:, past the\n"
    "                      Old Testament's last book the New's first)\n"
    "  prev REFERENCE      the previous chapter's reference (prev 마1: gives 말4:);\n"
    "                      next and prev read the store set, where the order of\n"
    "                      the books lives\n"
    "  search QUERY...     every reference whose text holds all the query's terms\n"
    "                      (the arguments joined by blanks), one REFERENCE<TAB>TEXT\n"
    "                      line each, Old Testament first, in book and reference\n"
    "                      order; line breaks in a text print as one blank\n"
    "\n"
    "References are read as people type them: 요3:16, '요 3:16', '요한복음 3:16',\n"
    "'요한복음 3장 16절', '시편 23편 1절', 요3.16, 요3:16-18 (a range in one chapter),\n"
    "요3 or 시23: (a chapter), full names or abbreviations, full-width digits.\n"
    "The book decides the testament: refs, text and chapter need no -t, and when\n"
    "-t disagrees with the book the book wins.\n"
    "\n"
    "Search query: blanks separate terms; a part in double quotes is one term,\n"
    "blanks included (quote the quotes for the shell: '\"하나님의 사랑\"'). Spacing,\n"
    "Latin case and composed or decomposed letters make no difference. A term of\n"
    "Hangul consonants only (ㄱ..ㅎ) matches syllables with those initials (ㅎㄴㄴ\n"
    "finds 하나님); any other term matches anywhere in a word (사랑 finds 사랑을).\n"
    "At most 500 characters.\n"
    "\n"
    "Search cache: search keeps the store set's prepared texts in one file under\n"
    "$XDG_CACHE_HOME/tavrin (default ~/.cache/tavrin) and reads that instead of the\n"
    "stores while every store file keeps its device, inode, size and modification\n"
    "time; any change rebuilds it. Deleting it is always safe.\n"
    "\n"
    "Options:\n"
    "  -d DIR              folder of the store set, read alone (default: the first\n"
    "                      with a set of this program's folder, ../share/tavrin\n"
    "                      beside it, $XDG_DATA_HOME/tavrin, $XDG_DATA_DIRS/tavrin)\n"
    "  -t old|new|both     testament of books and search (default: new, for search\n"
    "                      both); with both, books lists the Old Testament's books,\n"
    "                      then the New's; for refs, text and chapter only which\n"
    "                      testament is looked in first (default: new)\n"
    "  --help              show this help\n"
    "\n"
    "Exit status:\n"
    "  0  found: the output is printed\n"
    "  1  the input is a reference (or book), but the set has no such book, chapter\n"
    "     or verse, and the message says which (\"no chapter 22 in 요한복음 (21\n"
    "     chapters)\"); also no match for search, and output that cannot be written\n"
    "  2  usage error: the input is not a reference at all, a range runs backwards\n"
    "     (요3:18-16) or across chapters (요3:16-4:2), an unknown command or option;\n"
    "     for search also no query, a query that is not UTF-8 or is too long\n"
    "  3  no store set: none of the folders holds all four store files\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tavrin-read: %s\n", problem.c_str());
    std::fputs("Try 'tavrin-read --help' for more information.\n", stderr);
    return kUsage;
}

void Print(std::u16string_view text) {
    const std::string utf8 = Utf16ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void PrintLine(std::u16string_view text) {
    Print(text);
    std::fputc('\n', stdout);
}

int NotFound(const char* what, const std::string& argument) {
    std::fprintf(stderr, "tavrin-read: %s%s%s\n", what, argument.empty() ? "" : ": ",
                 argument.c_str());
    return kNone;
}

int Problem(const std::string& message) {
    std::fprintf(stderr, "tavrin-read: %s\n", message.c_str());
    return kNone;
}

int NoStores(const std::string& folder, bool folderGiven) {
    if (folderGiven)
        std::fprintf(stderr, "tavrin-read: no store set in '%s'\n", folder.c_str());
    else
        std::fputs(
            "tavrin-read: no store set beside the program, in ../share/tavrin or in the XDG "
            "data folders\n",
            stderr);
    return kNoStores;
}

// Appends a stored text (code page 949) as UTF-8 on one line: a line break
// (CR LF, CR or LF) becomes one blank.
void AppendOneLine(std::string_view stored, std::string& out) {
    const size_t text = out.size();
    AnsiToUtf8(stored, out);
    // Line breaks are the same single bytes in code page 949 and UTF-8.
    if (stored.find('\n') == stored.npos && stored.find('\r') == stored.npos)
        return;
    size_t kept = text;
    for (size_t at = text; at < out.size(); ++at) {
        const bool crlf = out[at] == '\r' && at + 1 < out.size() && out[at + 1] == '\n';
        out[kept++] = out[at] == '\r' || out[at] == '\n' ? ' ' : out[at];
        at += crlf;
    }
    out.resize(kept);
}

int PrintNames(const std::vector<std::u16string>& names, const char* none,
               const std::string& argument) {
    if (names.empty())
        return NotFound(none, argument);
    for (const auto& name : names) PrintLine(name);
    return kFound;
}

// Prints each match as REFERENCE<TAB>TEXT on one line, a line break in a text
// (CR LF, CR or LF) as one blank. The texts go from code page 949 straight to
// UTF-8, in pieces: thousands of texts at once would fault in megabytes.
void PrintMatches(const CSearchIndex& index, const std::vector<size_t>& ids) {
    std::string out;
    for (size_t id : ids) {
        out += Utf16ToUtf8(index.Entry(id, false).m_strReference);
        out += '\t';
        AppendOneLine(index.StoredText(id), out);
        out += '\n';
        if (out.size() >= 65536) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

int Search(const std::string& folder, bool folderGiven, EScope scope, const std::string& query) {
    const CSearchQuery parsed = CSearchQuery::FromUtf8(query);
    switch (parsed.Status()) {
        case EQueryStatus::Ready:
            break;
        case EQueryStatus::NoTerms:
            return Usage("the query has no term to search for");
        case EQueryStatus::TooLong:
            return Usage("the query is longer than " + std::to_string(kMaxQueryChars) +
                         " characters");
        case EQueryStatus::InvalidText:
            return Usage("the query is not valid UTF-8");
    }
    CSearchIndex index;
    if (!index.BuildCached(folder, scope, SearchCachePath(folder)))
        return NoStores(folder, folderGiven);
    if (!index.IsComplete())
        std::fputs("tavrin-read: the store set holds more text than a search covers\n", stderr);
    const std::vector<size_t> ids = index.Search(parsed);
    if (ids.empty())
        return NotFound("no match", query);
    PrintMatches(index, ids);
    return kFound;
}

int Run(int argc, char** argv) {
    std::string folder;
    bool folderGiven = false;
    std::optional<EScope> scope;
    std::vector<std::string> words;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsageText, stdout);
            return kFound;
        }
        if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
            words.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
        } else if (arg == "-d" || arg == "-t") {
            if (i + 1 >= argc)
                return Usage("option " + std::string(arg) + " needs a value");
            const std::string value = argv[++i];
            if (arg == "-d") {
                folder = value;
                folderGiven = true;
            } else if (value == "old") {
                scope = EScope::Old;
            } else if (value == "new") {
                scope = EScope::New;
            } else if (value == "both") {
                scope = EScope::Both;
            } else {
                return Usage("testament must be 'old', 'new' or 'both', not '" + value + "'");
            }
        } else {
            return Usage("unknown option '" + std::string(arg) + "'");
        }
    }
    if (words.empty())
        return Usage("no command given");
    const std::string& command = words[0];
    const auto storeFolder = [&] {
        return folderGiven ? folder : FindStoreFolder(ProgramFolder(), std::getenv);
    };
    if (command == "search") {
        if (words.size() < 2)
            return Usage("'search' needs a query");
        std::string query = words[1];
        for (size_t i = 2; i < words.size(); ++i) query += ' ' + words[i];
        return Search(storeFolder(), folderGiven, scope.value_or(EScope::Both), query);
    }
    const bool takesArgument = command != "books";
    if (command != "books" && command != "refs" && command != "text" && command != "chapter" &&
        command != "next" && command != "prev") {
        return Usage("unknown command '" + command + "'");
    }
    if (words.size() != (takesArgument ? 2u : 1u)) {
        return Usage(takesArgument ? "'" + command + "' takes one argument"
                                   : "'books' takes no argument");
    }
    const std::string argument = takesArgument ? words[1] : std::string();
    const std::u16string wide = Utf8ToUtf16(argument);

    CStoreSet stores;
    const std::string chosenFolder = storeFolder();
    if (!stores.OpenStores(chosenFolder))
        return NoStores(chosenFolder, folderGiven);
    const Testament testament = scope == EScope::Old ? Testament::Old : Testament::New;

    if (command == "books") {
        std::vector<std::u16string> books;
        if (scope == EScope::Both)
            books = stores.ReadBookList(Testament::Old);
        for (auto& book : stores.ReadBookList(testament)) books.push_back(std::move(book));
        return PrintNames(books, "no books", argument);
    }
    // The book decides the testament; -t only says where to look first.
    if (command == "refs") {
        const SFoundPassage book = FindBook(stores, wide, testament);
        if (book.m_result != EFound::Found)
            return NotFound("no such book", argument);
        return PrintNames(book.m_arrReferences, "no references", argument);
    }
    const SParsedPassage parsed = ReadPassage(wide);
    if (parsed.m_syntax != ESyntax::Passage)
        return Usage(SyntaxProblem(parsed.m_syntax, argument));
    SPassage passage = parsed.m_passage;
    if (command == "chapter" || command == "next" || command == "prev")
        passage.m_nVerse = passage.m_nLastVerse = kNoVerse;
    const SFoundPassage found = FindPassage(stores, passage, testament);
    if (found.m_result != EFound::Found)
        return Problem(LookupProblem(passage, found));
    const auto key = [&found](size_t hit) -> const std::u16string& {
        return found.m_arrReferences[static_cast<size_t>(found.m_arrHits[hit])];
    };
    if (command == "next" || command == "prev") {
        const bool next = command == "next";
        const std::optional<SChapterPlace> neighbour =
            NeighbourChapterInSet(stores, found.m_testament, ChapterReference(key(0)),
                                  next ? EDirection::Next : EDirection::Previous);
        if (!neighbour)
            return NotFound(next ? "no chapter after" : "no chapter before", argument);
        PrintLine(neighbour->m_strChapter);
        return kFound;
    }
    void* const textStore = stores.TextStore(found.m_testament);
    if (command == "text" && !passage.IsWholeChapter() && !passage.IsRange()) {
        bool present = false;
        const std::string text = FetchRecordText(textStore, ToAnsiKey(key(0)), &present);
        if (!present)
            return NotFound("no such reference", argument);
        PrintLine(AnsiToWide(text));
        return kFound;
    }
    if (command == "text") {
        std::string out;
        for (size_t hit = 0; hit < found.m_arrHits.size(); ++hit) {
            out += Utf16ToUtf8(key(hit));
            out += '\t';
            AppendOneLine(FetchRecordView(textStore, ToAnsiKey(key(hit))), out);
            out += '\n';
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        return kFound;
    }
    const std::vector<std::u16string> verses =
        stores.LoadChapter(found.m_testament, ChapterReference(key(0)));
    if (verses.empty())
        return NotFound("no such chapter", argument);
    Print(BuildChapterText(verses));
    return kFound;
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("tavrin-read: cannot write the output\n", stderr);
        return kNone;
    }
    return status;
}
