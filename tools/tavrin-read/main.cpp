// main.cpp - tavrin-read: reads book lists, references, texts and chapters of a store set,
// searches it, and exports and imports the study database's marks and notes.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "FileIo.h"
#include "NameList.h"
#include "Notes.h"
#include "PassageFinder.h"
#include "PassageMessages.h"
#include "Plan.h"
#include "Reference.h"
#include "SearchIndex.h"
#include "SetLibrary.h"
#include "StoreSet.h"
#include "StudyFiles.h"
#include "StudyTransfer.h"

namespace {

using namespace tavrin;

enum EExit { kFound = 0, kNone = 1, kUsage = 2, kNoStores = 3 };

constexpr const char* kUsageText =
    "Usage: tavrin-read [-d DIR | -s ID[,ID...]] [-t old|new|both] COMMAND [ARGUMENT...]\n"
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
    "  sets                every store set found, the default first, one\n"
    "                      ID<TAB>SHORT NAME<TAB>DESCRIPTION<TAB>FOLDER line each;\n"
    "                      a set passed over prints ID<TAB><TAB>skipped: REASON<TAB>\n"
    "                      FOLDER on standard error\n"
    "  plans               the built-in reading plans, one ID<TAB>NAME<TAB>DAYS<TAB>\n"
    "                      CHAPTERS line each (CHAPTERS: the chapter readings)\n"
    "  plan ID DAY         that day's chapters in reading order, one BOOK<TAB>\n"
    "                      CHAPTER line each; DAY 'all' prints every day, each\n"
    "                      line after the day number and a TAB. ID is a built-in\n"
    "                      plan or custom:FIRST-LAST:DAYS (custom:롬-갈:30), books\n"
    "                      by name or abbreviation, 1 to 1000 days; the days are\n"
    "                      computed from the set read, balanced by characters\n"
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
    "Study database: $XDG_DATA_HOME/tavrin/study.sqlite3 (default\n"
    "~/.local/share/tavrin), made on first use. A damaged one is moved aside to\n"
    "study.sqlite3.damaged-YYYYMMDD-HHMMSS (with its -wal and -shm files), said on\n"
    "standard error with the newest backup, and a new one is started.\n"
    "\n"
    "Options:\n"
    "  -d DIR              folder of the store set, read alone (default: the first\n"
    "                      set found; see Store sets)\n"
    "  -s ID[,ID...]       read these sets (ids as 'sets' lists them) instead of the\n"
    "                      default. With several, text prints one ID<TAB>TEXT line\n"
    "                      per set in the order given (a range or chapter: verse by\n"
    "                      verse, REFERENCE<TAB>ID<TAB>TEXT lines), TEXT empty where\n"
    "                      a set lacks the verse; books, refs, chapter, next and\n"
    "                      prev take the first; search takes only one\n"
    "  -t old|new|both     testament of books and search (default: new, for search\n"
    "                      both); with both, books lists the Old Testament's books,\n"
    "                      then the New's; for refs, text and chapter only which\n"
    "                      testament is looked in first (default: new)\n"
    "  --help              show this help\n"
    "\n"
    "Store sets: each of this program's folder, ../share/tavrin beside it,\n"
    "$XDG_DATA_HOME/tavrin and each $XDG_DATA_DIRS/tavrin may hold one set itself\n"
    "(id main, then main-2...) and sets in its subfolders (id: the subfolder's name,\n"
    "1-32 of a-z 0-9 _ -), in that order, each folder's own set before its\n"
    "subfolders' in byte order of their names. The first usable set is the\n"
    "default. A set that is incomplete, damaged, unreadable or whose id an earlier\n"
    "set has is passed over with its reason.\n"
    "\n"
    "Exit status:\n"
    "  0  found: the output is printed\n"
    "  1  the input is a reference (or book), but the set has no such book, chapter\n"
    "     or verse, and the message says which (\"no chapter 22 in 요한복음 (21\n"
    "     chapters)\"); also no match for search, and output that cannot be written\n"
    "  2  usage error: the input is not a reference at all, a range runs backwards\n"
    "     (요3:18-16) or across chapters (요3:16-4:2), an unknown command or option;\n"
    "     for search also no query, a query that is not UTF-8 or is too long;\n"
    "     -d with -s, an empty id, search with several sets; for plan an unknown\n"
    "     plan or book, a last book before the first, more days than chapters\n"
    "     or a day outside the plan\n"
    "  3  no store set: no usable set is found (for sets too), the -d folder's set\n"
    "     is missing or damaged, or an id of -s names no usable set\n"
    "\n"
    "For study: 0 done, 1 a bad or unreadable input file (nothing changed), 2 wrong\n"
    "usage, 3 the database (also one a newer Tavrin wrote), the store set or the\n"
    "output file cannot be opened or written.\n";

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

int PlanProblem(const SPlanResult& made, std::string_view id) {
    const std::string detail = "'" + made.m_strDetail + "'";
    switch (made.m_error) {
        case EPlanError::UnknownPlan:
            return Usage("unknown plan " + detail + " (see tavrin-read plans)");
        case EPlanError::BadDays:
            return Usage("a custom plan has 1 to " + std::to_string(kMaxPlanDays) + " days, not " +
                         detail);
        case EPlanError::UnknownBook:
            return Usage("no book " + detail + " in the set");
        case EPlanError::BooksBackwards:
            return Usage("the last book " + detail + " comes before the first");
        case EPlanError::TooManyDays:
        case EPlanError::None:
            break;
    }
    return Usage("plan '" + std::string(id) + "' has more days than its " + made.m_strDetail +
                 " chapter readings");
}

int ListPlans(const SSetChapters& chapters) {
    std::string out;
    for (const SPlanInfo& plan : BuiltInPlans())
        out += std::string(plan.m_strId) + '\t' + Utf16ToUtf8(plan.m_strName) + '\t' +
               std::to_string(plan.m_nDays) + '\t' +
               std::to_string(PlanReadings(chapters, plan.m_strId)) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kFound;
}

// plan ID DAY: one day's chapters, or every day's after its number.
int PrintPlan(const SSetChapters& chapters, const std::string& id, const std::string& dayText) {
    const SPlanResult made = MakePlan(chapters, id);
    if (made.m_error != EPlanError::None)
        return PlanProblem(made, id);
    const size_t days = made.m_plan.m_arrDays.size();
    const bool all = dayText == "all";
    size_t day = 0;
    if (!all) {
        const auto [end, error] =
            std::from_chars(dayText.data(), dayText.data() + dayText.size(), day);
        if (dayText.empty() || error != std::errc() || end != dayText.data() + dayText.size() ||
            day < 1 || day > days)
            return Usage("day '" + dayText + "' is not one of 1.." + std::to_string(days) +
                         " or 'all'");
    }
    std::string out;
    for (size_t d = all ? 1 : day; d <= (all ? days : day); ++d) {
        for (size_t c : made.m_plan.m_arrDays[d - 1]) {
            const SPlanChapter& chapter = chapters.m_arrChapters[c];
            if (all)
                out += std::to_string(d) + '\t';
            out += Utf16ToUtf8(chapters.m_arrBooks[chapter.m_nBook].m_strName) + '\t' +
                   std::to_string(chapter.m_nChapter) + '\n';
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kFound;
}

// A set chosen to read, open.
struct SChosenSet {
    std::string m_strId;
    std::string m_strFolder;
    std::unique_ptr<CStoreSet> m_pStores;
};

// The ids of a comma-separated list; empty when any is empty.
std::vector<std::string> SplitIds(std::string_view list) {
    std::vector<std::string> ids;
    for (size_t from = 0; from <= list.size();) {
        const size_t comma = std::min(list.find(',', from), list.size());
        if (comma == from)
            return {};
        ids.emplace_back(list.substr(from, comma - from));
        from = comma + 1;
    }
    return ids;
}

// The fields of a sets line: tabs and line breaks in them would break it.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

int ListSets(const std::vector<std::string>& folders) {
    CSetLibrary library;
    library.Scan(folders);
    std::string out;
    for (const SLibrarySet& set : library.Sets())
        out += set.m_strId + '\t' + Field(Utf16ToUtf8(set.m_strShortName)) + '\t' +
               Field(Utf16ToUtf8(set.m_strDescription)) + '\t' + Field(set.m_strFolder) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    for (const SSkippedSet& skipped : library.Skipped())
        std::fprintf(stderr, "%s\t\tskipped: %s\t%s\n", skipped.m_strId.c_str(),
                     skipped.m_strReason.c_str(), Field(skipped.m_strFolder).c_str());
    if (library.Sets().empty())
        return NoStores({}, false);
    return kFound;
}

// The set of -d: that folder alone, checked before it is read.
int ChooseFolder(const std::string& folder, std::vector<SChosenSet>& chosen) {
    const std::string problem = CheckSetFolder(folder);
    if (!problem.empty()) {
        if (problem.find(" is missing") == std::string::npos && !folder.empty())
            std::fprintf(stderr, "tavrin-read: the store set in '%s' cannot be read: %s\n",
                         folder.c_str(), problem.c_str());
        return NoStores(folder, true);
    }
    chosen.push_back({"", folder, std::make_unique<CStoreSet>()});
    return chosen.back().m_pStores->OpenStores(folder) ? kFound : NoStores(folder, true);
}

// The sets of -s (ids), or the default set when ids is empty.
int ChooseSets(const std::vector<std::string>& ids, std::vector<SChosenSet>& chosen) {
    CSetLibrary library;
    library.ScanDefault(ProgramFolder(), std::getenv);
    std::vector<const SLibrarySet*> sets;
    if (ids.empty() && library.Default() != nullptr)
        sets.push_back(library.Default());
    for (const std::string& id : ids) {
        sets.push_back(library.Find(id));
        if (sets.back() != nullptr)
            continue;
        for (const SSkippedSet& skipped : library.Skipped()) {
            if (skipped.m_strId == id) {
                std::fprintf(stderr, "tavrin-read: set '%s' is skipped: %s\n", id.c_str(),
                             skipped.m_strReason.c_str());
                return kNoStores;
            }
        }
        std::fprintf(stderr, "tavrin-read: no store set with id '%s' (see tavrin-read sets)\n",
                     id.c_str());
        return kNoStores;
    }
    if (sets.empty()) {
        for (const SSkippedSet& skipped : library.Skipped())
            std::fprintf(stderr, "tavrin-read: set '%s' is skipped: %s\n", skipped.m_strId.c_str(),
                         skipped.m_strReason.c_str());
        return NoStores({}, false);
    }
    for (const SLibrarySet* set : sets) {
        chosen.push_back({set->m_strId, set->m_strFolder, std::make_unique<CStoreSet>()});
        if (!chosen.back().m_pStores->OpenStores(set->m_strFolder))
            return NoStores(set->m_strFolder, true);
    }
    return kFound;
}

// text with several sets: each verse's line per set in the order given, an
// empty text where a set lacks it; the verses are those any set lists, in
// verse order.
int PrintParallel(const std::vector<SChosenSet>& chosen, const SPassage& passage,
                  Testament testament) {
    std::vector<std::pair<int, std::u16string>> keys;  // verse number, key
    std::optional<Testament> found;
    std::string firstProblem;
    for (const SChosenSet& set : chosen) {
        const SFoundPassage one = FindPassage(*set.m_pStores, passage, testament);
        if (one.m_result != EFound::Found) {
            if (firstProblem.empty())
                firstProblem = LookupProblem(passage, one);
            continue;
        }
        found = found.value_or(one.m_testament);
        for (int hit : one.m_arrHits) {
            const std::u16string& key = one.m_arrReferences[static_cast<size_t>(hit)];
            const auto split = SplitReference(key);
            const int verse = split && !split->IsWholeChapter() ? split->m_nVerse : 0;
            if (std::find_if(keys.begin(), keys.end(),
                             [&](const auto& k) { return k.second == key; }) == keys.end())
                keys.emplace_back(verse, key);
        }
    }
    if (!found)
        return Problem(firstProblem);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const bool oneVerse = !passage.IsWholeChapter() && !passage.IsRange();
    std::string out;
    for (const auto& [verse, key] : keys) {
        const std::string ansiKey = ToAnsiKey(key);
        for (const SChosenSet& set : chosen) {
            if (!oneVerse)
                out += Utf16ToUtf8(key) + '\t';
            out += set.m_strId + '\t';
            AppendOneLine(FetchRecordView(set.m_pStores->TextStore(*found), ansiKey), out);
            out += '\n';
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kFound;
}

std::string NotesFilePath() {
    const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
    if (documents != nullptr && documents[0] == '/')
        return std::string(documents) + "/" + kNotesFileName;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/Documents/" + kNotesFileName;
}

// The words after "study", read once.
struct SStudyArgs {
    std::string m_strSub;  // export, import or import-notes
    bool m_bMarkdown = false;
    std::string
        m_strFile;  // export: "-" for standard output; import-notes: the notes file unless given
};

// A known subcommand with its arguments into args; kFound, or the usage error.
int ReadStudyArgs(const std::vector<std::string>& words, SStudyArgs& args) {
    args.m_strSub = words.size() > 1 ? words[1] : std::string();
    const std::string& sub = args.m_strSub;
    if (sub == "export") {
        size_t at = 2;
        if (at < words.size() && words[at] == "--format") {
            if (at + 1 >= words.size() || (words[at + 1] != "tsv" && words[at + 1] != "md"))
                return Usage("--format must be 'tsv' or 'md'");
            args.m_bMarkdown = words[at + 1] == "md";
            at += 2;
        }
        if (words.size() > at + 1)
            return Usage("'study export' takes one FILE");
        args.m_strFile = at < words.size() ? words[at] : std::string("-");
        return kFound;
    }
    if (sub == "import" && words.size() != 3)
        return Usage("'study import' takes one FILE");
    if (sub == "import-notes" && words.size() > 3)
        return Usage("'study import-notes' takes at most one FILE");
    if (sub != "import" && sub != "import-notes")
        return Usage("'study' needs export, import or import-notes");
    args.m_strFile = words.size() > 2 ? words[2] : NotesFilePath();
    return kFound;
}

int Study(const SStudyArgs& args, const CStoreSet& stores) {
    CBibleOrder order;
    if (!order.Load(stores))
        return NoStores({}, false);
    const std::string path = StudyDatabasePath(std::getenv);
    if (path.empty()) {
        std::fputs("tavrin-read: no data folder: neither XDG_DATA_HOME nor HOME is set\n", stderr);
        return kNoStores;
    }
    CStudyDb db;
    const SStudyOpen opened = OpenStudyDatabase(db, path, std::time(nullptr));
    if (opened.m_status != SStudyOpen::EStatus::Opened)
        std::fprintf(stderr, "tavrin-read: %s\n", opened.m_strMessage.c_str());
    if (!db.IsOpen())
        return kNoStores;
    const std::string& file = args.m_strFile;
    if (args.m_strSub == "export") {
        std::vector<SStudyItem> items = db.List();
        if (!db.LastError().empty()) {
            std::fprintf(stderr, "tavrin-read: %s\n", db.LastError().c_str());
            return kNoStores;
        }
        const std::string text = args.m_bMarkdown ? ExportMarkdown(std::move(items), order, stores)
                                                  : ExportTsv(std::move(items), order);
        if (file == "-") {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return kFound;
        }
        if (!ReplaceFile(file, {text}, true)) {
            std::fprintf(stderr, "tavrin-read: cannot write '%s'\n", file.c_str());
            return kNoStores;
        }
        return kFound;
    }
    const bool notes = args.m_strSub == "import-notes";
    const auto bytes = ReadRegularFile(file, kMaxImportBytes);
    if (!bytes) {
        std::fprintf(stderr, "tavrin-read: cannot read '%s'\n", file.c_str());
        return kNone;
    }
    const SReadItems read = notes ? ReadNotesFile(*bytes, order) : ReadTsv(*bytes, order);
    if (!read.IsGood()) {
        std::fprintf(stderr, "tavrin-read: %s:%zu: %s; nothing imported\n", file.c_str(),
                     read.m_nBadLine, read.m_strProblem.c_str());
        return kNone;
    }
    const auto count = db.Import(read.m_arrItems);
    if (!count) {
        std::fprintf(stderr, "tavrin-read: %s; nothing imported\n", db.LastError().c_str());
        return kNoStores;
    }
    std::fprintf(stderr, "imported %zu, skipped %zu\n", count->m_nImported, count->m_nSkipped);
    return kFound;
}

int Run(int argc, char** argv) {
    std::string folder;
    bool folderGiven = false;
    std::optional<EScope> scope;
    std::vector<std::string> ids;
    bool idsGiven = false;
    std::vector<std::string> words;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsageText, stdout);
            return kFound;
        }
        const bool studyOption = !words.empty() && words[0] == "study" && arg == "--format";
        if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-" || studyOption) {
            words.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
        } else if (arg == "-d" || arg == "-t" || arg == "-s") {
            if (i + 1 >= argc)
                return Usage("option " + std::string(arg) + " needs a value");
            const std::string value = argv[++i];
            if (arg == "-d") {
                folder = value;
                folderGiven = true;
            } else if (arg == "-s") {
                ids = SplitIds(value);
                idsGiven = true;
                if (ids.empty())
                    return Usage("-s needs set ids separated by commas, not '" + value + "'");
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
    if (folderGiven && idsGiven)
        return Usage("-d and -s cannot be given together");
    const std::string& command = words[0];
    if (command == "sets") {
        if (words.size() != 1)
            return Usage("'sets' takes no argument");
        return ListSets(folderGiven ? std::vector<std::string>{folder}
                                    : StoreFolderSearchPath(ProgramFolder(), std::getenv));
    }
    std::vector<SChosenSet> chosen;
    const auto choose = [&] {
        return folderGiven ? ChooseFolder(folder, chosen) : ChooseSets(ids, chosen);
    };
    if (command == "study") {
        SStudyArgs args;
        if (const int status = ReadStudyArgs(words, args); status != kFound)
            return status;
        if (const int chose = choose(); chose != kFound)
            return chose;
        return Study(args, *chosen[0].m_pStores);
    }
    if (command == "search") {
        if (words.size() < 2)
            return Usage("'search' needs a query");
        if (ids.size() > 1)
            return Usage("search reads one set, not " + std::to_string(ids.size()));
        std::string query = words[1];
        for (size_t i = 2; i < words.size(); ++i) query += ' ' + words[i];
        if (const int status = choose(); status != kFound)
            return status;
        return Search(chosen[0].m_strFolder, folderGiven, scope.value_or(EScope::Both), query);
    }
    if (command == "plans" || command == "plan") {
        const bool list = command == "plans";
        if (words.size() != (list ? 1u : 3u))
            return Usage(list ? "'plans' takes no argument" : "'plan' takes a plan id and a day");
        if (const int status = choose(); status != kFound)
            return status;
        const SSetChapters chapters = ReadSetChapters(*chosen[0].m_pStores);
        return list ? ListPlans(chapters) : PrintPlan(chapters, words[1], words[2]);
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

    if (const int status = choose(); status != kFound)
        return status;
    const CStoreSet& stores = *chosen[0].m_pStores;
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
    if (command == "text" && chosen.size() > 1)
        return PrintParallel(chosen, passage, testament);
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
