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
    "  refs BOOK           the book's references, in record order\n"
    "  text REFERENCE      the reference's text\n"
    "  chapter REFERENCE   the chapter of the reference, laid out as the chapter\n"
    "                      reader shows it (CR LF line ends kept)\n"
    "  next CHAPTER-REF    the next chapter's reference (e.g. next 창1: gives 창2:)\n"
    "  prev CHAPTER-REF    the previous chapter's reference; next and prev read no\n"
    "                      store, so -d and -t are ignored for them\n"
    "  search QUERY...     every reference whose text holds all the query's terms\n"
    "                      (the arguments joined by blanks), one REFERENCE<TAB>TEXT\n"
    "                      line each, Old Testament first, in book and reference\n"
    "                      order; line breaks in a text print as one blank\n"
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
    "  -t old|new|both     testament (default: new, for search both); with both,\n"
    "                      books lists the Old Testament's books, then the New's,\n"
    "                      and refs, text and chapter refuse it\n"
    "  --help              show this help\n"
    "\n"
    "Exit status: 0 found, 1 not found or none (no match), 2 usage error (for search\n"
    "also no query, a query that is not UTF-8 or is too long), 3 store set missing.\n";

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
        const std::string_view stored = index.StoredText(id);
        const size_t text = out.size();
        AnsiToUtf8(stored, out);
        // Line breaks are the same single bytes in code page 949 and UTF-8.
        if (stored.find('\n') != stored.npos || stored.find('\r') != stored.npos) {
            size_t kept = text;
            for (size_t at = text; at < out.size(); ++at) {
                const bool crlf = out[at] == '\r' && at + 1 < out.size() && out[at + 1] == '\n';
                out[kept++] = out[at] == '\r' || out[at] == '\n' ? ' ' : out[at];
                at += crlf;
            }
            out.resize(kept);
        }
        out += '\n';
        if (out.size() >= 65536) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

int Search(const std::string& folder, EScope scope, const std::string& query) {
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
    if (!index.BuildCached(folder, scope, SearchCachePath(folder), [](std::u16string_view message) {
            const std::string utf8 = Utf16ToUtf8(message);
            std::fprintf(stderr, "%s\n", utf8.c_str());
        })) {
        return kNoStores;
    }
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
    // next and prev read no store, so only the other commands look for one.
    const auto storeFolder = [&] {
        return folderGiven ? folder : FindStoreFolder(ProgramFolder(), std::getenv);
    };
    if (command == "search") {
        if (words.size() < 2)
            return Usage("'search' needs a query");
        std::string query = words[1];
        for (size_t i = 2; i < words.size(); ++i) query += ' ' + words[i];
        return Search(storeFolder(), scope.value_or(EScope::Both), query);
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

    if (command == "next" || command == "prev") {
        const auto neighbour =
            NeighbourChapter(wide, command == "next" ? EDirection::Next : EDirection::Previous);
        if (!neighbour)
            return NotFound("no such chapter", argument);
        PrintLine(*neighbour);
        return kFound;
    }

    // Keys and texts belong to one testament's stores.
    if (scope == EScope::Both && command != "books")
        return Usage("'" + command + "' reads one testament: give -t old or -t new");
    const Testament testament = scope == EScope::Old ? Testament::Old : Testament::New;
    CStoreSet stores;
    bool reported = false;
    stores.OpenStores(storeFolder(), [&](std::u16string_view message) {
        if (reported)
            return;
        reported = true;
        const std::string utf8 = Utf16ToUtf8(message);
        std::fprintf(stderr, "%s\n", utf8.c_str());
    });
    if (!stores.AreStoresOpen())
        return kNoStores;

    if (command == "books") {
        std::vector<std::u16string> books;
        if (scope == EScope::Both)
            books = stores.ReadBookList(Testament::Old);
        for (auto& book : stores.ReadBookList(testament)) books.push_back(std::move(book));
        return PrintNames(books, "no books", argument);
    }
    if (command == "refs") {
        bool found = false;
        const std::string text =
            FetchRecordText(stores.IndexStore(testament), ToAnsiKey(wide), &found);
        if (!found)
            return NotFound("no such book", argument);
        return PrintNames(ParseNameList(text), "no references", argument);
    }
    if (command == "text") {
        bool found = false;
        const std::string text =
            FetchRecordText(stores.TextStore(testament), ToAnsiKey(wide), &found);
        if (!found)
            return NotFound("no such reference", argument);
        PrintLine(AnsiToWide(text));
        return kFound;
    }
    const std::vector<std::u16string> verses = stores.LoadChapter(testament, wide);
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
